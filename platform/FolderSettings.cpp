#include "platform/FolderSettings.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/FileSystem.h"

namespace platform {

namespace {

constexpr const char* kMakerFolder = "Brenmoor";

std::string homeFolder() {
  const char* home = std::getenv("HOME");
  if (home && *home) return home;
  const passwd* entry = getpwuid(getuid());
  return entry && entry->pw_dir ? entry->pw_dir : "";
}

// Creates the folder and any missing parents, private to the user as the XDG rules ask.
bool makeFolders(const std::string& folder) {
  if (folder.empty()) return false;
  for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
    const std::string part = folder.substr(0, slash);
    if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    if (slash == std::string::npos) break;
  }
  struct stat info {};
  return stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool writeAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(fd, data, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

}  // namespace

std::unique_ptr<Settings> Settings::forProduct(const std::string& productName) {
  return std::make_unique<FolderSettings>(FolderSettings::userFolder(productName));
}

FolderSettings::FolderSettings(std::string folder) : m_folder(std::move(folder)) {
  while (m_folder.size() > 1 && m_folder.back() == '/') m_folder.pop_back();
}

std::string FolderSettings::userFolder(const std::string& productName) {
  std::string base;
  const char* configHome = std::getenv("XDG_CONFIG_HOME");
  if (configHome && configHome[0] == '/') {
    base = configHome;
  } else {
    const std::string home = homeFolder();
    if (home.empty()) return "";
    base = home + "/.config";
  }
  while (base.size() > 1 && base.back() == '/') base.pop_back();
  return base + "/" + kMakerFolder + "/" + productName;
}

bool FolderSettings::isUsableName(std::string_view valueName) {
  return !valueName.empty() && valueName.front() != '.' && valueName.find('/') == std::string_view::npos &&
         valueName.find('\0') == std::string_view::npos;
}

bool FolderSettings::readValue(std::string_view valueName, std::size_t limit, std::string& bytes) const {
  if (m_folder.empty() || !isUsableName(valueName)) return false;
  const std::string path = m_folder + "/" + std::string(valueName);
  // Never wait on a FIFO (or a device) put in a value's place: the editor reads these while it
  // opens, on the host's user-interface thread. Only a regular file holds a value.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return false;
  }
  // One byte more than allowed tells a value that is too long from one that fits exactly.
  bytes.assign(limit + 1, '\0');
  std::size_t total = 0;
  bool ok = true;
  while (total < bytes.size()) {
    const ssize_t got = ::read(fd, bytes.data() + total, bytes.size() - total);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) ok = false;
    if (got <= 0) break;
    total += static_cast<std::size_t>(got);
  }
  ::close(fd);
  if (!ok || total > limit) return false;
  bytes.resize(total);
  return true;
}

void FolderSettings::writeValue(std::string_view valueName, const char* data, std::size_t size) const {
  if (!isUsableName(valueName) || !makeFolders(m_folder)) return;
  const std::string path = m_folder + "/" + std::string(valueName);
  // A hidden sibling named after this process, so concurrent writers never share a temporary
  // file and one left by a killed writer is recognised and removed by a later write.
  removeStaleTemporaries(m_folder + "/");
  static std::atomic<unsigned> serial{0};
  std::string temporary;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temporary = temporaryFileName(m_folder + "/", std::string(valueName), serial.fetch_add(1));
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0 && errno != EEXIST) return;
  }
  if (fd < 0) return;
  fchmod(fd, 0600);
  const bool written = writeAll(fd, data, size) && fsync(fd) == 0;
  const bool closed = ::close(fd) == 0;
  if (!written || !closed || std::rename(temporary.c_str(), path.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return;
  }
  // Make the rename itself durable.
  const int folderFd = ::open(m_folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folderFd >= 0) {
    fsync(folderFd);
    ::close(folderFd);
  }
}

}  // namespace platform
