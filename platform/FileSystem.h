#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

namespace platform {

// Small file-system helpers on "/"-separated UTF-8 paths. None of them throws.
//
// Every read goes to regular files only and never waits: a FIFO, a device or a socket that
// happens to carry a file's name is refused at once instead of blocking the caller (the host's
// user-interface thread) for as long as nobody writes into it.

// True when anything exists at `path` (file, folder, device; a dangling link does not count).
bool pathExists(const std::string& path);
// True when the name itself is taken, a dangling symbolic link included: a new file must not be
// created there.
bool nameTaken(const std::string& path);
bool isFolder(const std::string& path);
// True when `path` names a regular file (through links); asking does not open it.
bool isRegularFile(const std::string& path);

// Creates one folder level (parents must exist). True when the folder exists afterwards.
bool createFolder(const std::string& path);

// Opens a regular file as std::fopen does, but takes a UTF-8 path on every system (Windows needs
// the UTF-16 form for names outside its code page), never blocks while opening, and refuses
// anything that is not a regular file. Null on failure.
std::FILE* openFile(const std::string& path, const char* mode);

// The outcome of readRegularFile.
enum class FileRead { Read, Unreadable, TooLarge };

// Reads the whole regular file at `path` as raw bytes, refusing a file longer than `limit` bytes
// without reading it. `bytes` is empty unless the result is Read.
FileRead readRegularFile(const std::string& path, std::size_t limit, std::vector<unsigned char>& bytes);

// Reads the whole regular file as raw bytes. False when it cannot be opened or read.
bool readFile(const std::string& path, std::vector<unsigned char>& bytes);

// Replaces the file at `path` with `content` so that a failure at any point leaves the old file
// as it was: the text goes to a new hidden file in the same folder (see temporaryFileName), is
// flushed to the disk, is then renamed over the target, and the folder is flushed so the rename
// survives a crash too. An existing target keeps its permissions; when `path` is a symbolic link
// the file it points to is replaced. A target that is write-protected (no write permission bit,
// or not writable by this process) is refused, as is anything that is not a regular file. Before
// writing, temporaries left in that folder by writers that were killed are removed (see
// removeStaleTemporaries). False on any failure (the temporary file is removed).
bool writeFileAtomically(const std::string& path, const std::string& content);

// The hidden temporary sibling used to replace `name` in `folder` (which ends with a separator or
// is empty): "." + name + "." + process id + "." + `serial` + ".tmp". The process id tells a later
// writer whether the file can still be in use; the name never ends in a preset extension, so
// folder walks skip it.
std::string temporaryFileName(const std::string& folder, const std::string& name, unsigned serial);

// The process id in a file name of temporaryFileName's form; 0 for any other name.
unsigned long temporaryFileOwner(const std::string& fileName);

// Removes the temporaries of temporaryFileName's form in `folder` that no writer can be using:
// those whose process is gone, and any older than an hour (a process id can be reused). A
// temporary of a running process, this one included, is kept while it is recent, so a save in
// progress elsewhere is never disturbed. Only regular files owned by this user are touched.
void removeStaleTemporaries(const std::string& folder);

// The last path component ("b.yaml" for "a/b.yaml", "b" for "a/b/").
std::string lastPathComponent(const std::string& path);

}  // namespace platform
