#pragma once

#include <string>
#include <string_view>

namespace platform::win32 {

// UTF-8 texts (the plug-in's own encoding everywhere) to and from UTF-16 (what the wide
// Windows functions take). A byte that is not part of valid UTF-8 becomes the character of
// the same value (U+0080 to U+00FF), so every name survives the trip to a file-system call and
// no two different byte strings meet as the same replacement character.
std::wstring widen(std::string_view utf8);
// Unpaired surrogates become U+FFFD.
std::string narrow(std::wstring_view utf16);

}  // namespace platform::win32
