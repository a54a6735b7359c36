#include "MessageList.h"

#include <cstdio>
#include <ctime>

#include "platform/FileSystem.h"
#include "platform/ProductNames.h"

namespace presets {

const std::string& MessageList::line(std::size_t index) const {
  static const std::string none;
  return index < m_lines.size() ? m_lines[index] : none;
}

std::string MessageList::defaultFileName() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  char stamp[32] = {};
  std::strftime(stamp, sizeof stamp, "%Y-%m-%d-%H-%M-%S", &local);
  return platform::productName() + "-Messages-" + stamp + ".txt";
}

bool MessageList::saveTo(const std::string& path) const {
  // Binary: the log's lines end in "\n" on every system.
  std::FILE* file = platform::openFile(path, "ab");
  if (!file) return false;
  bool ok = true;
  for (const std::string& text : m_lines) {
    if (std::fwrite(text.data(), 1, text.size(), file) != text.size() || std::fputc('\n', file) == EOF) {
      ok = false;
      break;
    }
  }
  if (std::fflush(file) != 0 || std::ferror(file)) ok = false;
  if (std::fclose(file) != 0) ok = false;
  return ok;
}

}  // namespace presets
