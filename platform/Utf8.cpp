#include "platform/Utf8.h"

namespace platform {

char32_t nextCodePoint(std::string_view text, std::size_t& position) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t size = text.size();
  const unsigned char lead = bytes[position];
  std::size_t length = 1;
  char32_t code = lead;
  if (lead >= 0xC2 && lead <= 0xDF) length = 2, code = lead & 0x1F;
  else if (lead >= 0xE0 && lead <= 0xEF) length = 3, code = lead & 0x0F;
  else if (lead >= 0xF0 && lead <= 0xF4) length = 4, code = lead & 0x07;
  bool valid = lead < 0x80 || (length > 1 && position + length <= size);
  for (std::size_t k = 1; valid && k < length; ++k) {
    if ((bytes[position + k] & 0xC0) != 0x80) valid = false;
    else code = (code << 6) | (bytes[position + k] & 0x3F);
  }
  if (valid && length > 1) {
    const char32_t minimum = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) valid = false;
  }
  if (!valid) {
    position += 1;
    return lead;  // a stray byte keeps its own value
  }
  position += length;
  return code;
}

}  // namespace platform
