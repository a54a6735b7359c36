#pragma once

#include <string>

namespace platform {

// The full path of the file that holds this code (the plug-in's shared object inside a host,
// the executable in a test or tool), with symbolic links resolved, so a plug-in linked into a
// host's plug-in folder still finds the data beside its real file. Empty when unknown.
std::string modulePath();

// `path` with symbolic links resolved, cut after its last "/" (so it keeps the trailing "/").
// Empty when the path cannot be resolved.
std::string resolvedFolderOf(const std::string& path);

}  // namespace platform
