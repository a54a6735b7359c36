#include "ProductNames.h"

#include <mutex>

namespace platform {

namespace {
std::mutex g_namesMutex;
std::string g_effectName;
std::string g_productName;
}  // namespace

void publishProductNames(const std::string& effectName, const std::string& productName) {
  const std::lock_guard<std::mutex> lock(g_namesMutex);
  g_effectName = effectName;
  g_productName = productName;
}

std::string effectName() {
  const std::lock_guard<std::mutex> lock(g_namesMutex);
  return g_effectName;
}

std::string productName() {
  const std::lock_guard<std::mutex> lock(g_namesMutex);
  return g_productName;
}

}  // namespace platform
