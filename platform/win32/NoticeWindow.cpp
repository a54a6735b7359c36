// The notice window on Windows: a message box shown on a thread of its own, so neither the
// host's user-interface thread nor its audio thread ever waits for the user. The thread holds a
// reference on this module, so a host that unloads the plug-in while the box is open does not
// pull the code from under it.
#include "platform/NoticeWindow.h"

#include <windows.h>

#include <new>

namespace platform {

namespace {

struct PendingNotice {
  std::string caption;
  std::string text;
  HMODULE module = nullptr;
};

DWORD WINAPI showNoticeThread(void* parameter) {
  auto* notice = static_cast<PendingNotice*>(parameter);
  MessageBoxA(nullptr, notice->text.c_str(), notice->caption.c_str(), MB_OK | MB_ICONWARNING | MB_SETFOREGROUND);
  const HMODULE module = notice->module;
  delete notice;
  FreeLibraryAndExitThread(module, 0);
}

}  // namespace

void openNoticeWindow(const std::string& caption, const std::string& text) {
  auto* notice = new (std::nothrow) PendingNotice{caption, text, nullptr};
  if (!notice) return;
  // A counted reference to this module, released by the thread as it ends.
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&showNoticeThread),
                          &notice->module)) {
    delete notice;
    return;
  }
  const HANDLE thread = CreateThread(nullptr, 0, showNoticeThread, notice, 0, nullptr);
  if (!thread) {
    FreeLibrary(notice->module);
    delete notice;
    return;
  }
  CloseHandle(thread);
}

}  // namespace platform
