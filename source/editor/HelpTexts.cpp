#include "source/editor/HelpTexts.h"

#include <string>

#include "source/SkarvelParameterTable.h"
#include "source/editor/ToolBar.h"

namespace skarvel {

namespace {
constexpr std::string_view B = " ";  // a blank line

const std::array<HelpText, kParameterCount> kParameterHelp{{
    /* 0 */ {"Adjusts noise rate in Hertz", "and the resonator frequency.", B, B, B},
    /* 1 */ {"Adjusts balance between", "LowPass and HiPass filters.", B, B, B},
    /* 2 */ {"Adjusts the amount of", "amplitude modulation", "from osc2.", B, B},
    /* 3 */ {B, B, B, B, B},
    /* 4 */ {"Reduces the high frequencies of both ", "oscillators by amount of interpolation of",
             "the noise waveforms.", B, B},
    /* 5 */ {"Adjusts modulator rate in Hertz", B, B, B, B},
    /* 6 */ {"Adjusts balance between", "LowPass and HiPass filters", B, B, B},
    /* 7 */ {B, B, B, B, B},
    /* 8 */ {B, B, B, B, B},
    /* 9 */ {"Adjusts the resonance gain.", "When this gain is low the comb filter", "effect is very subtle. ", B, B},
    /* 10 */ {"Adjusts the frequency of", "the resonance feedback filters.", B, B, B},
    /* 11 */ {"Adjusts balance between", "LowPass and HiPass filters", "in the comb feedback.", B, B},
    /* 12 */ {"Adjusts the amount of", "frequency modulation", "from osc2.", "Modulates the comb filter.", B},
    /* 13 */ {"Mixes the comb filtered signal with the dry signal", "from the two oscillators.", B, B, B},
    /* 14 */ {"Adjusts the attack time of", "the ADSR envelope.", B, B, B},
    /* 15 */ {"Adjusts the decay time of", "the ADSR envelope.", B, B, B},
    /* 16 */ {"Adjusts the sustain level of", "the ADSR envelope.", B, B, B},
    /* 17 */ {"Adjusts the release time of", "the ADSR envelope.", B, B, B},
    /* 18 */ {B, B, B, B, B},
    /* 19 */ {"Selects if the ADSR is used", "for osc1 level or not.", B, B, B},
    /* 20 */ {"Adjusts the amount of", "ADSR modulation", "to osc1 rate.", B, B},
    /* 21 */ {"Adjusts the amount of", "ADSR modulation", "to osc1 filters balance, when BPmelody is off.",
              "The target changes to the bandpass pitch", "when BPmelody is on. "},
    /* 22 */ {"Adjusts the amount of", "ADSR modulation", "to osc1 AM.", B, B},
    /* 23 */ {"", B, B, B, B},
    /* 24 */ {"", B, B, B, B},
    /* 25 */ {"", B, B, B, B},
    /* 26 */ {"", B, B, B, B},
    /* 27 */ {"", B, B, B, B},
    /* 28 */ {"Turns on the Chorusing Reverb.", B, B, B, B},
    /* 29 */ {"", B, B, B, B},
    /* 30 */ {"", B, B, B, B},
    /* 31 */ {"Adjusts the amount of", "keytracking (negative or positive)", "to osc1 rate, when BPmelody is off.",
              "Adjusts the bandpass width when BPmelody is on.", B},
    /* 32 */ {"Adjusts the amount of", "keytracking (negative or positive)", "to osc1 filters balance.", B, B},
    /* 33 */ {"Adjusts the amount of", "keytracking (negative or positive)", "to osc2 rate.", B, B},
    /* 34 */ {"Activates a bandpass filter", "tuned to the playing notes.", "When this is on the knob on the right",
              "will adjust the bandpass width."},
    /* 35 */ {"Selects the way osc1 rate is applied to", "the resonator frequency.", B, B, B},
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
