#include "source/editor/EditorLayout.h"

namespace skarvel {

namespace {
using K = ControlKind;
using L = LabelPlace;

constexpr std::array<ControlPlacement, kParameterCount> kTable{{
    {kRate1, K::kKnobUnipolar, baseRect(91, 89, 44, 44), "rate", L::kAbove},
    {kLpHp1, K::kKnobBipolar, baseRect(161, 89, 44, 44), "LP-HP", L::kAbove},
    {kAm, K::kKnobUnipolar, baseRect(231, 89, 44, 44), "AM", L::kAbove},
    {kLevel, K::kKnobUnipolar, baseRect(301, 89, 44, 44), "level", L::kAbove},
    {kSmooth, K::kKnobUnipolar, baseRect(301, 175, 44, 44), "smooth", L::kAbove},
    {kRate2, K::kKnobUnipolar, baseRect(91, 175, 44, 44), "rate", L::kAbove},
    {kLpHp2, K::kKnobBipolar, baseRect(161, 175, 44, 44), "LP-HP", L::kAbove},
    {kOsc1, K::kSwitch, baseRect(29, 100, 18, 18), "osc1", L::kAboveSwitch},
    {kOsc2, K::kSwitch, baseRect(29, 186, 18, 18), "osc2", L::kAboveSwitch},
    {kResoAmnt, K::kKnobUnipolar, baseRect(21, 261, 44, 44), "reso", L::kAbove},
    {kCombFilter, K::kKnobUnipolar, baseRect(91, 261, 44, 44), "freq", L::kAbove},
    {kLpHp3, K::kKnobBipolar, baseRect(161, 261, 44, 44), "LP-HP", L::kAbove},
    {kFm, K::kKnobUnipolar, baseRect(231, 261, 44, 44), "FM", L::kAbove},
    {kDryWet, K::kKnobUnipolar, baseRect(301, 261, 44, 44), "dry/wet", L::kAbove},
    {kAttack1, K::kNanoSlider, baseRect(401, 88, 19, 122), "A", L::kBelow},
    {kDecay1, K::kNanoSlider, baseRect(430, 88, 19, 122), "D", L::kBelow},
    {kSustain1, K::kNanoSlider, baseRect(459, 88, 19, 122), "S", L::kBelow},
    {kRelease1, K::kNanoSlider, baseRect(488, 88, 19, 122), "R", L::kBelow},
    {kVelosens, K::kFlatSlider, baseRect(468, 233, 44, 19), "velosens", L::kLeftAligned},
    {kAdsr2Level, K::kMultiSwitch, baseRect(430, 264, 81, 18), "level", L::kAt, 390, 268},
    {kAdsr2Rate1, K::kKnobBipolar, baseRect(456, 290, 34, 33), "rate", L::kAt, 390, 300},
    {kAdsr2LpHp1, K::kKnobBipolar, baseRect(456, 332, 34, 33), "", L::kView},
    {kAdsr2Am, K::kKnobBipolar, baseRect(456, 374, 34, 33), "AM", L::kAt, 390, 382},
    {kEqLpFreq, K::kKnobUnipolar, baseRect(651, 191, 44, 44), "LP", L::kAbove},
    {kEqHpFreq, K::kKnobUnipolar, baseRect(592, 191, 44, 44), "HP", L::kAbove},
    {kQFilters, K::kSwitch, baseRect(554, 204, 18, 18), "filters", L::kAbove},
    {kReverbSize, K::kKnobUnipolar, baseRect(592, 266, 44, 44), "size", L::kAbove},
    {kReverbMix, K::kKnobUnipolar, baseRect(651, 266, 44, 44), "mix", L::kAbove},
    {kReverbOn, K::kSwitch, baseRect(554, 279, 18, 18), "reverb", L::kAbove},
    {kGainOut, K::kKnobUnipolar, baseRect(780, 189, 52, 52), "output gain", L::kAbove},
    {kStrEnh, K::kKnobUnipolar, baseRect(725, 189, 44, 44), "strEnh", L::kSharedOutput},
    {kKt2Rate1, K::kKnobBipolar, baseRect(71, 354, 44, 44), "", L::kView},
    {kKt2LpHp1, K::kKnobBipolar, baseRect(187, 354, 44, 44), "keytrk\nLP-HP\nosc1", L::kThreeLines, 141, 341},
    {kKt2Rate2, K::kKnobBipolar, baseRect(303, 354, 44, 44), "keytrk\nrate\nosc2", L::kThreeLines, 257, 341},
    {kBpMelody, K::kSwitch, baseRect(11, 398, 14, 14), "BPmelody", L::kRightSmall},
    {kRateScaleUp, K::kSwitch, baseRect(11, 305, 14, 14), "rateUp", L::kRightSmall},
}};

// Knobs of the oscillators and the resonator first, then the switches, the keytracking and
// ADSR2 knobs, the ADSR2 level switch, the effects, the output and the envelope sliders.
constexpr std::array<int, kParameterCount> kCreationOrder{
    kRate1, kLpHp1, kAm, kLevel, kSmooth, kRate2, kLpHp2, kResoAmnt, kCombFilter, kLpHp3, kFm, kDryWet,
    kOsc1, kOsc2, kBpMelody, kRateScaleUp, kKt2Rate1, kKt2LpHp1, kKt2Rate2, kAdsr2Rate1, kAdsr2Am,
    kAdsr2LpHp1, kAdsr2Level, kEqLpFreq, kEqHpFreq, kQFilters, kReverbSize, kReverbMix, kReverbOn,
    kGainOut, kStrEnh, kVelosens, kAttack1, kDecay1, kSustain1, kRelease1};

// Each row sits at its parameter's index, and every parameter is created exactly once.
constexpr bool rowsAtTheirIds() {
  for (int id = 0; id < kParameterCount; ++id)
    if (kTable[static_cast<std::size_t>(id)].id != id) return false;
  return true;
}
constexpr bool createsEachOnce() {
  std::array<int, kParameterCount> seen{};
  for (int id : kCreationOrder) {
    if (id < 0 || id >= kParameterCount || seen[static_cast<std::size_t>(id)]++) return false;
  }
  return true;
}
static_assert(rowsAtTheirIds(), "controlTable() is indexed by parameter id");
static_assert(createsEachOnce(), "creationOrder() names every parameter once");
}  // namespace

const std::array<ControlPlacement, kParameterCount>& controlTable() { return kTable; }

const std::array<int, kParameterCount>& creationOrder() { return kCreationOrder; }

}  // namespace skarvel
