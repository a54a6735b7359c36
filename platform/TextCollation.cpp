#include "TextCollation.h"

#include "platform/Utf8.h"

#include <cwchar>
#include <cwctype>

#include <locale.h>
#include <wchar.h>
#include <wctype.h>

namespace platform {

namespace {

// The user's locale for collation and case, created once for the process and freed when the
// module is unloaded (a host may load and unload the plug-in many times). Falls back to
// C.UTF-8, then to the plain "C" locale, when the environment names a locale that is not
// installed.
class UserLocale {
 public:
  UserLocale() {
    const int mask = LC_COLLATE_MASK | LC_CTYPE_MASK;
    for (const char* name : {"", "C.UTF-8", "C"}) {
      m_locale = newlocale(mask, name, static_cast<locale_t>(0));
      if (m_locale) break;
    }
  }
  ~UserLocale() {
    if (m_locale) freelocale(m_locale);
  }
  UserLocale(const UserLocale&) = delete;
  UserLocale& operator=(const UserLocale&) = delete;
  locale_t get() const { return m_locale; }

 private:
  locale_t m_locale = static_cast<locale_t>(0);
};

locale_t userLocale() {
  static const UserLocale locale;
  return locale.get();
}

// Decodes UTF-8 into wide characters, lowering each in `locale`.
std::wstring lowered(const std::string& text, locale_t locale) {
  std::wstring wide;
  wide.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const char32_t code = nextCodePoint(text, i);
    const wint_t lower = locale ? towlower_l(static_cast<wint_t>(code), locale)
                                : static_cast<wint_t>(code);
    wide.push_back(static_cast<wchar_t>(lower));
  }
  return wide;
}

}  // namespace

int compareIgnoringCase(const std::string& a, const std::string& b) {
  const locale_t locale = userLocale();
  const std::wstring left = lowered(a, locale);
  const std::wstring right = lowered(b, locale);
  const int order = locale ? wcscoll_l(left.c_str(), right.c_str(), locale)
                           : std::wcscmp(left.c_str(), right.c_str());
  return order;
}

}  // namespace platform
