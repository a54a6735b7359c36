// List order on Windows: the user's default locale through CompareStringEx, ignoring case.

#include "platform/TextCollation.h"

#include <windows.h>

#include "platform/win32/WideText.h"

namespace platform {

int compareIgnoringCase(const std::string& a, const std::string& b) {
  const std::wstring left = win32::widen(a);
  const std::wstring right = win32::widen(b);
  const int order = CompareStringEx(LOCALE_NAME_USER_DEFAULT, NORM_IGNORECASE, left.c_str(),
                                    static_cast<int>(left.size()), right.c_str(), static_cast<int>(right.size()),
                                    nullptr, nullptr, 0);
  if (order == 0) return left.compare(right);  // the comparison failed: code-unit order
  return order - CSTR_EQUAL;
}

}  // namespace platform
