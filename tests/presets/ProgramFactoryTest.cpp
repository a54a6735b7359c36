#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include <locale.h>

#include "Frameworks/PresetManager/PresetValueText.h"
#include "PresetTestSupport.h"
#include "TempFolder.h"
#include "source/SkarvelParameterTable.h"

namespace {

using namespace presets;

std::string documentWith(const std::string& preamble, const std::string& params) {
  return "---\nPreset:\n" + preamble + "Params:\n" + params;
}

const std::string kPreamble = "  product: Skarvel\n  version: 1.0.0\n  format: 1\n  name: Test\n";

TEST(ProgramFactory, DefaultProgramDocumentIsExact) {
  PresetFixture fx;
  std::unique_ptr<Program> program = fx.factory.createProgram();
  program->setName("Init");
  EXPECT_EQ(fx.factory.toYamlText(program.get()), kDefaultDocument);
  EXPECT_EQ(fx.factory.toYamlText(nullptr), "");
}

TEST(ProgramFactory, ValuesAreWrittenWithSixSignificantDigits) {
  const struct {
    float value;
    const char* text;
  } cases[] = {{0.5f, "0.5"}, {1.0f, "1"}, {0.0f, "0"}, {0.731f, "0.731"}, {0.1234567f, "0.123457"},
               {1e-5f, "1e-05"}, {123456789.0f, "1.23457e+08"}, {-0.25f, "-0.25"}};
  for (const auto& c : cases) EXPECT_EQ(formatPresetValue(c.value), c.text) << c.value;
}

TEST(ProgramFactory, ValueTextIsReadAsTheCLocaleAtofDoes) {
  EXPECT_EQ(parsePresetValue("0.5"), 0.5f);
  EXPECT_EQ(parsePresetValue("  +0.25xyz"), 0.25f);
  EXPECT_EQ(parsePresetValue("abc"), 0.0f);
  EXPECT_EQ(parsePresetValue(""), 0.0f);
  EXPECT_FLOAT_EQ(parsePresetValue("1e-3"), 0.001f);
  EXPECT_EQ(parsePresetValue("0,5"), 0.0f);
  EXPECT_TRUE(std::isnan(parsePresetValue("nan")));
  EXPECT_TRUE(std::isinf(parsePresetValue("1e39")));
  EXPECT_EQ(parsePresetValue("1e-60"), 0.0f);
}

#ifndef _WIN32  // POSIX thread locales
TEST(ProgramFactory, NumbersIgnoreADecimalCommaLocaleOnTheCallingThread) {
  // The process locale is never touched; a thread locale is what a host's GUI thread might use.
  const locale_t german = newlocale(LC_ALL_MASK, "de_DE.UTF-8", static_cast<locale_t>(0));
  if (!german) GTEST_SKIP() << "no German locale installed";
  const locale_t previous = uselocale(german);
  const std::string written = formatPresetValue(0.5f);
  const float read = parsePresetValue("0.5");
  uselocale(previous);
  freelocale(german);
  EXPECT_EQ(written, "0.5");
  EXPECT_EQ(read, 0.5f);
}
#endif

TEST(ProgramFactory, FileRoundTripKeepsNameValuesAndPath) {
  TempFolder folder;
  PresetFixture fx;
  for (const std::string name :
       {"Plain", "Pad: warm", "\"Quoted\"", "- dash", "#hash", "Grüße ☃", "'single'", "yes", "1.5",
        "  spaced  ", "tab\there", "a: b: c", "[bracket]", "{brace}", "*star", "&amp", "!bang",
        "%pct", "@at", "`tick`", "|pipe", ">gt", "?q", "~", "null", ""}) {
    std::unique_ptr<Program> program = fx.factory.createProgram();
    program->setName(name);
    program->edit(skarvel::kVelosens, 0.123f);
    program->edit(skarvel::kRateScaleUp, 1e-5f);
    const std::string path = folder / "p.yaml";
    ASSERT_TRUE(fx.factory.savePresetFile(*program, path)) << name;
    std::unique_ptr<Program> back = fx.factory.readPresetFile(path);
    if (name.empty()) {
      EXPECT_EQ(back, nullptr);  // a nameless program cannot be read back
      continue;
    }
    ASSERT_NE(back, nullptr) << name << "\n" << fx.allMessages();
    EXPECT_EQ(back->name(), name);
    EXPECT_EQ(back->filePath(), path);
    EXPECT_FALSE(back->readOnly());
    EXPECT_FALSE(back->edited());
    EXPECT_EQ(back->value(skarvel::kVelosens), 0.123f);
    EXPECT_EQ(back->value(skarvel::kRateScaleUp), 1e-5f);
    EXPECT_EQ(back->value(skarvel::kOsc1), 1.0f);
  }
}

TEST(ProgramFactory, ChunkRoundTripGivesAReadOnlyProgram) {
  PresetFixture fx;
  std::unique_ptr<Program> program = fx.factory.createProgram();
  program->setName("Bells: \"bright\"");
  program->edit(skarvel::kFm, 0.875f);
  const std::string text = fx.factory.toYamlText(program.get());
  std::unique_ptr<Program> back = fx.readText(text);
  ASSERT_NE(back, nullptr) << fx.allMessages();
  EXPECT_EQ(back->name(), "Bells: \"bright\"");
  EXPECT_TRUE(back->readOnly());
  EXPECT_EQ(back->filePath(), "");
  EXPECT_EQ(back->value(skarvel::kFm), 0.875f);
  EXPECT_FALSE(fx.factory.loadingReadOnly());  // restored after the chunk
  EXPECT_EQ(fx.factory.toYamlText(back.get()), text);
}

TEST(ProgramFactory, CompareModeWritesTheInitialValues) {
  PresetFixture fx;
  std::unique_ptr<Program> program = fx.factory.createProgram();
  program->setName("Init");
  program->edit(skarvel::kRate1, 0.9f);
  program->select(VALUE_INITIAL);
  EXPECT_EQ(fx.factory.toYamlText(program.get()), kDefaultDocument);
}

TEST(ProgramFactory, MissingParametersKeepDefaultsAndUnknownKeysAreSilent) {
  PresetFixture fx;
  std::unique_ptr<Program> program =
      fx.readText(documentWith(kPreamble, "  FM: 0.25\n  NoSuchKnob: 0.9\n  fm: 0.75\n"));
  ASSERT_NE(program, nullptr) << fx.allMessages();
  EXPECT_EQ(fx.messages.count(), 0u);
  EXPECT_EQ(program->value(skarvel::kFm), 0.25f);
  EXPECT_EQ(program->value(skarvel::kVelosens), 0.731f);
  EXPECT_EQ(program->name(), "Test");
}

TEST(ProgramFactory, OddValuesLoadAsAtofReadsThem) {
  PresetFixture fx;
  std::unique_ptr<Program> program = fx.readText(documentWith(
      kPreamble, "  Rate1: abc\n  Rate2: 1e-3\n  Level: nan\n  AM: 1e39\n  Osc1: -7\n  Osc2: ''\n"));
  ASSERT_NE(program, nullptr) << fx.allMessages();
  EXPECT_EQ(program->value(skarvel::kRate1), 0.0f);
  EXPECT_FLOAT_EQ(program->value(skarvel::kRate2), 0.001f);
  EXPECT_TRUE(std::isnan(program->value(skarvel::kLevel)));
  EXPECT_TRUE(std::isinf(program->value(skarvel::kAm)));
  EXPECT_EQ(program->value(skarvel::kOsc1), -7.0f);  // never clamped
  EXPECT_EQ(program->value(skarvel::kOsc2), 0.0f);
}

TEST(ProgramFactory, PreambleNeedsNameAndFormat) {
  const struct {
    const char* preamble;
    std::vector<std::string> errors;
    bool ok;
  } cases[] = {
      {"  format: anything\n  name: X\n", {}, true},
      {"  format: 1\n", {"    Missing name for Program theme"}, false},
      {"  name: X\n", {"    Missing format for Program theme"}, false},
      {"  name: X\n  format: ''\n", {"    Missing format for Program theme"}, false},
      {"  product: Skarvel\n",
       {"    Missing name for Program theme", "    Missing format for Program theme"}, false},
  };
  for (const auto& c : cases) {
    PresetFixture fx;
    std::unique_ptr<Program> program = fx.readText(documentWith(c.preamble, "  FM: 0.1\n"));
    EXPECT_EQ(program != nullptr, c.ok) << c.preamble;
    std::vector<std::string> found;
    for (const std::string& line : fx.messages.lines())
      if (line.rfind("    Missing", 0) == 0) found.push_back(line);
    EXPECT_EQ(found, c.errors) << c.preamble;
    EXPECT_EQ(fx.messages.count(), 3 * c.errors.size()) << fx.allMessages();
  }
}

TEST(ProgramFactory, MalformedDocumentsYieldNoProgram) {
  const std::string good = documentWith(kPreamble, "  FM: 0.1\n");
  const struct {
    std::string text;
    std::string lastLine;
  } cases[] = {
      {"", "    Incorrect structure of the configuration data in the file"},
      {"\xEF\xBB\xBF" + good, ""},  // a byte-order mark is accepted by the reader itself
      {"---\nPresets:\n" + kPreamble + "Params:\n  FM: 0.1\n", "    Invalid keyword"},
      {"---\nPreset:\n" + kPreamble + "params:\n  FM: 0.1\n", "    Invalid keyword"},
      {"---\nPreset:\n" + kPreamble + "Params:\n  FM: [1]\n", "    Expected a scalar value"},
      {"---\nPreset:\n" + kPreamble + "Params:\n  [FM]: 1\n", "    Expected a scalar key"},
      {"---\nPreset:\n" + kPreamble + "Params:\n  FM: 1\nMore: 2\n",
       "    Incorrect structure of the configuration data in the file"},
      {"---\n- a\n- b\n", "    Incorrect structure of the configuration data in the file"},
      {"---\nPreset:\n" + kPreamble + "Params: 7\n",
       "    Incorrect structure of the configuration data in the file"},
  };
  for (const auto& c : cases) {
    PresetFixture fx;
    std::unique_ptr<Program> program = fx.readText(c.text);
    if (c.lastLine.empty()) {
      EXPECT_NE(program, nullptr) << c.text << fx.allMessages();
      continue;
    }
    EXPECT_EQ(program, nullptr) << c.text;
    ASSERT_GT(fx.messages.count(), 0u) << c.text;
    EXPECT_EQ(fx.messages.lines().back(), c.lastLine) << c.text;
    EXPECT_EQ(fx.messages.line(0), "Preset format error in host chunk");
  }
}

TEST(ProgramFactory, ASecondDocumentAfterTheFirstIsIgnored) {
  PresetFixture fx;
  std::unique_ptr<Program> program =
      fx.readText(documentWith(kPreamble, "  FM: 0.1\n") + "---\nPreset:\n  name: Other\n");
  ASSERT_NE(program, nullptr) << fx.allMessages();
  EXPECT_EQ(program->name(), "Test");
}

TEST(ProgramFactory, UnreadableFileIsReportedWithItsPath) {
  TempFolder folder;
  PresetFixture fx;
  const std::string path = folder / "absent.yaml";
  EXPECT_EQ(fx.factory.readPresetFile(path), nullptr);
  EXPECT_EQ(fx.messages.lines(), std::vector<std::string>{"Failed to open file " + path});
  const std::string empty = folder.write("empty.yaml", "");
  EXPECT_EQ(fx.factory.readPresetFile(empty), nullptr);
  EXPECT_EQ(fx.messages.line(1), "Preset format error in " + empty);
}

TEST(ProgramFactory, SaveNeverTruncatesOnEmitFailure) {
  TempFolder folder;
  PresetFixture fx;
  const std::string path = folder.write("keep.yaml", kDefaultDocument);
  std::unique_ptr<Program> program = fx.factory.createProgram();
  program->setName("bad \xff name");  // not UTF-8: the emitter refuses it
  EXPECT_FALSE(fx.factory.savePresetFile(*program, path));
  EXPECT_EQ(TempFolder::read(path), kDefaultDocument);
  ASSERT_EQ(fx.messages.count(), 1u);
  EXPECT_EQ(fx.messages.line(0).rfind("Error creating YAML representation for program bad ", 0), 0u);
  EXPECT_NE(fx.messages.line(0).find("; emitter error: "), std::string::npos);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()),
                          std::filesystem::directory_iterator()), 1);
}

TEST(ProgramFactory, SaveIntoAMissingFolderIsReportedAndCreatesNothing) {
  TempFolder folder;
  PresetFixture fx;
  std::unique_ptr<Program> program = fx.factory.createProgram();
  program->setName("Lost");
  const std::string path = folder / "gone/Lost.yaml";
  EXPECT_FALSE(fx.factory.savePresetFile(*program, path));
  EXPECT_EQ(fx.messages.lines(),
            std::vector<std::string>{"Failed to create preset file " + path + " for program Lost"});
}

TEST(ProgramFactory, SaveReplacesTheFileAndKeepsItsPermissions) {
  TempFolder folder;
  PresetFixture fx;
  const std::string path = folder.write("p.yaml", "old text that is longer than nothing");
  std::filesystem::permissions(path, std::filesystem::perms(0640));
  std::unique_ptr<Program> program = fx.factory.createProgram();
  program->setName("Init");
  ASSERT_TRUE(fx.factory.savePresetFile(*program, path));
  EXPECT_EQ(TempFolder::read(path), kDefaultDocument);
#ifndef _WIN32  // Windows files carry attributes, not modes
  EXPECT_EQ(std::filesystem::status(path).permissions(), std::filesystem::perms(0640));
#endif
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()),
                          std::filesystem::directory_iterator()), 1);
}

TEST(ProgramFactory, SetNameAndValuesFollowsTheSlotMap) {
  PresetFixture fx;
  std::unique_ptr<Program> program = fx.factory.createProgram();
  fx.factory.setNameAndValues("Old", {0.1f, 0.2f, 0.3f}, {skarvel::kFm, -1, skarvel::kRate1});
  EXPECT_EQ(program->name(), "Old");
  EXPECT_EQ(program->value(skarvel::kFm), 0.1f);
  EXPECT_EQ(program->value(skarvel::kRate1), 0.3f);
  EXPECT_EQ(program->value(skarvel::kAm), 0.5f);
  EXPECT_FALSE(program->edited());
}

TEST(ProgramFactory, SetParameterOnlyKnowsPresetKeys) {
  PresetFixture fx;
  std::unique_ptr<Program> program = fx.factory.createProgram();
  EXPECT_TRUE(fx.factory.setParameter("BPMelody", 1.0f));
  EXPECT_FALSE(fx.factory.setParameter("bpmelody", 1.0f));
  EXPECT_EQ(program->value(skarvel::kBpMelody), 1.0f);
  fx.factory.setLoadingReadOnly(true);
  EXPECT_TRUE(fx.factory.createProgram()->readOnly());
}

}  // namespace
