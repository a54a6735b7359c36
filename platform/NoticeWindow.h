#pragma once

#include <string>

namespace platform {

// Shows the notice in a window of the desktop beside the host and returns at once; the window
// goes away when the user closes it. Does nothing where no desktop session is available.
void openNoticeWindow(const std::string& caption, const std::string& text);

}  // namespace platform
