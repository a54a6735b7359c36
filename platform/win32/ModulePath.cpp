// The module path on Windows: the DLL (or executable) that holds this code, through
// GetModuleFileNameW, in UTF-8 with the system's backslashes.

#include "platform/ModulePath.h"

#include <windows.h>

#include <vector>

#include "platform/win32/WideText.h"

namespace platform {

namespace {
// Any address inside this module will do; a function of its own is the surest.
void addressInsideThisModule() {}
}  // namespace

std::string modulePath() {
  HMODULE module = nullptr;
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          reinterpret_cast<LPCWSTR>(&addressInsideThisModule), &module))
    return std::string();
  // Grow the buffer until the whole path fits (long paths exceed MAX_PATH).
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameW(module, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return std::string();
    if (length < buffer.size()) return win32::narrow(std::wstring_view(buffer.data(), length));
    if (buffer.size() >= 32768) return std::string();
    buffer.resize(buffer.size() * 2);
  }
}

std::string resolvedFolderOf(const std::string& path) {
  if (path.empty()) return std::string();
  const std::wstring wide = win32::widen(path);
  // The full path of an existing file, with links resolved where the file system allows.
  const HANDLE file = CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::string();
  std::vector<wchar_t> resolved(32768);
  const DWORD length =
      GetFinalPathNameByHandleW(file, resolved.data(), static_cast<DWORD>(resolved.size()), FILE_NAME_NORMALIZED);
  CloseHandle(file);
  std::wstring full;
  if (length > 0 && length < resolved.size()) {
    full.assign(resolved.data(), length);
    // Drop the "\\?\" prefix of the final path where it is a plain drive path.
    if (full.rfind(L"\\\\?\\UNC\\", 0) == 0) full = L"\\\\" + full.substr(8);
    else if (full.rfind(L"\\\\?\\", 0) == 0 && full.size() > 6 && full[5] == L':') full = full.substr(4);
  } else {
    wchar_t absolute[32768];
    const DWORD got = GetFullPathNameW(wide.c_str(), 32768, absolute, nullptr);
    if (got == 0 || got >= 32768) return std::string();
    full.assign(absolute, got);
  }
  const std::size_t slash = full.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::string() : win32::narrow(full.substr(0, slash + 1));
}

}  // namespace platform
