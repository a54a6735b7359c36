// The factory preset library as shipped: every file in data/Presets/Factory is read with the
// plug-in's own reader, checked against the design table it is written from, and compared with
// the other presets of its bank; the manual's guide must describe exactly that table.

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
#include "tools/skarvel-audition/PresetGuide.h"

namespace {

using factorytest::factoryLibrary;
using factorytest::LibraryFile;

std::string fileText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(FactoryPresets, LibraryHoldsAtLeast64PresetsInAtLeastEightBanks) {
  std::map<std::string, int> banks;
  for (const LibraryFile& file : factoryLibrary()) {
    EXPECT_FALSE(file.bank.empty()) << file.path << " is not filed in a bank folder";
    ++banks[file.bank];
  }
  EXPECT_GE(factoryLibrary().size(), 64u);
  EXPECT_GE(banks.size(), 8u);
  for (const auto& [bank, count] : banks) EXPECT_GE(count, 4) << "bank \"" << bank << "\" is too small to browse";
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

// Presets in one bank must be worth choosing between: played the same way (the standard phrase
// over each one's keys, and one note of each), two presets differ by at least 2 dB RMS across
// third-octave bands or move differently in time by at least 4 dB RMS of their level contours.
TEST(FactoryPresets, PresetsInABankAreNoNearDuplicates) {
  struct Heard {
    std::string name;
    audition::Measures spectrum;
    audition::Render note;
  };
  std::map<std::string, std::vector<Heard>> banks;
  for (const LibraryFile& file : factoryLibrary()) {
    const audition::Draft* draft = audition::findDraft(file.preset.name);
    ASSERT_NE(draft, nullptr) << file.path;
    audition::Phrase note = audition::Phrase::single(draft->keys.centre(), 1.0, 100);
    note.tail = 2.0;
    banks[file.bank].push_back(
        {file.preset.name,
         audition::measure(audition::render(file.preset.values, audition::Phrase::standard(draft->keys))),
         audition::render(file.preset.values, note)});
  }
  for (const auto& [bank, presets] : banks)
    for (std::size_t i = 0; i < presets.size(); ++i)
      for (std::size_t j = i + 1; j < presets.size(); ++j) {
        const double spectral = audition::spectralDistance(presets[i].spectrum, presets[j].spectrum);
        const double contour = audition::contourDistance(presets[i].note, presets[j].note);
        EXPECT_TRUE(spectral >= 2.0 || contour >= 4.0)
            << bank << ": \"" << presets[i].name << "\" and \"" << presets[j].name << "\" sound alike (spectra "
            << spectral << " dB, contours " << contour << " dB apart)";
      }
}

// What the guide promises is what the design table holds: melodic presets cover at least two
// octaves, every preset says what it sounds like, and the manual carries the guide as written
// from the table (skarvel-audition --write-guide).
TEST(FactoryPresets, TheManualGuideDescribesTheLibrary) {
  for (const audition::Draft& draft : audition::factoryDrafts()) {
    EXPECT_FALSE(draft.sound.empty()) << draft.name;
    if (draft.pitched()) {
      EXPECT_GE(draft.keys.high - draft.keys.low, 24) << draft.name << " plays fewer than two octaves";
    }
  }
  const std::string manual = fileText(SKARVEL_MANUAL);
  const std::string guide = audition::presetGuideIn(manual);
  ASSERT_FALSE(guide.empty()) << "the manual has no preset guide";
  EXPECT_EQ(guide, audition::presetGuideHtml()) << "the guide is out of date: run skarvel-audition --write-guide";
  for (const audition::Draft& draft : audition::factoryDrafts())
    EXPECT_NE(guide.find(">" + std::string(draft.name) + "<"), std::string::npos) << draft.name;
  EXPECT_NE(manual.find("href=\"#guide\""), std::string::npos) << "the contents do not lead to the guide";
}

}  // namespace
