#pragma once

#include <cstddef>
#include <string_view>

namespace platform {

// Reads the character that starts at text[position] and moves position past it. A byte that does
// not begin a well-formed UTF-8 sequence (overlong, a surrogate, beyond U+10FFFF, or cut short by
// the end of the text) is returned as its own value and skipped alone, so no byte is lost and
// nothing is read past the end. Preset and theme names come from files and hosts, so they may
// be anything.
char32_t nextCodePoint(std::string_view text, std::size_t& position);

}  // namespace platform
