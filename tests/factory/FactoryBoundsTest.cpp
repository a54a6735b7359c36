// Every shipped factory preset, read with the plug-in's own reader, played through the engine and
// held to the library's bounds: level on target, fortissimo chords below full scale, every note
// of a chord progression sounding, the first note after loading like the later ones, repeated
// notes alike, mono-compatible without flams, silent soon after the last key, the same at 48 and
// 96 kHz, an audible velocity response where the guide promises one, and in tune over the keys
// the guide gives. One test per preset, so ctest runs them side by side.

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <sstream>
#include <string>

#include "tests/factory/FactoryLibrary.h"
#include "tools/skarvel-audition/Bounds.h"
#include "tools/skarvel-audition/FactoryDrafts.h"

namespace {

using factorytest::factoryLibrary;
using factorytest::LibraryFile;

std::string figures(const audition::Assessment& a) {
  std::ostringstream text;
  text.precision(3);
  text << "loudness " << a.loudness << " LUFS (48 kHz " << a.rateLoudness[0] << ", 96 kHz " << a.rateLoudness[1]
       << "), peak " << a.peak << " dBFS, chord " << a.chordTruePeak << " dBTP, keyboard " << a.keyboardPeak
       << " dBFS, lost notes " << a.lostNotes << ", chord drop " << a.chordDrop << " dB, first note " << a.firstNote
       << " dB, repeats " << a.strikeSpread << " dB, mono loss " << a.monoLoss << " LU, balance " << a.balance
       << " dB, flam " << a.flam * 1000.0 << " ms, sleep " << a.sleepTime << " s, velocity " << a.velocityRange
       << " dB / " << a.velocityTimbre << " dB, cents " << a.lowestCents << ".." << a.highestCents;
  return text.str();
}

class FactoryPresetBounds : public testing::TestWithParam<std::size_t> {};

TEST_P(FactoryPresetBounds, KeepsTheLibraryBounds) {
  const LibraryFile& file = factoryLibrary()[GetParam()];
  ASSERT_TRUE(file.loaded) << file.path;
  const audition::Draft* draft = audition::findDraft(file.preset.name);
  ASSERT_NE(draft, nullptr) << file.path << " has no entry in the design table";

  // The file's values, not the table's: this is what the plug-in plays.
  const audition::Assessment a = audition::assess(*draft, file.preset.values);
  for (const std::string& line : audition::violations(*draft, a)) ADD_FAILURE() << file.preset.name << ": " << line;
  if (HasFailure()) ADD_FAILURE() << figures(a);
  if (draft->pitched()) {
    EXPECT_FALSE(a.pitches.empty()) << "no pitch was measured";
  }
}

std::string presetTestName(const testing::TestParamInfo<std::size_t>& info) {
  std::string name;
  for (char c : factoryLibrary()[info.param].path.stem().string())
    if (std::isalnum(static_cast<unsigned char>(c))) name += c;
  return name;  // preset names are unique (FactoryPresets.NamesAreUniqueAndMatchTheirFiles)
}

INSTANTIATE_TEST_SUITE_P(EveryFactoryPreset, FactoryPresetBounds,
                         testing::Range<std::size_t>(0, factoryLibrary().size()), presetTestName);

}  // namespace
