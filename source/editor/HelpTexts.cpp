#include "source/editor/HelpTexts.h"

#include <string>

#include "source/SkarvelParameterTable.h"
#include "source/editor/ToolBar.h"

namespace skarvel {

namespace {
constexpr std::string_view B = " ";  // a blank line

const std::array<HelpText, kParameterCount> kParameterHelp{{
    /* kRate1 */ {"Adjusts noise rate in Hertz", "and the resonator frequency.", B, B, B},
    /* kLpHp1 */ {"Adjusts balance between", "LowPass and HiPass filters.", B, B, B},
    /* kAm */ {"Adjusts the amount of", "amplitude modulation", "from osc2.", B, B},
    /* kLevel */ {B, B, B, B, B},
    /* kSmooth */ {"Reduces the high frequencies of both ", "oscillators by amount of interpolation of",
             "the noise waveforms.", B, B},
    /* kRate2 */ {"Adjusts modulator rate in Hertz", B, B, B, B},
    /* kLpHp2 */ {"Adjusts balance between", "LowPass and HiPass filters", B, B, B},
    /* kOsc1 */ {B, B, B, B, B},
    /* kOsc2 */ {B, B, B, B, B},
    /* kResoAmnt */ {"Adjusts the resonance gain.", "When this gain is low the comb filter",
                     "effect is very subtle. ", B, B},
    /* kCombFilter */ {"Adjusts the frequency of", "the resonance feedback filters.", B, B, B},
    /* kLpHp3 */ {"Adjusts balance between", "LowPass and HiPass filters", "in the comb feedback.", B, B},
    /* kFm */ {"Adjusts the amount of", "frequency modulation", "from osc2.", "Modulates the comb filter.", B},
    /* kDryWet */ {"Mixes the comb filtered signal with the dry signal", "from the two oscillators.", B, B, B},
    /* kAttack1 */ {"Adjusts the attack time of", "the ADSR envelope.", B, B, B},
    /* kDecay1 */ {"Adjusts the decay time of", "the ADSR envelope.", B, B, B},
    /* kSustain1 */ {"Adjusts the sustain level of", "the ADSR envelope.", B, B, B},
    /* kRelease1 */ {"Adjusts the release time of", "the ADSR envelope.", B, B, B},
    /* kVelosens */ {B, B, B, B, B},
    /* kAdsr2Level */ {"Selects if the ADSR is used", "for osc1 level or not.", B, B, B},
    /* kAdsr2Rate1 */ {"Adjusts the amount of", "ADSR modulation", "to osc1 rate.", B, B},
    /* kAdsr2LpHp1 */ {"Adjusts the amount of", "ADSR modulation", "to osc1 filters balance, when BPmelody is off.",
              "The target changes to the bandpass pitch", "when BPmelody is on. "},
    /* kAdsr2Am */ {"Adjusts the amount of", "ADSR modulation", "to osc1 AM.", B, B},
    /* kEqLpFreq */ {"", B, B, B, B},
    /* kEqHpFreq */ {"", B, B, B, B},
    /* kQFilters */ {"", B, B, B, B},
    /* kReverbSize */ {"", B, B, B, B},
    /* kReverbMix */ {"", B, B, B, B},
    /* kReverbOn */ {"Turns on the Chorusing Reverb.", B, B, B, B},
    /* kGainOut */ {"", B, B, B, B},
    /* kStrEnh */ {"", B, B, B, B},
    /* kKt2Rate1 */ {"Adjusts the amount of", "keytracking (negative or positive)",
                     "to osc1 rate, when BPmelody is off.", "Adjusts the bandpass width when BPmelody is on.", B},
    /* kKt2LpHp1 */ {"Adjusts the amount of", "keytracking (negative or positive)", "to osc1 filters balance.", B, B},
    /* kKt2Rate2 */ {"Adjusts the amount of", "keytracking (negative or positive)", "to osc2 rate.", B, B},
    /* kBpMelody */ {"Activates a bandpass filter", "tuned to the playing notes.",
                     "When this is on the knob on the right", "will adjust the bandpass width."},
    /* kRateScaleUp */ {"Selects the way osc1 rate is applied to", "the resonator frequency.", B, B, B},
}};
}  // namespace

namespace help {
const HelpText kGeneral{"Use Shift + Click", "to fine tune the sliders or the knobs.", "Use Ctrl + Click ",
                        "to set the default value. ", "Adjusting box sliders diagonally increases speed."};
const HelpText kSizeMenu{"Changes the size of the GUI.", "Some DAWs may need you to close",
                         "and reopen the GUI after that.", B, B};
// The web site line names the site the options menu's first entry opens.
const std::string kWebSiteLine = std::string("visit ") + ToolBar::kWebSiteName + ",";
const HelpText kOptionsMenu{"Find here various options:", kWebSiteLine,
                            "display the About box and open the HTML manual,", "open the preset folder,",
                            "refresh the colours if you updated the GUI files."};
const HelpText kPeakMeters{"Click on bars", "to reset the peak indicators.", B, B, B};
const HelpText kOscilloscope{"The oscilloscope can be zoomed", "horizontally using the small slider in the middle.",
                             "The left channel is monitored.", B, B};
const HelpText kAppearanceRegion{"Click here to select the appearance,", "colour schemes.", B, B, B};
const HelpText kManualRegion{"Click here to open the HTML manual in your browser.", B, B, B, B};
const HelpText kTargetMenu{"Selects the target.", B, B, B, B};
const HelpText kBankMenu{"Selects the bank: a list of factory or user presets.",
                         "Choosing a bank loads its first preset.",
                         "The arrows below step to the previous or next bank.", B, B};
const HelpText kPresetMenu{"Selects a preset of the chosen bank.",
                           "The arrows below step to the previous or next preset.",
                           "\"compare\" turns red once the preset is edited;",
                           "click it to hear the stored values.", B};
}  // namespace help

const HelpText& parameterHelp(int id) {
  if (id < 0 || id >= static_cast<int>(kParameterHelp.size())) return help::kGeneral;
  return kParameterHelp[static_cast<std::size_t>(id)];
}

}  // namespace skarvel
