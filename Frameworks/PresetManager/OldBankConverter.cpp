#include "OldBankConverter.h"

#include <cstring>

#include "PresetManager.h"
#include "ProgramFactory.h"
#include "platform/FileSystem.h"

namespace presets {

namespace {

constexpr std::uint64_t kNameBytes = 24;

// Old names were written in an 8-bit Windows code page. Text that is already valid UTF-8 is
// kept; otherwise each byte is taken as a Latin-1 character, so the name can be written as a
// YAML preset instead of making every save of it fail.
std::string nameAsUtf8(const std::string& raw) {
  std::size_t i = 0;
  bool valid = true;
  while (valid && i < raw.size()) {
    const unsigned char lead = static_cast<unsigned char>(raw[i]);
    std::size_t length = lead < 0x80 ? 1 : (lead >= 0xC2 && lead <= 0xDF) ? 2 : (lead >= 0xE0 && lead <= 0xEF) ? 3
                                     : (lead >= 0xF0 && lead <= 0xF4) ? 4 : 0;
    if (length == 0 || i + length > raw.size()) valid = false;
    for (std::size_t k = 1; valid && k < length; ++k)
      if ((static_cast<unsigned char>(raw[i + k]) & 0xC0) != 0x80) valid = false;
    i += length;
  }
  if (valid) return raw;
  std::string converted;
  for (const char c : raw) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      converted.push_back(c);
    } else {
      converted.push_back(static_cast<char>(0xC0 | (byte >> 6)));
      converted.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
    }
  }
  return converted;
}

bool endsWith(const std::string& text, const char* tail) {
  const std::size_t size = std::strlen(tail);
  return text.size() >= size && text.compare(text.size() - size, size, tail) == 0;
}

}  // namespace

OldBankConverter::OldBankConverter(ProgramFactory& factory, PresetManager& manager, OldBankLayout layout,
                                   std::vector<int> slotMap)
    : m_factory(factory), m_manager(manager), m_layout(layout), m_slotMap(std::move(slotMap)) {}

void OldBankConverter::convert(const std::string& path, MessageList& report) {
  report.append("Converting presets from the selected file:");
  report.append("    " + path);
  std::vector<unsigned char> bytes;
  if (!platform::readFile(path, bytes) || bytes.empty()) {
    report.append("Could not read anything from the selected file.");
    return;
  }
  const std::uint64_t size = bytes.size();
  const std::uint64_t W = m_layout.programsPerBank;
  const std::uint64_t T = m_layout.oldParameterCount;
  const std::uint64_t U = m_layout.bankHeaderBytesPerParameter;
  const std::uint64_t V = m_layout.programBytesBesidesValues;
  const std::uint64_t R = 4 * T + V;
  bool recognised = false;
  std::uint64_t start = 0;
  if (endsWith(path, "fxb") && size == 160 + U * T + W * R) {
    recognised = true;
    start = 160 + U * T;
  } else if (endsWith(path, "fxp") && size == 60 + R) {
    recognised = true;
    start = 60;
  } else if (endsWith(path, "bnk")) {
    if (size == U * T + W * R) {
      recognised = true;
      start = U * T;
    } else if (size == W * R) {
      recognised = true;
      start = 0;
    }
  }
  if (!recognised) {
    report.append("Could not recognise the format of the data in the file.");
    return;
  }
  convertData(bytes, start, report);
}

void OldBankConverter::convertData(const std::vector<unsigned char>& bytes, std::uint64_t start,
                                   MessageList& report) {
  const std::uint64_t recordSize = kNameBytes + 4 * static_cast<std::uint64_t>(m_slotMap.size());
  int converted = 0;
  int skipped = 0;
  std::uint64_t position = start;
  while (position < bytes.size()) {
    const std::uint64_t remaining = bytes.size() - position;
    const unsigned char* record = bytes.data() + position;
    // A record cut short by the end of the file reads as zeros beyond it.
    auto byteAt = [&](std::uint64_t offset) -> unsigned char { return offset < remaining ? record[offset] : 0; };
    std::string raw;
    for (std::uint64_t i = 0; i < kNameBytes && byteAt(i) != 0; ++i) raw.push_back(static_cast<char>(byteAt(i)));
    std::vector<float> values(m_slotMap.size());
    for (std::size_t slot = 0; slot < values.size(); ++slot) {
      unsigned char little[4];
      for (int k = 0; k < 4; ++k) little[k] = byteAt(kNameBytes + 4 * slot + static_cast<std::uint64_t>(k));
      const std::uint32_t word = static_cast<std::uint32_t>(little[0]) | static_cast<std::uint32_t>(little[1]) << 8 |
                                 static_cast<std::uint32_t>(little[2]) << 16 | static_cast<std::uint32_t>(little[3]) << 24;
      std::memcpy(&values[slot], &word, sizeof word);
    }
    std::unique_ptr<Program> program = m_factory.createProgram();
    program->setReadOnly(false);
    const std::string name = nameAsUtf8(raw);
    m_factory.setNameAndValues(name, values, m_slotMap);

    if (m_manager.isUserPresetName(name)) {
      report.append("Skipping preset with existing user preset name: " + name);
      ++skipped;
    } else {
      ++converted;
      report.append("Converting preset named: " + name);
      m_manager.saveToUserFolder(*program);  // a failure is in the message list; the program stays
      m_manager.addConvertedUserPreset(std::move(program));
    }
    if (recordSize >= remaining) break;
    position += recordSize;
  }
  if (skipped > 0) report.append(std::to_string(skipped) + " presets were skipped.");
  if (converted > 0) {
    report.append("Presets saved to the user presets directory: " + m_manager.userPresetsFolder());
    report.append(std::to_string(converted) + (converted == 1 ? " preset was" : " presets were") + " converted" +
                  (converted == 1 ? " and saved as a user preset." : " and saved as user presets."));
  } else {
    report.append("No presets were converted.");
  }
}

}  // namespace presets
