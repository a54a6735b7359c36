#pragma once

#include <string>

namespace platform {

// Told about every matching file and every folder entered and left during a folder walk.
class DirTreeCallback {
 public:
  virtual ~DirTreeCallback() = default;
  // A matching file, with its full path (folder path, "/", file name).
  virtual void fileFound(const std::string& path) = 0;
  // A subfolder is about to be walked; `name` is its bare name.
  virtual void folderEntered(const std::string& name) = 0;
  // The subfolder last entered has been walked.
  virtual void folderLeft() = 0;
};

// Walks `folder` and its subfolders at any depth, in the order the file system lists them.
// Folders whose names begin with "." are not entered; devices, pipes and sockets are skipped;
// a file is reported when its name ends with `extension` exactly (case-sensitive). Symbolic
// links are followed, but no folder is walked twice, so a link loop cannot hang the walk. An
// entry with a matching name that cannot be examined (a dangling link) is still reported, so
// the reader explains why it could not be opened. A missing folder reports nothing.
void walkFolderTree(const std::string& folder, const std::string& extension, DirTreeCallback& callback);

}  // namespace platform
