#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Frameworks/PresetManager/ScalarKeywordEventHandler.h"
#include "Frameworks/PresetManager/YamlDocumentReader.h"
#include "Frameworks/PresetManager/YamlKeyValueHandler.h"
#include "TempFolder.h"

namespace {

using namespace presets;

// A document of the shared shape: "Head" holding a/b, then "Body" holding x/y.
class PairHandler : public YamlKeyValueHandler {
 public:
  PairHandler(const char* first, const char* second) : YamlKeyValueHandler({first, second}) {}
  bool endStep(YamlDocumentReader&) override {
    ++endSteps;
    return true;
  }
  int endSteps = 0;
};

struct Document {
  ScalarKeywordEventHandler head{"Head"};
  PairHandler headValues{"a", "b"};
  ScalarKeywordEventHandler body{"Body"};
  PairHandler bodyValues{"x", "y"};
  MessageList messages;

  std::vector<YamlStructureStep> steps() {
    return {{YAML_STREAM_START_EVENT, 0, nullptr},
            {YAML_DOCUMENT_START_EVENT, 0, nullptr},
            {YAML_MAPPING_START_EVENT, 0, nullptr},
            {YAML_SCALAR_EVENT, 0, &head},
            {YAML_MAPPING_START_EVENT, YAML_MAPPING_END_EVENT, &headValues},
            {YAML_SCALAR_EVENT, 0, &body},
            {YAML_MAPPING_START_EVENT, YAML_MAPPING_END_EVENT, &bodyValues},
            {YAML_MAPPING_END_EVENT, 0, nullptr},
            {YAML_DOCUMENT_END_EVENT, 0, nullptr}};
  }

  bool readText(const std::string& text) {
    YamlDocumentReader reader(reinterpret_cast<const unsigned char*>(text.data()), text.size(),
                              messages);
    return reader.readStructure(steps());
  }
  bool readFile(const std::string& path) {
    YamlDocumentReader reader(path, messages, "Test format error");
    return reader.readStructure(steps());
  }
  std::vector<std::string> lines() const { return messages.lines(); }
};

const char* const kGood = "---\nHead:\n  a: one\n  b: two\nBody:\n  x: 1\n  y: 2\n";

TEST(YamlDocumentReader, ReadsAWellFormedDocumentIntoTheHandlers) {
  Document doc;
  ASSERT_TRUE(doc.readText(kGood));
  EXPECT_TRUE(doc.lines().empty());
  EXPECT_EQ(doc.headValues.value("a"), "one");
  EXPECT_EQ(doc.headValues.value("b"), "two");
  EXPECT_EQ(doc.bodyValues.value("y"), "2");
  EXPECT_EQ(doc.headValues.endSteps, 1);
  EXPECT_EQ(doc.bodyValues.endSteps, 1);
}

TEST(YamlDocumentReader, EmptyFileFailsTheDocumentStartAtLineOneColumnOne) {
  TempFolder folder;
  Document doc;
  const std::string path = folder.write("empty.yaml", "");
  ASSERT_FALSE(doc.readFile(path));
  EXPECT_EQ(doc.lines(), (std::vector<std::string>{
                             "Test format error in " + path,
                             "    near file offset 0, line 1, col 1",
                             "    Incorrect structure of the configuration data in the file"}));
}

TEST(YamlDocumentReader, TopLevelKeywordsAreExactAndInOrder) {
  for (const char* text : {"Haed:\n  a: 1\nBody:\n  x: 1\n", "head:\n  a: 1\nBody:\n  x: 1\n",
                           "Body:\n  x: 1\nHead:\n  a: 1\n", "Heads:\n  a: 1\nBody:\n  x: 1\n",
                           "Head:\n  a: 1\nbody:\n  x: 1\n"}) {
    Document doc;
    EXPECT_FALSE(doc.readText(text)) << text;
    ASSERT_EQ(doc.lines().size(), 3u) << text;
    EXPECT_EQ(doc.lines()[0], "Preset format error in host chunk");
    EXPECT_EQ(doc.lines()[2], "    Invalid keyword") << text;
  }
}

TEST(YamlDocumentReader, RepeatedKeyKeepsTheLaterValue) {
  Document doc;
  ASSERT_TRUE(doc.readText("Head:\n  a: one\n  a: uno\nBody:\n  x: 1\n"));
  EXPECT_EQ(doc.headValues.value("a"), "uno");
}

TEST(YamlDocumentReader, UnrecognisedKeyWarnsAndReadingGoesOn) {
  Document doc;
  ASSERT_TRUE(doc.readText("Head:\n  zz: ignored\n  a: one\nBody:\n  x: 1\n"));
  ASSERT_EQ(doc.lines().size(), 3u);
  EXPECT_EQ(doc.lines()[0], "Preset format error in host chunk");
  EXPECT_EQ(doc.lines()[1].rfind("    near file offset ", 0), 0u);
  EXPECT_EQ(doc.lines()[2], "    Warning: unrecognised key");
  EXPECT_EQ(doc.headValues.value("a"), "one");
  EXPECT_EQ(doc.headValues.value("zz"), "");
}

TEST(YamlDocumentReader, NonScalarKeysAndValuesStopTheReadWhereTheyStart) {
  const char* const value = "    Expected a value for a key / value pair";
  const char* const key = "    Expected a key name for a key / value pair";
  const struct {
    const char* text;
    const char* message;
  } cases[] = {
      {"Head:\n  a: {q: 1}\nBody:\n  x: 1\n", value},
      {"Head:\n  a:\n    q: 1\nBody:\n  x: 1\n", value},
      {"Head:\n  a: [1, 2]\nBody:\n  x: 1\n", value},
      {"Head:\n  a: &n 1\n  b: *n\nBody:\n  x: 1\n", value},
      {"Head:\n  ? [k]\n  : v\nBody:\n  x: 1\n", key},
      {"Head:\n  ? {k: 1}\n  : v\nBody:\n  x: 1\n", key},
      // An unrecognised key's value must be one scalar too: a collection is not skipped.
      {"Head:\n  zz: {q: 1}\nBody:\n  x: 1\n", value},
      {"Head:\n  zz:\n    q: 1\n  b: 2\nBody:\n  x: 1\n", value},
      {"Head:\n  zz: [1, 2]\n  a: 1\nBody:\n  x: 1\n", value},
      // The second mapping's handler is held to the same rule.
      {"Head:\n  a: 1\nBody:\n  x: {y: 1}\n", value},
  };
  for (const auto& c : cases) {
    Document doc;
    EXPECT_FALSE(doc.readText(c.text)) << c.text;
    ASSERT_FALSE(doc.lines().empty());
    EXPECT_EQ(doc.lines().back(), c.message) << c.text;
  }
}

TEST(YamlDocumentReader, UnopenableFileGivesOneLineAndNoParserReport) {
  TempFolder folder;
  Document doc;
  const std::string path = folder / "missing.yaml";
  EXPECT_FALSE(doc.readFile(path));
  EXPECT_EQ(doc.lines(), std::vector<std::string>{"Failed to open file " + path});
}

TEST(YamlDocumentReader, ScannerErrorReportsNumberPositionProblemAndContext) {
  Document doc;
  // An unterminated quoted scalar: libyaml's scanner fails with a context text.
  EXPECT_FALSE(doc.readText("Head:\n  a: \"open\n"));
  ASSERT_EQ(doc.lines().size(), 4u);
  EXPECT_EQ(doc.lines()[0], "Parser error #3 in host chunk");
  EXPECT_EQ(doc.lines()[1].rfind("    near file offset ", 0), 0u);
  EXPECT_EQ(doc.lines()[2], "    found unexpected end of stream");
  EXPECT_EQ(doc.lines()[3], "    while scanning a quoted scalar");
}

TEST(YamlDocumentReader, InvalidUtf8IsAReaderErrorAtItsOffset) {
  Document doc;
  EXPECT_FALSE(doc.readText("Head:\n  a: \xff\n"));
  ASSERT_GE(doc.lines().size(), 3u);
  EXPECT_EQ(doc.lines()[0], "Parser error #2 in host chunk");
  EXPECT_EQ(doc.lines()[1].rfind("    near file offset 11, line ", 0), 0u) << doc.lines()[1];
  EXPECT_EQ(doc.lines()[2], "    invalid leading UTF-8 octet");
}

TEST(YamlDocumentReader, ContentAfterTheFirstDocumentIsNeverRead) {
  Document doc;
  EXPECT_TRUE(doc.readText(std::string(kGood) + "---\nthis: [is, broken\n"));
  EXPECT_TRUE(doc.lines().empty());
}

TEST(YamlDocumentReader, ReaderWithoutInputReadsNothing) {
  MessageList messages;
  YamlDocumentReader reader(nullptr, 0, messages);
  std::vector<YamlStructureStep> steps{{YAML_STREAM_START_EVENT, 0, nullptr}};
  EXPECT_TRUE(reader.readStructure(steps));  // an empty buffer still yields stream start
  TempFolder folder;
  YamlDocumentReader unopened(folder / "nothing", messages);
  EXPECT_FALSE(unopened.ready());
  EXPECT_FALSE(unopened.readStructure(steps));
  EXPECT_EQ(messages.count(), 1u);
}

}  // namespace
