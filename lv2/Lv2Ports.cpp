#include "lv2/Lv2Ports.h"

namespace lv2 {

std::string portSymbol(std::string_view name) {
  std::string symbol;
  for (const char c : name) {
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
    const bool digit = c >= '0' && c <= '9';
    if (symbol.empty() && digit) symbol += '_';
    symbol += letter || digit ? c : '_';
  }
  return symbol.empty() ? std::string("_") : symbol;
}

}  // namespace lv2
