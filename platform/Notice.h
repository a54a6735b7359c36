#pragma once

#include <string>

namespace platform {

// Shows a warning to the user without ever blocking the caller: the text always goes to stderr,
// and when a desktop session is available a detached notice window is started beside the host.
// Setting the environment variable SKARVEL_NO_DIALOGS=1 suppresses the window (tests set it).
void showNotice(const std::string& caption, const std::string& text);

// Counts notices shown by this process, so tests can check that a warning was raised.
int noticeCount();

}  // namespace platform
