#include "Assert.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace core {

namespace {
#if defined(SKARVEL_ASSERT_ABORTS)
std::atomic<bool> g_abort{true};
#else
std::atomic<bool> g_abort{false};
#endif

// The file name relative to the source tree: "Frameworks/Core/Parameters" rather than a
// build machine's absolute path, and without the extension.
void printSourceName(const char* file) {
  const char* start = file;
  for (const char* root : {"/Frameworks/", "/source/", "/platform/", "/vst2/", "/tools/", "/tests/"}) {
    if (const char* hit = std::strstr(file, root)) {
      start = hit + 1;
      break;
    }
  }
  const char* dot = std::strrchr(start, '.');
  const int length = dot ? static_cast<int>(dot - start) : static_cast<int>(std::strlen(start));
  std::fprintf(stderr, "%.*s", length, start);
}
}  // namespace

bool assertionFailed(const char* condition, const char* file, int line) {
  std::fprintf(stderr, "Internal error: \"%s\" failed in ", condition);
  printSourceName(file);
  std::fprintf(stderr, ", line %d\n", line);
  std::fflush(stderr);
  if (g_abort.load(std::memory_order_relaxed)) std::abort();
  return false;
}

void setAssertionsAbort(bool abort) { g_abort.store(abort, std::memory_order_relaxed); }
bool assertionsAbort() { return g_abort.load(std::memory_order_relaxed); }

}  // namespace core
