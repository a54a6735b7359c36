#pragma once

#include <cstdint>
#include <string>

namespace core {

// What the host learns about the instrument before anything else: counts, ids and names. Held
// by the plug-in factory and copied by the host adapter.
struct PluginDescription {
  std::int32_t programCount = 0;
  std::int32_t parameterCount = 0;
  std::int32_t inputCount = 0;
  std::int32_t outputCount = 0;
  std::int32_t uniqueId = 0;  // four-character code, most significant byte first
  std::string effectName;     // the long name hosts show ("Skarvel by Brenmoor")
  std::string productName;    // the short name used for files and folders ("Skarvel")
  std::string versionText;    // "1.0.0"
  std::string shortMakerCode; // three letters, used as the output pins' label
  std::string vendorUrl;      // the maker's web address, answered as the vendor string
  bool isSynth = false;

  // Layout of the maker's older instrument's banks, for converting them (all 0: none known).
  std::uint32_t oldProgramsPerBank = 0;         // W
  std::uint32_t oldParameterCount = 0;          // T
  std::uint64_t oldBankHeaderBytesPerParam = 0; // U
  std::uint64_t oldProgramExtraBytes = 0;       // V
};

}  // namespace core
