#include "FloatWav.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "platform/FileSystem.h"

namespace winhost {

namespace {

constexpr std::uint16_t kFormatFloat = 3;
constexpr std::uint16_t kFormatExtensible = 0xFFFE;

std::uint32_t le32(const unsigned char* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24); }
std::uint16_t le16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

void put32(std::string& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
void put16(std::string& out, std::uint16_t v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>(v >> 8));
}

}  // namespace

bool writeFloatWav(const std::string& path, const FloatAudio& audio) {
  const std::uint32_t dataBytes = static_cast<std::uint32_t>(audio.samples.size() * sizeof(float));
  std::string out = "RIFF";
  put32(out, 4 + 8 + 16 + 8 + dataBytes);
  out += "WAVEfmt ";
  put32(out, 16);
  put16(out, kFormatFloat);
  put16(out, static_cast<std::uint16_t>(audio.channels));
  put32(out, static_cast<std::uint32_t>(audio.sampleRate));
  put32(out, static_cast<std::uint32_t>(audio.sampleRate * audio.channels * sizeof(float)));
  put16(out, static_cast<std::uint16_t>(audio.channels * sizeof(float)));
  put16(out, 32);
  out += "data";
  put32(out, dataBytes);
  const std::size_t header = out.size();
  out.resize(header + dataBytes);
  std::memcpy(out.data() + header, audio.samples.data(), dataBytes);  // x86: little-endian floats
  return platform::writeFileAtomically(path, out);
}

bool readFloatWav(const std::string& path, FloatAudio& audio, std::string& error) {
  std::vector<unsigned char> bytes;
  if (!platform::readFile(path, bytes)) {
    error = "cannot read '" + path + "'";
    return false;
  }
  if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 || std::memcmp(bytes.data() + 8, "WAVE", 4) != 0) {
    error = "'" + path + "' is not a WAV file";
    return false;
  }
  bool haveFormat = false;
  for (std::size_t at = 12; at + 8 <= bytes.size();) {
    const std::uint32_t size = le32(bytes.data() + at + 4);
    const unsigned char* body = bytes.data() + at + 8;
    if (size > bytes.size() - at - 8) break;
    if (std::memcmp(bytes.data() + at, "fmt ", 4) == 0 && size >= 16) {
      std::uint16_t format = le16(body);
      if (format == kFormatExtensible && size >= 40) format = le16(body + 24);  // the sub-format's tag
      audio.channels = le16(body + 2);
      audio.sampleRate = static_cast<int>(le32(body + 4));
      if (format != kFormatFloat || le16(body + 14) != 32 || audio.channels < 1) {
        error = "'" + path + "' does not hold 32-bit float samples";
        return false;
      }
      haveFormat = true;
    } else if (std::memcmp(bytes.data() + at, "data", 4) == 0 && haveFormat) {
      audio.samples.resize(size / sizeof(float));
      std::memcpy(audio.samples.data(), body, audio.samples.size() * sizeof(float));
      return true;
    }
    at += 8 + size + (size & 1);
  }
  error = "'" + path + "' has no float audio data";
  return false;
}

}  // namespace winhost
