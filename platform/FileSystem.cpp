#include "FileSystem.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

bool pathExists(const std::string& path) {
  struct stat info {};
  return !path.empty() && ::stat(path.c_str(), &info) == 0;
}

bool isFolder(const std::string& path) {
  struct stat info {};
  return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool createFolder(const std::string& path) {
  if (isFolder(path)) return true;
  return ::mkdir(path.c_str(), 0777) == 0 || isFolder(path);
}

std::FILE* openFile(const std::string& path, const char* mode) { return std::fopen(path.c_str(), mode); }

bool readFile(const std::string& path, std::vector<unsigned char>& bytes) {
  bytes.clear();
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  unsigned char block[65536];
  bool ok = true;
  for (;;) {
    const std::size_t got = std::fread(block, 1, sizeof block, file);
    bytes.insert(bytes.end(), block, block + got);
    if (got < sizeof block) {
      ok = !std::ferror(file);
      break;
    }
  }
  std::fclose(file);
  return ok;
}

namespace {

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

}  // namespace

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

  static std::atomic<unsigned> counter{0};
  // A hidden name without the preset extension: folder walks never pick it up.
  const std::string temporary = folder + "." + name + "." + std::to_string(::getpid()) + "." +
                                std::to_string(counter.fetch_add(1)) + ".tmp";
  const int descriptor = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (descriptor < 0) return false;

  bool ok = true;
  struct stat existing {};
  if (::stat(target.c_str(), &existing) == 0) {
    if (!S_ISREG(existing.st_mode)) ok = false;  // never replace a folder or a device
    else ::fchmod(descriptor, existing.st_mode & 07777);
  }
  ok = ok && writeAll(descriptor, content) && ::fsync(descriptor) == 0;
  if (::close(descriptor) != 0) ok = false;
  if (ok && ::rename(temporary.c_str(), target.c_str()) != 0) ok = false;
  if (!ok) ::unlink(temporary.c_str());
  return ok;
}

std::string lastPathComponent(const std::string& path) {
  std::size_t end = path.size();
  while (end > 0 && path[end - 1] == '/') --end;
  const std::size_t slash = path.rfind('/', end == 0 ? 0 : end - 1);
  const std::size_t begin = (slash == std::string::npos || end == 0) ? 0 : slash + 1;
  return path.substr(begin, end - begin);
}

}  // namespace platform
