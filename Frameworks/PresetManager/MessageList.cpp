#include "MessageList.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "platform/FileSystem.h"
#include "platform/ProductNames.h"

namespace presets {

namespace {

// Lines dropped at once when the list is full, so dropping costs little per appended line.
constexpr std::size_t kDropBatch = MessageList::kMaxLines / 10;

// `text` cut to at most `limit` bytes without splitting a UTF-8 character.
std::string cutAtCharacter(const std::string& text, std::size_t limit) {
  std::size_t end = limit;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return text.substr(0, end);
}

}  // namespace

MessageList::MessageList(const MessageList& other) {
  std::lock_guard lock(other.m_mutex);
  m_lines = other.m_lines;
  m_dropped = other.m_dropped;
}

MessageList& MessageList::operator=(const MessageList& other) {
  if (this == &other) return *this;
  std::scoped_lock lock(m_mutex, other.m_mutex);
  m_lines = other.m_lines;
  m_dropped = other.m_dropped;
  return *this;
}

void MessageList::append(const std::string& line) {
  std::lock_guard lock(m_mutex);
  if (m_lines.size() >= kMaxLines) dropOldest();
  if (line.size() <= kMaxLineBytes) m_lines.push_back(line);
  else m_lines.push_back(cutAtCharacter(line, kMaxLineBytes) + " [line cut]");
}

void MessageList::dropOldest() {
  const std::size_t first = noteCount();
  const std::size_t drop = std::min(kDropBatch, heldCount());
  m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(first),
                m_lines.begin() + static_cast<std::ptrdiff_t>(first + drop));
  if (first == 0) m_lines.insert(m_lines.begin(), std::string());
  m_dropped += drop;
  m_lines.front() = "[" + std::to_string(m_dropped) + " earlier lines were dropped; the log keeps the newest " +
                    std::to_string(kMaxLines) + "]";
}

std::size_t MessageList::count() const {
  std::lock_guard lock(m_mutex);
  return m_lines.size();
}

std::string MessageList::line(std::size_t index) const {
  std::lock_guard lock(m_mutex);
  return index < m_lines.size() ? m_lines[index] : std::string();
}

std::vector<std::string> MessageList::lines() const {
  std::lock_guard lock(m_mutex);
  return m_lines;
}

std::uint64_t MessageList::appendedCount() const {
  std::lock_guard lock(m_mutex);
  return m_dropped + heldCount();
}

bool MessageList::holds(std::uint64_t number) const {
  std::lock_guard lock(m_mutex);
  return number >= m_dropped && number < m_dropped + heldCount();
}

std::size_t MessageList::indexOf(std::uint64_t number) const {
  if (number <= m_dropped) return noteCount();
  return static_cast<std::size_t>(std::min<std::uint64_t>(number - m_dropped, heldCount())) + noteCount();
}

std::vector<std::string> MessageList::linesSince(std::uint64_t number) const {
  std::lock_guard lock(m_mutex);
  return std::vector<std::string>(m_lines.begin() + static_cast<std::ptrdiff_t>(indexOf(number)), m_lines.end());
}

void MessageList::removeSince(std::uint64_t number) {
  std::lock_guard lock(m_mutex);
  m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(indexOf(number)), m_lines.end());
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
  const std::vector<std::string> held = lines();
  // Binary: the log's lines end in "\n" on every system.
  std::FILE* file = platform::openFile(path, "ab");
  if (!file) return false;
  bool ok = true;
  for (const std::string& text : held) {
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
