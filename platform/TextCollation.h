#pragma once

#include <string>

namespace platform {

// Compares two UTF-8 texts ignoring case, in the collation of the user's default locale (from
// the environment: LC_ALL, LC_COLLATE, LANG), without touching the process locale. Negative,
// zero or positive like strcmp. Bytes that are not valid UTF-8 count as the characters U+0080
// to U+00FF of the same value, so every text has a place in the order.
int compareIgnoringCase(const std::string& a, const std::string& b);

}  // namespace platform
