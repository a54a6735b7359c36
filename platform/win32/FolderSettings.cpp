// The file-per-value settings store on Windows (the plug-in itself uses the registry; this
// store serves tests and tools that keep settings in a folder of their own). Same file format
// and the same replace-through-a-flushed-temporary-file rule as on Linux.

#include "platform/FolderSettings.h"

#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "platform/FileSystem.h"
#include "platform/win32/WideText.h"

namespace platform {

namespace {

constexpr const char* kMakerFolder = "Brenmoor";

bool isSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool isFolderW(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Creates the folder and any missing parents.
bool makeFolders(const std::wstring& folder) {
  if (folder.empty()) return false;
  for (std::size_t i = 1; i <= folder.size(); ++i) {
    if (i < folder.size() && !isSeparator(folder[i])) continue;
    const std::wstring part = folder.substr(0, i);
    if (part.size() == 2 && part[1] == L':') continue;  // a drive has no folder to create
    if (!isFolderW(part)) CreateDirectoryW(part.c_str(), nullptr);
  }
  return isFolderW(folder);
}

}  // namespace

FolderSettings::FolderSettings(std::string folder) : m_folder(std::move(folder)) {
  while (m_folder.size() > 1 && (m_folder.back() == '/' || m_folder.back() == '\\')) m_folder.pop_back();
}

std::string FolderSettings::userFolder(const std::string& productName) {
  const wchar_t* appData = _wgetenv(L"APPDATA");
  if (!appData || !*appData) return "";
  std::string base = win32::narrow(appData);
  while (base.size() > 1 && (base.back() == '/' || base.back() == '\\')) base.pop_back();
  return base + "\\" + kMakerFolder + "\\" + productName;
}

bool FolderSettings::isUsableName(std::string_view valueName) {
  return !valueName.empty() && valueName.front() != '.' && valueName.find_first_of("/\\:") == std::string_view::npos &&
         valueName.find('\0') == std::string_view::npos;
}

bool FolderSettings::readValue(std::string_view valueName, std::size_t limit, std::string& bytes) const {
  if (m_folder.empty() || !isUsableName(valueName)) return false;
  const std::wstring path = win32::widen(m_folder + "\\" + std::string(valueName));
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  // Only a file on a disk holds a value; a pipe or a device could block the editor's opening.
  if (GetFileType(file) != FILE_TYPE_DISK) {
    CloseHandle(file);
    return false;
  }
  // One byte more than allowed tells a value that is too long from one that fits exactly.
  bytes.assign(limit + 1, '\0');
  std::size_t total = 0;
  bool ok = true;
  while (total < bytes.size()) {
    DWORD got = 0;
    if (!ReadFile(file, bytes.data() + total, static_cast<DWORD>(bytes.size() - total), &got, nullptr)) ok = false;
    if (!ok || got == 0) break;
    total += got;
  }
  CloseHandle(file);
  if (!ok || total > limit) return false;
  bytes.resize(total);
  return true;
}

void FolderSettings::writeValue(std::string_view valueName, const char* data, std::size_t size) const {
  if (!isUsableName(valueName)) return;
  const std::wstring folder = win32::widen(m_folder);
  if (!makeFolders(folder)) return;
  const std::wstring path = folder + L"\\" + win32::widen(valueName);
  // A hidden sibling named after this process, so concurrent writers never share a temporary
  // file and one left by a killed writer is recognised and removed by a later write.
  removeStaleTemporaries(m_folder + "\\");
  static std::atomic<unsigned> serial{0};
  std::wstring temporary;
  HANDLE file = INVALID_HANDLE_VALUE;
  for (int attempt = 0; attempt < 100 && file == INVALID_HANDLE_VALUE; ++attempt) {
    temporary = win32::widen(temporaryFileName(m_folder + "\\", std::string(valueName), serial.fetch_add(1)));
    file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) return;
  }
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  const bool ok = WriteFile(file, data, static_cast<DWORD>(size), &written, nullptr) && written == size &&
                  FlushFileBuffers(file);
  const bool closed = CloseHandle(file) != 0;
  if (!ok || !closed ||
      !MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    DeleteFileW(temporary.c_str());
}

}  // namespace platform
