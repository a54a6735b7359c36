#include "FileSystem.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// A temporary of a running writer older than this is left over from a reused process id.
constexpr std::time_t kAbandonedTemporaryAge = 60 * 60;  // seconds

// Opens `path` without waiting for a writer or reader at the other end of a FIFO and without
// following the call into a device; the descriptor is kept only for a regular file, and is
// returned in blocking mode.
int openRegular(const std::string& path, int flags) {
  if (path.empty()) return -1;
  const int descriptor = ::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC, 0666);
  if (descriptor < 0) return -1;
  struct stat info {};
  if (::fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(descriptor);
    errno = EINVAL;
    return -1;
  }
  const int status = ::fcntl(descriptor, F_GETFL);
  if (status != -1) ::fcntl(descriptor, F_SETFL, status & ~O_NONBLOCK);
  return descriptor;
}

bool writeAll(int descriptor, const std::string& content) {
  const char* data = content.data();
  std::size_t left = content.size();
  while (left > 0) {
    const ssize_t written = ::write(descriptor, data, left);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += written;
    left -= static_cast<std::size_t>(written);
  }
  return true;
}

bool processRunning(pid_t pid) { return ::kill(pid, 0) == 0 || errno == EPERM; }

// Makes a rename in `folder` durable: the new directory entry is written out as well.
void flushFolder(const std::string& folder) {
  const int descriptor = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (descriptor < 0) return;
  ::fsync(descriptor);  // file systems without directory flushes refuse it; nothing more can be done
  ::close(descriptor);
}

}  // namespace

bool pathExists(const std::string& path) {
  struct stat info {};
  return !path.empty() && ::stat(path.c_str(), &info) == 0;
}

bool nameTaken(const std::string& path) {
  struct stat info {};
  return !path.empty() && ::lstat(path.c_str(), &info) == 0;
}

bool isFolder(const std::string& path) {
  struct stat info {};
  return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool isRegularFile(const std::string& path) {
  struct stat info {};
  return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool createFolder(const std::string& path) {
  if (isFolder(path)) return true;
  return ::mkdir(path.c_str(), 0777) == 0 || isFolder(path);
}

std::FILE* openFile(const std::string& path, const char* mode) {
  if (!mode) return nullptr;
  const bool update = std::strchr(mode, '+') != nullptr;
  int flags = 0;
  bool truncate = false;
  switch (mode[0]) {
    case 'r': flags = update ? O_RDWR : O_RDONLY; break;
    case 'w': flags = (update ? O_RDWR : O_WRONLY) | O_CREAT; truncate = true; break;
    case 'a': flags = (update ? O_RDWR : O_WRONLY) | O_CREAT | O_APPEND; break;
    default: return nullptr;
  }
  // Truncation waits until the file is known to be a regular one.
  const int descriptor = openRegular(path, flags);
  if (descriptor < 0) return nullptr;
  if (truncate && ::ftruncate(descriptor, 0) != 0) {
    ::close(descriptor);
    return nullptr;
  }
  std::FILE* file = ::fdopen(descriptor, mode);
  if (!file) ::close(descriptor);
  return file;
}

FileRead readRegularFile(const std::string& path, std::size_t limit, std::vector<unsigned char>& bytes) {
  bytes.clear();
  const int descriptor = openRegular(path, O_RDONLY);
  if (descriptor < 0) return FileRead::Unreadable;
  struct stat info {};
  if (::fstat(descriptor, &info) != 0) {
    ::close(descriptor);
    return FileRead::Unreadable;
  }
  if (info.st_size > 0 && static_cast<unsigned long long>(info.st_size) > limit) {
    ::close(descriptor);
    return FileRead::TooLarge;
  }
  // The file may grow while it is read: read until its end, but never past the limit.
  FileRead result = FileRead::Read;
  unsigned char block[65536];
  for (;;) {
    const ssize_t got = ::read(descriptor, block, sizeof block);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      result = FileRead::Unreadable;
      break;
    }
    if (got == 0) break;
    if (static_cast<std::size_t>(got) > limit - bytes.size()) {
      result = FileRead::TooLarge;
      break;
    }
    bytes.insert(bytes.end(), block, block + got);
  }
  ::close(descriptor);
  if (result != FileRead::Read) bytes.clear();
  return result;
}

bool readFile(const std::string& path, std::vector<unsigned char>& bytes) {
  return readRegularFile(path, static_cast<std::size_t>(-1), bytes) == FileRead::Read;
}

std::string temporaryFileName(const std::string& folder, const std::string& name, unsigned serial) {
  return folder + "." + name + "." + std::to_string(::getpid()) + "." + std::to_string(serial) + ".tmp";
}

void removeStaleTemporaries(const std::string& folder) {
  DIR* listing = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!listing) return;
  const std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + "/";
  const std::time_t now = std::time(nullptr);
  const uid_t user = ::geteuid();
  const pid_t self = ::getpid();
  while (const dirent* entry = ::readdir(listing)) {
    const std::string name = entry->d_name;
    const unsigned long ownerId = temporaryFileOwner(name);
    if (ownerId == 0 || ownerId > INT_MAX) continue;
    const pid_t owner = static_cast<pid_t>(ownerId);
    const std::string path = prefix + name;
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != user) continue;
    const bool abandoned = now - info.st_mtime > kAbandonedTemporaryAge;
    const bool ownerGone = owner != self && !processRunning(owner);
    if (ownerGone || abandoned) ::unlink(path.c_str());
  }
  ::closedir(listing);
}

bool writeFileAtomically(const std::string& path, const std::string& content) {
  if (path.empty()) return false;
  // Write through a symbolic link to the file it names, so the link itself survives.
  std::string target = path;
  struct stat linkInfo {};
  if (::lstat(path.c_str(), &linkInfo) == 0 && S_ISLNK(linkInfo.st_mode)) {
    char resolved[PATH_MAX];
    if (!::realpath(path.c_str(), resolved)) return false;
    target = resolved;
  }
  const std::size_t slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
  if (name.empty()) return false;

  struct stat existing {};
  const bool replacing = ::stat(target.c_str(), &existing) == 0;
  if (replacing) {
    if (!S_ISREG(existing.st_mode)) return false;  // never replace a folder or a device
    // A write-protected file stays as it is, even where the folder would allow replacing it.
    if ((existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(target.c_str(), W_OK) != 0)
      return false;
  }

  removeStaleTemporaries(folder);
  static std::atomic<unsigned> serial{0};
  std::string temporary;
  int descriptor = -1;
  // A leftover of an earlier process that had this process id may hold a name: take the next.
  for (int attempt = 0; attempt < 100 && descriptor < 0; ++attempt) {
    temporary = temporaryFileName(folder, name, serial.fetch_add(1));
    descriptor = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor < 0 && errno != EEXIST) return false;
  }
  if (descriptor < 0) return false;

  if (replacing) ::fchmod(descriptor, existing.st_mode & 07777);
  bool ok = writeAll(descriptor, content) && ::fsync(descriptor) == 0;
  if (::close(descriptor) != 0) ok = false;
  if (ok && ::rename(temporary.c_str(), target.c_str()) != 0) ok = false;
  if (!ok) {
    ::unlink(temporary.c_str());
    return false;
  }
  flushFolder(folder);
  return true;
}

std::string lastPathComponent(const std::string& path) {
  std::size_t end = path.size();
  while (end > 0 && path[end - 1] == '/') --end;
  const std::size_t slash = path.rfind('/', end == 0 ? 0 : end - 1);
  const std::size_t begin = (slash == std::string::npos || end == 0) ? 0 : slash + 1;
  return path.substr(begin, end - begin);
}

}  // namespace platform
