#include "ParameterDisplay.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>

#include "source/SkarvelParameterTable.h"

namespace skarvel {

namespace {

// printf's "%1.<decimals>f" without the locale: to_chars rounds the exact binary value the same
// way and never uses a decimal comma.
char* appendFixed(char* out, char* end, double value, int decimals) {
  const std::to_chars_result result = std::to_chars(out, end, value, std::chars_format::fixed, decimals);
  return result.ec == std::errc() ? result.ptr : out;
}

char* appendText(char* out, char* end, const char* text) {
  const std::size_t length = std::strlen(text);
  if (static_cast<std::size_t>(end - out) < length) return out;
  std::memcpy(out, text, length);
  return out + length;
}

}  // namespace

void formatParameterDisplay(int id, float value, float bpMelody, double sampleRate, char* text,
                            std::size_t size) {
  if (!text || size == 0) return;
  // Far longer than any text: a value far outside 0..1 may print 40 digits before truncation.
  char buffer[400];
  char* const end = buffer + sizeof buffer;
  char* out = buffer;
  const float v = value;

  if (id < 0 || id >= kParameterCount) {
    out = appendFixed(out, end, v, 2);
  } else {
    const ParameterEntry& entry = kParameterTable[static_cast<std::size_t>(id)];
    switch (entry.display) {
      case ParameterDisplayFormat::kValue:
        out = appendFixed(out, end, v, 2);
        break;
      case ParameterDisplayFormat::kBipolar:
        out = appendFixed(out, end, 2.0f * v - 1.0f, 2);
        break;
      case ParameterDisplayFormat::kMapped:
        out = appendFixed(out, end, mapParameter(id, v, sampleRate), 2);
        break;
      case ParameterDisplayFormat::kDecibels: {
        // The gain's square law a v^2, multiplied in this order as the text has always been
        // formed (v v a rounds differently in a last bit, which moves a digit at a rounding edge).
        const float g = 20.0f * std::log10(entry.mapping.a * v * v);
        if (g > -116.0f) {
          if (g > 0.0f) out = appendText(out, end, "+");
          out = appendFixed(out, end, g, 1);
        } else {
          out = appendText(out, end, "-\xE2\x88\x9E");  // minus sign and infinity
        }
        break;
      }
      case ParameterDisplayFormat::kVelocity: {
        // The integer part of v x 127 + 0.5, held inside int so a wild value cannot overflow.
        const float scaled = v * 127.0f + 0.5f;
        long long whole = 0;
        if (scaled >= static_cast<float>(INT_MAX)) whole = INT_MAX;
        else if (scaled <= static_cast<float>(INT_MIN)) whole = INT_MIN;
        else if (scaled == scaled) whole = static_cast<int>(scaled);
        out = std::to_chars(out, end, whole).ptr;
        break;
      }
      case ParameterDisplayFormat::kKeyTrack:
        // With BPMelody on the knob sets the band-pass width.
        if (parameterOn(kBpMelody, bpMelody))
          out = appendFixed(out, end, 0.99f * v + 0.01f, 2);
        else
          out = appendFixed(out, end, 2.0f * v - 1.0f, 2);
        break;
    }
  }

  std::size_t length = static_cast<std::size_t>(out - buffer);
  if (length > size - 1) {
    length = size - 1;
    // Never cut a multi-byte character in half.
    while (length > 0 && (static_cast<unsigned char>(buffer[length]) & 0xC0) == 0x80) --length;
  }
  std::memcpy(text, buffer, length);
  text[length] = '\0';
}

}  // namespace skarvel
