// Notices on Windows: the text goes to stderr, and a message box is shown on a thread of its
// own, so neither the host's user-interface thread nor its audio thread ever waits for the
// user. The thread holds a reference on this module, so a host that unloads the plug-in while
// the box is open does not pull the code from under it.

#include "platform/Notice.h"

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

namespace platform {

namespace {

std::atomic<int> g_noticeCount{0};

bool dialogsSuppressed() {
  const char* value = std::getenv("SKARVEL_NO_DIALOGS");
  return value && *value && std::strcmp(value, "0") != 0;
}

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

void launchDetached(const std::string& caption, const std::string& text) {
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

}  // namespace

void showNotice(const std::string& caption, const std::string& text) {
  g_noticeCount.fetch_add(1, std::memory_order_relaxed);
  std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
  std::fflush(stderr);
  if (!dialogsSuppressed()) launchDetached(caption, text);
}

int noticeCount() { return g_noticeCount.load(std::memory_order_relaxed); }

}  // namespace platform
