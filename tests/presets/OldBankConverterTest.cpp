#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "Frameworks/PresetManager/OldBankConverter.h"
#include "Frameworks/PresetManager/PresetManager.h"
#include "PresetTestSupport.h"
#include "TempFolder.h"

namespace {

using namespace presets;
namespace fs = std::filesystem;

struct ConversionFixture : PresetFixture {
  TempFolder root;
  std::string userFolder = root.path() + "/User/";
  PresetManager manager{factory, PresetFolders{root.path() + "/Factory/", userFolder}};
  MessageList report;

  ConversionFixture() {
    fs::create_directories(userFolder);
    manager.loadAll();
  }
  std::vector<std::string> convert(const OldBankLayout& layout, const std::vector<int>& map,
                                   const std::string& path) {
    report = MessageList();
    OldBankConverter(factory, manager, layout, map).convert(path, report);
    return report.lines();
  }
  std::string file(const std::string& name, std::size_t size) {
    return root.write(name, std::string(size, '\0'));
  }
};

std::vector<std::string> header(const std::string& path) {
  return {"Converting presets from the selected file:", "    " + path};
}

std::vector<std::string> with(std::vector<std::string> lines, const std::vector<std::string>& more) {
  lines.insert(lines.end(), more.begin(), more.end());
  return lines;
}

// One old record: 24-byte name field, then little-endian floats.
std::string record(const std::string& name, const std::vector<float>& values, std::size_t extra = 0) {
  std::string bytes(24, '\0');
  std::memcpy(bytes.data(), name.data(), std::min<std::size_t>(name.size(), 24));
  for (const float value : values) {
    std::uint32_t word;
    std::memcpy(&word, &value, 4);
    for (int k = 0; k < 4; ++k) bytes.push_back(static_cast<char>((word >> (8 * k)) & 0xFF));
  }
  return bytes + std::string(extra, '\0');
}

TEST(OldBankConverter, ThisInstrumentsEmptyLayoutRecognisesOnlyHeaders) {
  ConversionFixture fx;
  const OldBankLayout none;
  const std::vector<std::string> unrecognised{"Could not recognise the format of the data in the file."};
  const std::vector<std::string> nothing{"No presets were converted."};
  for (const auto& [name, size, expected] :
       std::vector<std::tuple<std::string, std::size_t, std::vector<std::string>>>{
           {"a.fxb", 160, nothing}, {"a.fxp", 60, nothing}, {"a.fxb", 161, unrecognised},
           {"a.fxp", 59, unrecognised}, {"a.bnk", 160, unrecognised}, {"a.bnk", 1, unrecognised},
           {"a.FXB", 160, unrecognised}, {"a.txt", 160, unrecognised}, {"fxb", 160, nothing}}) {
    const std::string path = fx.file(name, size);
    EXPECT_EQ(fx.convert(none, {}, path), with(header(path), expected)) << name << " " << size;
  }
}

TEST(OldBankConverter, UnreadableOrEmptyFilesReadNothing) {
  ConversionFixture fx;
  for (const std::string& path : {fx.root / "missing.fxb", fx.file("empty.fxb", 0), fx.root.path()}) {
    EXPECT_EQ(fx.convert({}, {}, path), with(header(path), {"Could not read anything from the selected file."}));
  }
}

// W=2 programs, T=3 old parameters, U=4 header bytes per parameter, V=24 bytes besides the
// values (the name), so R = 36; old slot 1 has no new parameter.
const OldBankLayout kLayout{2, 3, 4, 24};
const std::vector<int> kMap{12, -1, 0};  // FM, none, Rate1

TEST(OldBankConverter, ABankBecomesUserPresetsWithMappedValues) {
  ConversionFixture fx;
  const std::string data = record("Warm Pad", {0.25f, 0.9f, 0.125f}) + record("Bell", {1.0f, 0.0f, 0.75f});
  const std::string fxb = fx.root.write("old.fxb", std::string(160 + 12, 'h') + data);
  EXPECT_EQ(fx.convert(kLayout, kMap, fxb),
            with(header(fxb), {"Converting preset named: Warm Pad", "Converting preset named: Bell",
                               "Presets saved to the user presets directory: " + fx.userFolder,
                               "2 presets were converted and saved as user presets."}));
  const std::vector<Program*> users = fx.manager.programsInList(kUserPresetsList);
  ASSERT_EQ(users.size(), 2u);
  EXPECT_EQ(users[0]->name(), "Warm Pad");
  EXPECT_EQ(users[0]->value(12), 0.25f);
  EXPECT_EQ(users[0]->value(0), 0.125f);
  EXPECT_EQ(users[0]->value(1), 0.5f);  // unmapped parameters keep their defaults
  EXPECT_FALSE(users[0]->readOnly());
  EXPECT_EQ(users[0]->filePath(), fx.userFolder + "Warm Pad.yaml");
  EXPECT_EQ(fx.manager.currentProgramName(), "Init");  // converted presets are not made current
  std::unique_ptr<Program> saved = fx.factory.readPresetFile(fx.userFolder + "Bell.yaml");
  ASSERT_NE(saved, nullptr);
  EXPECT_EQ(saved->value(0), 0.75f);

  // The same bank again: every preset exists already.
  EXPECT_EQ(fx.convert(kLayout, kMap, fxb),
            with(header(fxb), {"Skipping preset with existing user preset name: Warm Pad",
                               "Skipping preset with existing user preset name: Bell",
                               "2 presets were skipped.", "No presets were converted."}));
  EXPECT_EQ(fx.manager.programsInList(kUserPresetsList).size(), 2u);
}

TEST(OldBankConverter, SingleProgramsAndCustomBanks) {
  ConversionFixture fx;
  const std::string fxp = fx.root.write("one.fxp", std::string(60, 'h') + record("Solo", {0.5f, 0.5f, 0.5f}));
  EXPECT_EQ(fx.convert(kLayout, kMap, fxp),
            with(header(fxp), {"Converting preset named: Solo",
                               "Presets saved to the user presets directory: " + fx.userFolder,
                               "1 preset was converted and saved as a user preset."}));
  // A custom bank with its parameter header, and one without.
  const std::string withHeader =
      fx.root.write("a.bnk", std::string(12, 'h') + record("B1", {0, 0, 0}) + record("B2", {0, 0, 0}));
  EXPECT_EQ(fx.convert(kLayout, kMap, withHeader)[2], "Converting preset named: B1");
  const std::string bare = fx.root.write("b.bnk", record("C1", {0, 0, 0}) + record("C2", {0, 0, 0}));
  EXPECT_EQ(fx.convert(kLayout, kMap, bare)[3], "Converting preset named: C2");
  EXPECT_EQ(fx.manager.programsInList(kUserPresetsList).size(), 5u);
}

TEST(OldBankConverter, NamesAreBoundedAndMadeUtf8) {
  ConversionFixture fx;
  // A name field without a terminator stops at 24 bytes; an 8-bit name becomes UTF-8.
  const std::string full(24, 'N');
  const std::string data = record(full, {0, 0, 0}) + record("Caf\xE9", {0, 0, 0});
  const std::string fxb = fx.root.write("names.fxb", std::string(172, 'h') + data);
  const std::vector<std::string> lines = fx.convert(kLayout, kMap, fxb);
  EXPECT_EQ(lines[2], "Converting preset named: " + full);
  EXPECT_EQ(lines[3], "Converting preset named: Caf\u00E9");
  EXPECT_TRUE(fs::exists(fx.userFolder + "Caf@@.yaml"));
  EXPECT_EQ(fx.factory.readPresetFile(fx.userFolder + "Caf@@.yaml")->name(), "Caf\u00E9");
}

TEST(OldBankConverter, ARecordLongerThanTheDataReadsNoFurther) {
  // A map with more slots than the layout's record holds: the last record runs past the end
  // of the file, and what lies beyond reads as zero.
  ConversionFixture fx;
  const OldBankLayout layout{1, 0, 0, 24};  // R = 24: only the name
  const std::string fxp = fx.root.write("short.fxp", std::string(60, 'h') + record("Cut", {}));
  const std::vector<std::string> lines = fx.convert(layout, {12, 0}, fxp);
  EXPECT_EQ(lines[2], "Converting preset named: Cut");
  const std::vector<Program*> users = fx.manager.programsInList(kUserPresetsList);
  ASSERT_EQ(users.size(), 1u);
  EXPECT_EQ(users[0]->value(12), 0.0f);
}

TEST(OldBankConverter, AFailedSaveKeepsTheProgramWithoutAFile) {
  ConversionFixture fx;
  fs::remove_all(fx.userFolder);
  const std::string fxp = fx.root.write("one.fxp", std::string(60, 'h') + record("Lost", {0, 0, 0}));
  EXPECT_EQ(fx.convert(kLayout, kMap, fxp)[3], "Presets saved to the user presets directory: " + fx.userFolder);
  const std::vector<Program*> users = fx.manager.programsInList(kUserPresetsList);
  ASSERT_EQ(users.size(), 1u);
  EXPECT_EQ(users[0]->filePath(), "");
  EXPECT_NE(fx.allMessages().find("Failed to create preset file"), std::string::npos);
}

}  // namespace
