#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace platform {

// Small file-system helpers on "/"-separated UTF-8 paths. None of them throws.

// True when anything exists at `path` (file, folder, device; a dangling link does not count).
bool pathExists(const std::string& path);
bool isFolder(const std::string& path);

// Creates one folder level (parents must exist). True when the folder exists afterwards.
bool createFolder(const std::string& path);

// Opens a file as std::fopen does, but takes a UTF-8 path on every system (Windows needs the
// UTF-16 form for names outside its code page). Null on failure.
std::FILE* openFile(const std::string& path, const char* mode);

// Reads the whole file as raw bytes. False when it cannot be opened or read.
bool readFile(const std::string& path, std::vector<unsigned char>& bytes);

// Replaces the file at `path` with `content` so that a failure at any point leaves the old file
// as it was: the text goes to a new file in the same folder, is flushed to the disk, and is then
// renamed over the target. An existing target keeps its permissions; when `path` is a symbolic
// link the file it points to is replaced. False on any failure (the temporary file is removed).
bool writeFileAtomically(const std::string& path, const std::string& content);

// The last path component ("b.yaml" for "a/b.yaml", "b" for "a/b/").
std::string lastPathComponent(const std::string& path);

}  // namespace platform
