#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace skarvel {

// At most maxBytes bytes of text, cut before a UTF-8 character that would not fit whole (so a
// cut never leaves half a character for the font engine to choke on), and before any zero byte.
std::string limitText(std::string_view text, std::size_t maxBytes);

}  // namespace skarvel
