// The notice window on POSIX desktops.
#include "platform/NoticeWindow.h"

#include <cstdlib>

#include <sys/wait.h>
#include <unistd.h>

namespace platform {

// Starts `zenity` (or `xmessage`) as a grandchild in its own session, so the host neither waits
// for the window nor inherits a zombie. The intermediate child exits at once and is reaped here.
void openNoticeWindow(const std::string& caption, const std::string& text) {
  if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) return;
  // The arguments are made here: in a forked copy of a many-threaded host only async-signal-safe
  // calls are allowed, and an allocation there can wait forever on a lock another thread held.
  const std::string title = "--title=" + caption;
  const std::string message = "--text=" + text;
  const pid_t child = fork();
  if (child < 0) return;
  if (child == 0) {
    setsid();
    if (fork() == 0) {
      execlp("zenity", "zenity", "--warning", "--no-wrap", title.c_str(), message.c_str(),
             static_cast<char*>(nullptr));
      execlp("xmessage", "xmessage", "-center", text.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
}

}  // namespace platform
