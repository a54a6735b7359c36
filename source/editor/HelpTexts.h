#pragma once

#include <array>
#include <string_view>

namespace skarvel {

// The help box's texts: five lines each; a blank line is a single space.
using HelpText = std::array<std::string_view, 5>;

// The help of parameter `id` (0..35); the general text for any other id.
const HelpText& parameterHelp(int id);

namespace help {
extern const HelpText kGeneral;
extern const HelpText kSizeMenu;
extern const HelpText kOptionsMenu;
extern const HelpText kPeakMeters;
extern const HelpText kOscilloscope;
extern const HelpText kAppearanceRegion;
extern const HelpText kManualRegion;
extern const HelpText kTargetMenu;
extern const HelpText kBankMenu;
extern const HelpText kPresetMenu;
}  // namespace help

}  // namespace skarvel
