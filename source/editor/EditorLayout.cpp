#include "source/editor/EditorLayout.h"

namespace skarvel {

namespace {
using K = ControlKind;
using L = LabelPlace;

constexpr std::array<ControlPlacement, kEditorParameterCount> kTable{{
    {0, K::kKnobUnipolar, baseRect(91, 89, 44, 44), "rate", L::kAbove},
    {1, K::kKnobBipolar, baseRect(161, 89, 44, 44), "LP-HP", L::kAbove},
    {2, K::kKnobUnipolar, baseRect(231, 89, 44, 44), "AM", L::kAbove},
    {3, K::kKnobUnipolar, baseRect(301, 89, 44, 44), "level", L::kAbove},
    {4, K::kKnobUnipolar, baseRect(301, 175, 44, 44), "smooth", L::kAbove},
    {5, K::kKnobUnipolar, baseRect(91, 175, 44, 44), "rate", L::kAbove},
    {6, K::kKnobBipolar, baseRect(161, 175, 44, 44), "LP-HP", L::kAbove},
    {7, K::kSwitch, baseRect(29, 100, 18, 18), "osc1", L::kAboveSwitch},
    {8, K::kSwitch, baseRect(29, 186, 18, 18), "osc2", L::kAboveSwitch},
    {9, K::kKnobUnipolar, baseRect(21, 261, 44, 44), "reso", L::kAbove},
    {10, K::kKnobUnipolar, baseRect(91, 261, 44, 44), "freq", L::kAbove},
    {11, K::kKnobBipolar, baseRect(161, 261, 44, 44), "LP-HP", L::kAbove},
    {12, K::kKnobUnipolar, baseRect(231, 261, 44, 44), "FM", L::kAbove},
    {13, K::kKnobUnipolar, baseRect(301, 261, 44, 44), "dry/wet", L::kAbove},
    {14, K::kNanoSlider, baseRect(401, 88, 19, 122), "A", L::kBelow},
    {15, K::kNanoSlider, baseRect(430, 88, 19, 122), "D", L::kBelow},
    {16, K::kNanoSlider, baseRect(459, 88, 19, 122), "S", L::kBelow},
    {17, K::kNanoSlider, baseRect(488, 88, 19, 122), "R", L::kBelow},
    {18, K::kFlatSlider, baseRect(468, 233, 44, 19), "velosens", L::kLeftAligned},
    {19, K::kMultiSwitch, baseRect(430, 264, 81, 18), "level", L::kAt, 390, 268},
    {20, K::kKnobBipolar, baseRect(456, 290, 34, 33), "rate", L::kAt, 390, 300},
    {21, K::kKnobBipolar, baseRect(456, 332, 34, 33), "", L::kView},
    {22, K::kKnobBipolar, baseRect(456, 374, 34, 33), "AM", L::kAt, 390, 382},
    {23, K::kKnobUnipolar, baseRect(651, 191, 44, 44), "LP", L::kAbove},
    {24, K::kKnobUnipolar, baseRect(592, 191, 44, 44), "HP", L::kAbove},
    {25, K::kSwitch, baseRect(554, 204, 18, 18), "filters", L::kAbove},
    {26, K::kKnobUnipolar, baseRect(592, 266, 44, 44), "size", L::kAbove},
    {27, K::kKnobUnipolar, baseRect(651, 266, 44, 44), "mix", L::kAbove},
    {28, K::kSwitch, baseRect(554, 279, 18, 18), "reverb", L::kAbove},
    {29, K::kKnobUnipolar, baseRect(780, 189, 52, 52), "output gain", L::kAbove},
    {30, K::kKnobUnipolar, baseRect(725, 189, 44, 44), "strEnh", L::kSharedOutput},
    {31, K::kKnobBipolar, baseRect(71, 354, 44, 44), "", L::kView},
    {32, K::kKnobBipolar, baseRect(187, 354, 44, 44), "keytrk\nLP-HP\nosc1", L::kThreeLines, 141, 341},
    {33, K::kKnobBipolar, baseRect(303, 354, 44, 44), "keytrk\nrate\nosc2", L::kThreeLines, 257, 341},
    {34, K::kSwitch, baseRect(11, 398, 14, 14), "BPmelody", L::kRightSmall},
    {35, K::kSwitch, baseRect(11, 305, 14, 14), "rateUp", L::kRightSmall},
}};

// Knobs of the oscillators and the resonator first, then the switches, the keytracking and
// ADSR2 knobs, the ADSR2 level switch, the effects, the output and the envelope sliders.
constexpr std::array<int, kEditorParameterCount> kCreationOrder{
    0, 1, 2, 3, 4, 5, 6, 9, 10, 11, 12, 13, 7, 8, 34, 35, 31, 32,
    33, 20, 22, 21, 19, 23, 24, 25, 26, 27, 28, 29, 30, 18, 14, 15, 16, 17};
}  // namespace

const std::array<ControlPlacement, kEditorParameterCount>& controlTable() { return kTable; }

const std::array<int, kEditorParameterCount>& creationOrder() { return kCreationOrder; }

}  // namespace skarvel
