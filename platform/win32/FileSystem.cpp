// The file helpers on Windows: UTF-8 paths become UTF-16 for the wide file functions, so names
// with any letters load and save. Both "\" and "/" separate path components.

#include "platform/FileSystem.h"

#include <windows.h>

#include <atomic>
#include <cstdio>

#include <io.h>

#include "platform/win32/WideText.h"

namespace platform {

namespace {

bool isSeparator(char c) { return c == '\\' || c == '/'; }

DWORD attributesOf(const std::string& path) {
  if (path.empty()) return INVALID_FILE_ATTRIBUTES;
  return GetFileAttributesW(win32::widen(path).c_str());
}

class Handle {
 public:
  explicit Handle(HANDLE handle) : m_handle(handle) {}
  ~Handle() { close(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  bool valid() const { return m_handle != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return m_handle; }
  void reset(HANDLE handle) {
    close();
    m_handle = handle;
  }
  bool close() {
    if (!valid()) return true;
    const bool closed = CloseHandle(m_handle) != 0;
    m_handle = INVALID_HANDLE_VALUE;
    return closed;
  }

 private:
  HANDLE m_handle;
};

// A temporary of a running writer older than this is left over from a reused process id.
constexpr unsigned long long kAbandonedTemporaryAge = 60ull * 60 * 10000000;  // 100 ns units

unsigned long long fileTimeValue(const FILETIME& time) {
  return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

bool isDiskFile(HANDLE file) { return GetFileType(file) == FILE_TYPE_DISK; }

bool processRunning(DWORD id) {
  const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
  if (!process) return GetLastError() == ERROR_ACCESS_DENIED;  // another user's process
  DWORD code = 0;
  const bool running = GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
  CloseHandle(process);
  return running;
}

bool writeAll(HANDLE file, const std::string& content) {
  const char* data = content.data();
  std::size_t left = content.size();
  while (left > 0) {
    const DWORD chunk = left > (1u << 30) ? (1u << 30) : static_cast<DWORD>(left);
    DWORD written = 0;
    if (!WriteFile(file, data, chunk, &written, nullptr) || written == 0) return false;
    data += written;
    left -= written;
  }
  return true;
}

}  // namespace

bool pathExists(const std::string& path) { return attributesOf(path) != INVALID_FILE_ATTRIBUTES; }

// The attributes are those of a link itself, so a dangling link takes its name too.
bool nameTaken(const std::string& path) { return attributesOf(path) != INVALID_FILE_ATTRIBUTES; }

bool isRegularFile(const std::string& path) {
  const DWORD attributes = attributesOf(path);
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE));
}

bool isFolder(const std::string& path) {
  const DWORD attributes = attributesOf(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool createFolder(const std::string& path) {
  if (isFolder(path)) return true;
  return CreateDirectoryW(win32::widen(path).c_str(), nullptr) != 0 || isFolder(path);
}

std::FILE* openFile(const std::string& path, const char* mode) {
  if (path.empty() || !mode) return nullptr;
  std::FILE* file = _wfopen(win32::widen(path).c_str(), win32::widen(mode).c_str());
  // Only a file on a disk: a console, a pipe or a serial port could block the caller.
  if (file && !isDiskFile(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file))))) {
    std::fclose(file);
    return nullptr;
  }
  return file;
}

FileRead readRegularFile(const std::string& path, std::size_t limit, std::vector<unsigned char>& bytes) {
  bytes.clear();
  if (path.empty()) return FileRead::Unreadable;
  Handle file(CreateFileW(win32::widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid() || !isDiskFile(file.get())) return FileRead::Unreadable;
  LARGE_INTEGER size{};
  if (GetFileSizeEx(file.get(), &size) && static_cast<unsigned long long>(size.QuadPart) > limit)
    return FileRead::TooLarge;
  unsigned char block[65536];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file.get(), block, sizeof block, &got, nullptr)) {
      bytes.clear();
      return FileRead::Unreadable;
    }
    if (got == 0) return FileRead::Read;
    if (got > limit - bytes.size()) {
      bytes.clear();
      return FileRead::TooLarge;
    }
    bytes.insert(bytes.end(), block, block + got);
  }
}

bool readFile(const std::string& path, std::vector<unsigned char>& bytes) {
  return readRegularFile(path, static_cast<std::size_t>(-1), bytes) == FileRead::Read;
}

std::string temporaryFileName(const std::string& folder, const std::string& name, unsigned serial) {
  return folder + "." + name + "." + std::to_string(GetCurrentProcessId()) + "." + std::to_string(serial) + ".tmp";
}

void removeStaleTemporaries(const std::string& folder) {
  const std::wstring wideFolder = win32::widen(folder);
  WIN32_FIND_DATAW entry{};
  const HANDLE listing = FindFirstFileW((wideFolder + L".*.tmp").c_str(), &entry);
  if (listing == INVALID_HANDLE_VALUE) return;
  FILETIME nowTime{};
  GetSystemTimeAsFileTime(&nowTime);
  const unsigned long long now = fileTimeValue(nowTime);
  const DWORD self = GetCurrentProcessId();
  do {
    if (entry.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE | FILE_ATTRIBUTE_REPARSE_POINT))
      continue;
    const unsigned long owner = temporaryFileOwner(win32::narrow(entry.cFileName));
    if (owner == 0) continue;
    const unsigned long long written = fileTimeValue(entry.ftLastWriteTime);
    const bool abandoned = now > written && now - written > kAbandonedTemporaryAge;
    const bool ownerGone = owner != self && !processRunning(static_cast<DWORD>(owner));
    if (ownerGone || abandoned) DeleteFileW((wideFolder + entry.cFileName).c_str());
  } while (FindNextFileW(listing, &entry));
  FindClose(listing);
}

bool writeFileAtomically(const std::string& path, const std::string& content) {
  if (path.empty() || isSeparator(path.back())) return false;
  const DWORD existing = attributesOf(path);
  if (existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_DIRECTORY)) return false;
  // MoveFileEx replaces a link itself; write to the file a link names so the link survives.
  std::wstring target = win32::widen(path);
  if (existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_REPARSE_POINT)) {
    Handle linked(CreateFileW(target.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!linked.valid()) return false;
    wchar_t resolved[32768];
    const DWORD length = GetFinalPathNameByHandleW(linked.get(), resolved, 32768, FILE_NAME_NORMALIZED);
    if (length == 0 || length >= 32768) return false;
    target.assign(resolved, length);
  }

  // A read-only file stays as it is, even where the folder would allow replacing it.
  if (existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_READONLY)) return false;
  if (existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_REPARSE_POINT)) {
    const DWORD linked = GetFileAttributesW(target.c_str());
    if (linked == INVALID_FILE_ATTRIBUTES || (linked & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
      return false;
  }

  // A hidden name without the preset extension: folder walks never pick it up.
  std::size_t slash = target.find_last_of(L"\\/");
  const std::wstring folder = slash == std::wstring::npos ? std::wstring() : target.substr(0, slash + 1);
  const std::wstring name = slash == std::wstring::npos ? target : target.substr(slash + 1);
  removeStaleTemporaries(win32::narrow(folder));
  static std::atomic<unsigned> serial{0};
  std::wstring temporary;
  Handle file(INVALID_HANDLE_VALUE);
  // A leftover of an earlier process that had this process id may hold a name: take the next.
  for (int attempt = 0; attempt < 100 && !file.valid(); ++attempt) {
    temporary = win32::widen(temporaryFileName(win32::narrow(folder), win32::narrow(name), serial.fetch_add(1)));
    file.reset(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_HIDDEN, nullptr));
    if (!file.valid() && GetLastError() != ERROR_FILE_EXISTS) return false;
  }
  if (!file.valid()) return false;
  bool ok = writeAll(file.get(), content) && FlushFileBuffers(file.get());
  ok = file.close() && ok;
  if (ok) {
    // The replaced file's attributes are kept; the temporary one's hidden flag is not.
    SetFileAttributesW(temporary.c_str(), existing != INVALID_FILE_ATTRIBUTES
                                              ? (existing & ~FILE_ATTRIBUTE_REPARSE_POINT) | FILE_ATTRIBUTE_ARCHIVE
                                              : FILE_ATTRIBUTE_NORMAL);
    ok = MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  }
  if (!ok) DeleteFileW(temporary.c_str());
  return ok;
}

std::string lastPathComponent(const std::string& path) {
  std::size_t end = path.size();
  while (end > 0 && isSeparator(path[end - 1])) --end;
  std::size_t begin = end;
  while (begin > 0 && !isSeparator(path[begin - 1])) --begin;
  return path.substr(begin, end - begin);
}

}  // namespace platform
