#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "AdversarialDocuments.h"
#include "Frameworks/PresetManager/PresetManager.h"
#include "Frameworks/PresetManager/YamlDocumentReader.h"
#include "PresetTestSupport.h"
#include "TempFolder.h"

namespace {

using namespace presets;
namespace fs = std::filesystem;

constexpr std::size_t kLimit = YamlDocumentReader::kMaxDocumentBytes;

const unsigned char* bytesOf(const std::string& text) { return reinterpret_cast<const unsigned char*>(text.data()); }

std::string allLines(const MessageList& messages) {
  std::string all;
  for (const std::string& line : messages.lines()) all += line.substr(0, 160) + "\n";
  return all;
}

// Each hostile shape, as large as the reader accepts, through the host chunk and through a
// file: refused, quickly, and where it nests or aliases, within the first bytes of it.
TEST(HostileYaml, EveryShapeAtTheSizeLimitIsRefusedWhereItGoesWrong) {
  TempFolder folder;
  for (const adversarial::Document& document : adversarial::presets(kLimit)) {
    ASSERT_EQ(document.text.size(), kLimit) << document.name;
    PresetFixture chunk;
    std::unique_ptr<Program> program;
    const double chunkTime = adversarial::millisecondsOf(
        [&] { program = chunk.readText(document.text); });
    EXPECT_EQ(program, nullptr) << document.name;
    EXPECT_LT(chunkTime, adversarial::kGenerousMilliseconds) << document.name;
    EXPECT_LT(chunk.messages.count(), 400u) << document.name;
    if (document.refusedWhereItStarts) {
      EXPECT_LT(adversarial::reportedOffset(chunk.messages, kLimit), adversarial::kEarlyRefusalOffset)
          << document.name << "\n" << allLines(chunk.messages);
    }

    PresetFixture file;
    const std::string path = folder.write("hostile.yaml", document.text);
    const double fileTime = adversarial::millisecondsOf([&] { program = file.factory.readPresetFile(path); });
    EXPECT_EQ(program, nullptr) << document.name;
    EXPECT_LT(fileTime, adversarial::kGenerousMilliseconds) << document.name;
    if (document.refusedWhereItStarts) {
      EXPECT_LT(adversarial::reportedOffset(file.messages, kLimit), adversarial::kEarlyRefusalOffset)
          << document.name;
    }
  }
}

TEST(HostileYaml, DocumentsLargerThanTheLimitAreRefusedUnread) {
  TempFolder folder;
  const std::string tooLarge = "    The document is larger than " + std::to_string(kLimit) + " bytes and is not read";
  for (const adversarial::Document& document : adversarial::presets(1 << 20)) {
    PresetFixture chunk;
    std::unique_ptr<Program> program;
    const double chunkTime = adversarial::millisecondsOf([&] { program = chunk.readText(document.text); });
    EXPECT_EQ(program, nullptr);
    EXPECT_LT(chunkTime, adversarial::kGenerousMilliseconds) << document.name;
    EXPECT_EQ(chunk.messages.lines(), (std::vector<std::string>{"Preset format error in host chunk", tooLarge}));

    PresetFixture file;
    const std::string path = folder.write("large.yaml", document.text);
    EXPECT_EQ(file.factory.readPresetFile(path), nullptr);
    EXPECT_EQ(file.messages.lines(), (std::vector<std::string>{"Preset format error in " + path, tooLarge}));
  }

  // The limit itself still reads: a good preset padded with a comment to exactly the limit.
  const std::string good = adversarial::fill(std::string(kDefaultDocument) + "#", "x", kLimit - 1) + "\n";
  PresetFixture atLimit;
  EXPECT_NE(atLimit.readText(good), nullptr) << allLines(atLimit.messages);
  EXPECT_NE(atLimit.factory.readPresetFile(folder.write("limit.yaml", good)), nullptr);
  PresetFixture overLimit;
  EXPECT_EQ(overLimit.readText(good + " "), nullptr);
  EXPECT_EQ(overLimit.factory.readPresetFile(folder.write("over.yaml", good + " ")), nullptr);
}

// The host's set-chunk goes through the manager: a hostile chunk is refused there too, quickly,
// and leaves the lists as they were.
TEST(HostileYaml, TheManagerRefusesHostileChunksAndKeepsItsLists) {
  PresetFixture fx;
  PresetManager manager(fx.factory, PresetFolders{"/nonexistent/", "/nonexistent/"});
  manager.loadAll();
  const std::vector<std::string> lists = manager.listNames();
  for (std::size_t size : {std::size_t(30 * 1024), kLimit, std::size_t(1) << 20}) {
    for (const adversarial::Document& document : adversarial::presets(size)) {
      Program* added = nullptr;
      const double time = adversarial::millisecondsOf(
          [&] { added = manager.addProjectPreset(bytesOf(document.text), document.text.size()); });
      EXPECT_EQ(added, nullptr) << document.name << " " << size;
      EXPECT_LT(time, adversarial::kGenerousMilliseconds) << document.name << " " << size;
    }
  }
  EXPECT_EQ(manager.listNames(), lists);
  EXPECT_EQ(manager.currentProgramName(), "Init");
}

// Start-up walks the preset folders: hostile files there are left out as fast as broken ones,
// and the good presets beside them still load.
TEST(HostileYaml, HostileFilesInThePresetFoldersAreLeftOutAtStartUp) {
  PresetFixture fx;
  TempFolder root;
  const std::vector<adversarial::Document> documents = adversarial::presets(kLimit);
  for (std::size_t i = 0; i < documents.size(); ++i)
    root.write("User/hostile" + std::to_string(i) + ".yaml", documents[i].text);
  root.write("User/huge.yaml", documents.front().text + std::string(1 << 20, '{'));
  root.write("User/good.yaml", kDefaultDocument);
  root.write("Factory/Pads/nested.yaml", documents.front().text);

  PresetManager manager(fx.factory, PresetFolders{root / "Factory/", root / "User/"});
  const double time = adversarial::millisecondsOf([&] { manager.loadAll(); });
  EXPECT_LT(time, adversarial::kGenerousMilliseconds * 2);
  EXPECT_FALSE(manager.allFilesLoaded());
  EXPECT_EQ(manager.listNames(), std::vector<std::string>{"\xc2\xab" "User presets\xc2\xbb"});
  ASSERT_EQ(manager.programsInList("\xc2\xab" "User presets\xc2\xbb").size(), 1u);
}

TEST(HostileYaml, WarningsOfOneDocumentAreCappedAndCounted) {
  std::string text = "---\nPreset:\n  format: 1\n  name: Many\n";
  for (int i = 0; i < 250; ++i) text += "  extra" + std::to_string(i) + ": v\n";
  text += "Params:\n  FM: 0.25\n";
  PresetFixture fx;
  std::unique_ptr<Program> program = fx.readText(text);
  ASSERT_NE(program, nullptr) << "warnings do not stop the read";
  EXPECT_FLOAT_EQ(program->value(12), 0.25f);
  ASSERT_EQ(fx.messages.count(), 3 * YamlDocumentReader::kMaxWarnings + 1);
  EXPECT_EQ(fx.messages.line(3 * YamlDocumentReader::kMaxWarnings - 1), "    Warning: unrecognised key");
  EXPECT_EQ(fx.messages.lines().back(), "    ... and 150 more warnings for host chunk");
}

}  // namespace
