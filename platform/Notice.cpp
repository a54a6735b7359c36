// Notices on every system: the text always goes to stderr and is counted; the window that shows
// it to the user is the system's own (NoticeWindow.cpp, one per system).
#include "Notice.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/NoticeWindow.h"

namespace platform {

namespace {
std::atomic<int> g_noticeCount{0};

bool dialogsSuppressed() {
  const char* value = std::getenv("SKARVEL_NO_DIALOGS");
  return value && *value && std::strcmp(value, "0") != 0;
}
}  // namespace

void showNotice(const std::string& caption, const std::string& text) {
  g_noticeCount.fetch_add(1, std::memory_order_relaxed);
  std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
  std::fflush(stderr);
  if (!dialogsSuppressed()) openNoticeWindow(caption, text);
}

int noticeCount() { return g_noticeCount.load(std::memory_order_relaxed); }

}  // namespace platform
