#include "TextCollation.h"

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
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t size = text.size();
  for (std::size_t i = 0; i < size;) {
    const unsigned char lead = bytes[i];
    std::size_t length = 1;
    char32_t code = lead;
    if (lead >= 0xC2 && lead <= 0xDF) length = 2, code = lead & 0x1F;
    else if (lead >= 0xE0 && lead <= 0xEF) length = 3, code = lead & 0x0F;
    else if (lead >= 0xF0 && lead <= 0xF4) length = 4, code = lead & 0x07;
    bool valid = lead < 0x80 || (length > 1 && i + length <= size);
    for (std::size_t k = 1; valid && k < length; ++k) {
      if ((bytes[i + k] & 0xC0) != 0x80) valid = false;
      else code = (code << 6) | (bytes[i + k] & 0x3F);
    }
    if (valid && length > 1) {
      const char32_t minimum = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
      if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) valid = false;
    }
    if (!valid) {
      code = lead;  // a stray byte keeps its own value
      length = 1;
    }
    const wint_t lower = locale ? towlower_l(static_cast<wint_t>(code), locale)
                                : static_cast<wint_t>(code);
    wide.push_back(static_cast<wchar_t>(lower));
    i += length;
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
