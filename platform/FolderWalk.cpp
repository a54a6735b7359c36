#include "FolderWalk.h"

#include <set>
#include <utility>

#include <dirent.h>
#include <sys/stat.h>

namespace platform {

namespace {

using FolderId = std::pair<dev_t, ino_t>;

bool endsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// True the first time the folder at `path` is seen; false when it was walked already or is
// not a folder.
bool firstVisit(const std::string& path, std::set<FolderId>& visited) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return false;
  return visited.insert({info.st_dev, info.st_ino}).second;
}

void walk(const std::string& folder, const std::string& extension, DirTreeCallback& callback,
          std::set<FolderId>& visited) {
  DIR* listing = ::opendir(folder.c_str());
  if (!listing) return;
  const std::string prefix = (!folder.empty() && folder.back() == '/') ? folder : folder + "/";
  while (const dirent* entry = ::readdir(listing)) {
    const std::string name = entry->d_name;
    const std::string path = prefix + name;
    bool isFolder = entry->d_type == DT_DIR;
    bool isFile = entry->d_type == DT_REG;
    if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
      struct stat info {};
      if (::stat(path.c_str(), &info) == 0) {
        isFolder = S_ISDIR(info.st_mode);
        isFile = S_ISREG(info.st_mode);
      } else {
        isFile = true;  // cannot be examined: let the reader say why
      }
    }
    if (isFolder) {
      if (name.empty() || name[0] == '.') continue;
      if (!firstVisit(path, visited)) continue;
      callback.folderEntered(name);
      walk(path, extension, callback, visited);
      callback.folderLeft();
    } else if (isFile && endsWith(name, extension)) {
      callback.fileFound(path);
    }
  }
  ::closedir(listing);
}

}  // namespace

void walkFolderTree(const std::string& folder, const std::string& extension, DirTreeCallback& callback) {
  std::set<FolderId> visited;
  if (!firstVisit(folder, visited)) return;
  walk(folder, extension, callback, visited);
}

}  // namespace platform
