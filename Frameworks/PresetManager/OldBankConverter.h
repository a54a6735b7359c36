#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "MessageList.h"

namespace presets {

class PresetManager;
class ProgramFactory;

// The sizes that describe the older instrument's bank and program files. One old program
// record is 4 * oldParameterCount + programBytesBesidesValues bytes.
struct OldBankLayout {
  std::uint32_t programsPerBank = 0;             // W
  std::uint32_t oldParameterCount = 0;           // T
  std::uint64_t bankHeaderBytesPerParameter = 0; // U
  std::uint64_t programBytesBesidesValues = 0;   // V
};

// Turns banks and single programs of the older instrument (".fxb", ".fxp", ".bnk") into user
// presets. The file is recognised by its extension and size alone; each old record is a 24-byte
// zero-terminated name followed by one little-endian float per slot of the slot map, and a slot
// map entry of -1 drops that old value. Every step is reported as a line in the report list.
class OldBankConverter {
 public:
  OldBankConverter(ProgramFactory& factory, PresetManager& manager, OldBankLayout layout,
                   std::vector<int> slotMap);

  void convert(const std::string& path, MessageList& report);

 private:
  void convertData(const std::vector<unsigned char>& bytes, std::uint64_t start, MessageList& report);

  ProgramFactory& m_factory;
  PresetManager& m_manager;
  OldBankLayout m_layout;
  std::vector<int> m_slotMap;
};

}  // namespace presets
