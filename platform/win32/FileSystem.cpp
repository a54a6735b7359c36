// The file helpers on Windows: UTF-8 paths become UTF-16 for the wide file functions, so names
// with any letters load and save. Both "\" and "/" separate path components.

#include "platform/FileSystem.h"

#include <windows.h>

#include <atomic>

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
  bool close() {
    if (!valid()) return true;
    const bool closed = CloseHandle(m_handle) != 0;
    m_handle = INVALID_HANDLE_VALUE;
    return closed;
  }

 private:
  HANDLE m_handle;
};

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
  return _wfopen(win32::widen(path).c_str(), win32::widen(mode).c_str());
}

bool readFile(const std::string& path, std::vector<unsigned char>& bytes) {
  bytes.clear();
  if (path.empty()) return false;
  Handle file(CreateFileW(win32::widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return false;
  unsigned char block[65536];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file.get(), block, sizeof block, &got, nullptr)) return false;
    if (got == 0) return true;
    bytes.insert(bytes.end(), block, block + got);
  }
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

  static std::atomic<unsigned> counter{0};
  // A hidden name without the preset extension: folder walks never pick it up.
  std::size_t slash = target.find_last_of(L"\\/");
  const std::wstring folder = slash == std::wstring::npos ? std::wstring() : target.substr(0, slash + 1);
  const std::wstring name = slash == std::wstring::npos ? target : target.substr(slash + 1);
  const std::wstring temporary = folder + L"." + name + L"." + std::to_wstring(GetCurrentProcessId()) + L"." +
                                 std::to_wstring(counter.fetch_add(1)) + L".tmp";
  Handle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                          FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_HIDDEN, nullptr));
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
