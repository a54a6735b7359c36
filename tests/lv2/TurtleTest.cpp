// The description writer: what it writes must read back exactly (strings and numbers through a
// real Turtle reader), and names that would collide must not.

#include <cmath>
#include <cstdlib>
#include <random>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <serd/serd.h>

#include "Frameworks/Core/Parameters.h"
#include "Frameworks/Core/PluginDescription.h"
#include "lv2/Lv2Ports.h"
#include "lv2/Turtle.h"

namespace {

// The object of the one triple in `document`, as a Turtle reader sees it.
std::string readObject(const std::string& document) {
  std::string object;
  auto sink = [](void* handle, SerdStatementFlags, const SerdNode*, const SerdNode*, const SerdNode*,
                 const SerdNode* o, const SerdNode*, const SerdNode*) {
    static_cast<std::string*>(handle)->assign(reinterpret_cast<const char*>(o->buf), o->n_bytes);
    return SERD_SUCCESS;
  };
  SerdReader* reader = serd_reader_new(SERD_TURTLE, &object, nullptr, nullptr, nullptr, sink, nullptr);
  const SerdStatus status = serd_reader_read_string(reader, reinterpret_cast<const std::uint8_t*>(document.c_str()));
  serd_reader_free(reader);
  return status == SERD_SUCCESS ? object : "<unreadable>";
}

TEST(TurtleTest, StringsReadBackByteForByte) {
  const std::vector<std::string> texts = {
      "---\nPreset:\n  name: \"Quoted\" \\ back\\slash\n",
      "tab\there, return\r\nand a bell \x07 and \x1f",
      "\u00ABProject presets\u00BB: caf\u00E9 \xE2\x88\x9E",
      "",
      "ends in a backslash \\",
  };
  for (const std::string& text : texts)
    EXPECT_EQ(readObject("<urn:s> <urn:p> " + lv2::turtleString(text) + " ."), text) << lv2::turtleString(text);
}

TEST(TurtleTest, DecimalsReadBackAsTheSameFloat) {
  std::vector<float> values = {0.0f, 1.0f, 0.5f, 0.731f, 0.1f, 1e-7f, 0.27027026f, -0.25f, 3.7f, 12345.678f};
  std::mt19937 random(7);
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  for (int i = 0; i < 5000; ++i) values.push_back(unit(random));
  for (const float value : values) {
    const std::string text = lv2::turtleDecimal(value);
    // A decimal point makes it an xsd:decimal, never an integer.
    EXPECT_NE(text.find('.'), std::string::npos) << text;
    EXPECT_EQ(std::strtof(readObject("<urn:s> <urn:p> " + text + " .").c_str(), nullptr), value) << text;
  }
}

class TurtleFilesTest : public testing::Test {
 protected:
  void SetUp() override {
    description.parameterCount = 3;
    description.effectName = "Test by Maker";
    description.vendorUrl = "https://maker.example/";
    inputs.description = &description;
    inputs.registry = &registry;
    inputs.maker = "Maker";
  }
  core::PluginDescription description;
  core::Parameters registry;
  lv2::TurtleInputs inputs;
  lv2::TurtleFiles files;
  std::string error;
};

TEST_F(TurtleFilesTest, ParametersWhoseSymbolsCollideAreRefused) {
  registry.addParameter(0, "LP-HP1", 0.5f);
  registry.addParameter(1, "LP_HP1", 0.5f);
  registry.addParameter(2, "Level", 0.5f);
  EXPECT_FALSE(lv2::writeTurtle(inputs, files, error));
  EXPECT_NE(error.find("LP_HP1"), std::string::npos) << error;
}

TEST_F(TurtleFilesTest, PresetsWhoseNamesReduceAlikeGetTheirOwnUris) {
  registry.addParameter(0, "A", 0.5f);
  registry.addParameter(1, "B", 0.5f);
  registry.addParameter(2, "9C", 0.5f);
  for (const char* name : {"Deep Tom", "deep-tom", "Deep  Tom!"})
    inputs.presets.push_back({"Percussion & More", name, {0.1f, NAN, 1.0f}, "---\n", 0});
  inputs.presets.push_back({"\u00ABFactory presets\u00BB", "Deep Tom", {0.1f, 0.2f, 0.3f}, "---\n", 0});
  ASSERT_TRUE(lv2::writeTurtle(inputs, files, error)) << error;
  std::set<std::string> uris;
  for (std::size_t at = files.presets.find("\n<"); at != std::string::npos; at = files.presets.find("\n<", at + 1))
    uris.insert(files.presets.substr(at + 1, files.presets.find('>', at) - at));
  // Two banks and four presets, each its own.
  EXPECT_EQ(uris.size(), 6u) << files.presets;
  EXPECT_NE(files.presets.find("rdfs:label \"Factory presets: Deep Tom\""), std::string::npos);
  EXPECT_NE(files.presets.find("rdfs:label \"Percussion & More\""), std::string::npos);
  // A value no decimal holds is left out of the port values; a leading digit gets an underscore.
  EXPECT_EQ(files.presets.find("nan"), std::string::npos);
  EXPECT_NE(files.plugin.find("lv2:symbol \"_9C\""), std::string::npos);
  EXPECT_EQ(lv2::portSymbol("ADSR2LP_HP1"), "ADSR2LP_HP1");
  EXPECT_EQ(lv2::portSymbol("Dry_Wet"), "Dry_Wet");
}

TEST_F(TurtleFilesTest, BuildWithoutTheEditorDeclaresNoEditorModule) {
  registry.addParameter(0, "A", 0.5f);
  registry.addParameter(1, "B", 0.5f);
  registry.addParameter(2, "C", 0.5f);
  ASSERT_TRUE(lv2::writeTurtle(inputs, files, error)) << error;
  EXPECT_NE(files.plugin.find("ui:ui"), std::string::npos);
  EXPECT_NE(files.manifest.find("ui:binary <Skarvel_ui.so>"), std::string::npos);
  inputs.uiBinary.clear();
  ASSERT_TRUE(lv2::writeTurtle(inputs, files, error)) << error;
  EXPECT_EQ(files.plugin.find("ui:X11UI"), std::string::npos) << files.plugin;
  EXPECT_EQ(files.plugin.find("ui:ui"), std::string::npos);
  EXPECT_EQ(files.manifest.find("ui:binary"), std::string::npos) << files.manifest;
}

}  // namespace
