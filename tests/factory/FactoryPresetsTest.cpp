// The factory preset library as shipped: every file in data/Presets/Factory is read with the
// plug-in's own reader and played through the engine.

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "source/SkarvelParameterTable.h"
#include "tests/factory/FactoryLibrary.h"
#include "tools/skarvel-audition/Audition.h"
#include "tools/skarvel-audition/FactoryDrafts.h"
#include "tools/skarvel-audition/PresetFiles.h"

namespace {

using factorytest::factoryLibrary;
using factorytest::LibraryFile;

std::string fileText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

double decibels(double x) { return 20.0 * std::log10(std::max(x, 1e-12)); }

// Seconds after the last release by which a preset must be silent and the engine asleep. Pads and
// drones may ring out longer in their reverb; everything else well within a few seconds.
double sleepLimit(const std::string& bank) { return bank == "Pads & Drones" ? 10.0 : 6.0; }

TEST(FactoryPresets, LibraryHoldsAtLeast24PresetsInAtLeastFourBanks) {
  std::map<std::string, int> banks;
  for (const LibraryFile& file : factoryLibrary()) {
    EXPECT_FALSE(file.bank.empty()) << file.path << " is not filed in a bank folder";
    ++banks[file.bank];
  }
  EXPECT_GE(factoryLibrary().size(), 24u);
  EXPECT_GE(banks.size(), 4u);
  for (const auto& [bank, count] : banks) EXPECT_GE(count, 3) << "bank \"" << bank << "\" is too small to browse";
}

TEST(FactoryPresets, EveryPresetLoadsWithoutAMessage) {
  for (const LibraryFile& file : factoryLibrary()) {
    EXPECT_TRUE(file.loaded) << file.path;
    for (const std::string& line : file.messages) ADD_FAILURE() << file.path << ": " << line;
  }
}

// The reader ignores unknown keys and gives missing ones their defaults, so a misspelt key would
// load silently with the wrong sound; every file must name each parameter exactly once.
TEST(FactoryPresets, EveryPresetGivesEachParameterOnceWithinItsRange) {
  for (const LibraryFile& file : factoryLibrary()) {
    std::istringstream text(fileText(file.path));
    std::string line;
    bool inParams = false;
    std::multiset<std::string> keys;
    while (std::getline(text, line)) {
      if (line == "Params:") {
        inParams = true;
      } else if (inParams && line.rfind("  ", 0) == 0) {
        keys.insert(line.substr(2, line.find(':') - 2));
      } else {
        inParams = false;
      }
    }
    for (const auto& entry : skarvel::kParameterTable)
      EXPECT_EQ(keys.count(std::string(entry.name)), 1u) << file.path << ": " << entry.name;
    EXPECT_EQ(keys.size(), static_cast<std::size_t>(skarvel::kParameterCount)) << file.path;
    for (int id = 0; id < skarvel::kParameterCount; ++id) {
      const float value = file.preset.values[id];
      EXPECT_TRUE(value >= 0.0f && value <= 1.0f) << file.path << ": " << skarvel::kParameterTable[id].name << " = " << value;
    }
  }
}

TEST(FactoryPresets, NamesAreUniqueAndMatchTheirFiles) {
  std::set<std::string> names;
  for (const LibraryFile& file : factoryLibrary()) {
    EXPECT_FALSE(file.preset.name.empty()) << file.path;
    EXPECT_TRUE(names.insert(file.preset.name).second) << "two presets are called \"" << file.preset.name << "\"";
    EXPECT_EQ(file.path.stem().string(), audition::presetFileName(file.preset.name)) << file.path;
  }
}

// The files are the plug-in writer's own output, so saving a factory preset unchanged as a user
// preset gives the same text, and hand edits cannot slip in a format the writer would not produce.
TEST(FactoryPresets, FilesAreExactlyWhatThePluginWrites) {
  for (const LibraryFile& file : factoryLibrary())
    EXPECT_EQ(fileText(file.path), audition::presetText(file.preset.name, file.preset.values)) << file.path;
}

// The shipped files are written from the design table of skarvel-audition; a draft changed
// without writing the library again (or a file added or edited by hand) shows up here.
TEST(FactoryPresets, FilesMatchTheDesignTable) {
  std::set<std::filesystem::path> files;
  for (const LibraryFile& file : factoryLibrary()) files.insert(file.path);
  for (const audition::Draft& draft : audition::factoryDrafts()) {
    const auto path = std::filesystem::path(SKARVEL_FACTORY_PRESET_FOLDER) / std::string(draft.bank) /
                      (audition::presetFileName(draft.name) + ".yaml");
    ASSERT_TRUE(files.erase(path)) << path << " is missing";
    EXPECT_EQ(fileText(path), audition::presetText(std::string(draft.name), draft.values())) << path;
  }
  for (const auto& path : files) ADD_FAILURE() << path << " has no draft";
}

// Ordinary playing, a fortissimo six-note chord and single notes from C1 to C8 (the loud two also
// at 96 kHz, where the rate-bound resonances and filters move): the output is finite, audible,
// below full scale, and falls to exact silence with the engine asleep soon after the last key is
// let go. One test per preset, so they run side by side.
class FactoryPresetSound : public testing::TestWithParam<std::size_t> {};

TEST_P(FactoryPresetSound, PlaysCleanlyAndFallsAsleep) {
  const LibraryFile& file = factoryLibrary()[GetParam()];
  ASSERT_TRUE(file.loaded) << file.path;
  for (double rate : {44100.0, 96000.0}) {
    for (const auto& [label, phrase] : {std::pair{"standard phrase", audition::Phrase::standard()},
                                        std::pair{"loud chord", audition::Phrase::loudChord()},
                                        std::pair{"keyboard range", audition::Phrase::range()}}) {
      if (rate > 44100.0 && label == std::string("standard phrase")) continue;  // loud playing only
      SCOPED_TRACE(file.preset.name + ", " + label + " at " + std::to_string(static_cast<int>(rate)) + " Hz");
      audition::Phrase played = phrase;
      played.tail = sleepLimit(file.bank) + 0.5;
      const audition::Render render = audition::render(file.preset.values, played, rate);
      const audition::Measures m = audition::measure(render);
      ASSERT_TRUE(m.finite);
      EXPECT_LT(m.peak, 1.0f) << "peak " << decibels(m.peak) << " dBFS";
      EXPECT_GT(decibels(m.peak), -30.0) << "barely audible";
      EXPECT_GT(decibels(m.heldRms), -50.0) << "barely audible while keys are held";
      ASSERT_GE(render.sleepTime, 0.0) << "the engine never went to sleep";
      EXPECT_LE(render.sleepTime, sleepLimit(file.bank));
      for (std::size_t i = render.sleepFrame; i < render.left.size(); ++i)
        if (render.left[i] != 0.0f || render.right[i] != 0.0f) {
          ADD_FAILURE() << "sound after the engine fell asleep, at " << i / render.sampleRate << " s";
          break;
        }
    }
  }
}

std::string presetTestName(const testing::TestParamInfo<std::size_t>& info) {
  std::string name;
  for (char c : factoryLibrary()[info.param].path.stem().string())
    if (std::isalnum(static_cast<unsigned char>(c))) name += c;
  return name;  // preset names are unique, which NamesAreUniqueAndMatchTheirFiles holds them to
}

INSTANTIATE_TEST_SUITE_P(EveryFactoryPreset, FactoryPresetSound,
                         testing::Range<std::size_t>(0, factoryLibrary().size()), presetTestName);

// Presets in one bank must be worth choosing between: played the same way, their spectra (third-
// octave band levels) differ by at least 2 dB RMS.
TEST(FactoryPresets, PresetsInABankSoundDifferent) {
  std::map<std::string, std::vector<std::pair<std::string, audition::Measures>>> banks;
  for (const LibraryFile& file : factoryLibrary())
    banks[file.bank].emplace_back(file.preset.name,
                                  audition::measure(audition::render(file.preset.values, audition::Phrase::standard())));
  for (const auto& [bank, presets] : banks)
    for (std::size_t i = 0; i < presets.size(); ++i)
      for (std::size_t j = i + 1; j < presets.size(); ++j)
        EXPECT_GE(audition::spectralDistance(presets[i].second, presets[j].second), 2.0)
            << bank << ": \"" << presets[i].first << "\" and \"" << presets[j].first << "\" sound alike";
}

}  // namespace
