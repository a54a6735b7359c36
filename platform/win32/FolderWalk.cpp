// The folder walk on Windows: FindFirstFileW/FindNextFileW with UTF-16 names, paths joined with
// a backslash (or a slash when the caller's folder path is written with slashes). Folder links and junctions are followed, but a folder is walked once only
// (known by its volume and file index), so a link loop cannot hang the walk.

#include "platform/FolderWalk.h"

#include <windows.h>

#include <set>
#include <tuple>

#include "platform/win32/WideText.h"

namespace platform {

namespace {

using FolderId = std::tuple<DWORD, DWORD, DWORD>;  // volume serial, file index high, low

bool endsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// True the first time the folder at `path` is seen; false when it was walked already or is
// not a folder that can be opened.
bool firstVisit(const std::wstring& path, std::set<FolderId>& visited) {
  const HANDLE folder = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (folder == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION info{};
  const bool known = GetFileInformationByHandle(folder, &info) != 0;
  CloseHandle(folder);
  if (!known || !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
  return visited.insert({info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow}).second;
}

void walk(const std::wstring& folder, const std::string& extension, DirTreeCallback& callback,
          std::set<FolderId>& visited) {
  // A backslash joins the names, unless the caller wrote the folder path with slashes.
  const std::size_t last = folder.find_last_of(L"\\/");
  const wchar_t separator = last != std::wstring::npos ? folder[last] : L'\\';
  const bool separated = !folder.empty() && (folder.back() == L'\\' || folder.back() == L'/');
  const std::wstring prefix = separated ? folder : folder + separator;
  WIN32_FIND_DATAW entry{};
  const HANDLE listing = FindFirstFileW((prefix + L"*").c_str(), &entry);
  if (listing == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring wideName = entry.cFileName;
    const std::wstring widePath = prefix + wideName;
    const std::string name = win32::narrow(wideName);
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (name.empty() || name[0] == '.') continue;
      if (!firstVisit(widePath, visited)) continue;
      callback.folderEntered(name);
      walk(widePath, extension, callback, visited);
      callback.folderLeft();
    } else if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DEVICE) && endsWith(name, extension)) {
      callback.fileFound(win32::narrow(widePath));
    }
  } while (FindNextFileW(listing, &entry));
  FindClose(listing);
}

}  // namespace

void walkFolderTree(const std::string& folder, const std::string& extension, DirTreeCallback& callback) {
  std::set<FolderId> visited;
  const std::wstring wide = win32::widen(folder);
  if (!firstVisit(wide, visited)) return;
  walk(wide, extension, callback, visited);
}

}  // namespace platform
