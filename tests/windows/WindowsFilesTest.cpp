// The Windows file back ends with names outside ASCII: files, folder walks, the module path and
// data folders, presets saved and read again, list order, notices.

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "Frameworks/PresetManager/MessageList.h"
#include "Frameworks/PresetManager/PresetManager.h"
#include "Frameworks/PresetManager/ProgramFactory.h"
#include "common/TempFolderName.h"
#include "platform/FileSystem.h"
#include "platform/FolderWalk.h"
#include "platform/Notice.h"
#include "platform/TextCollation.h"
#include "platform/win32/WideText.h"
#include "source/SkarvelParameterTable.h"

namespace fs = std::filesystem;
using platform::win32::narrow;
using platform::win32::widen;

namespace {

// "Prèsets Ωmega" and "Glöckchen" in UTF-8.
const std::string kFolderName = "Pr\xC3\xA8sets \xCE\xA9mega";
const std::string kPresetName = "Gl\xC3\xB6" "ckchen";

// A temporary folder (backslash path, UTF-8) removed with its contents.
class WideTemp {
 public:
  WideTemp() : m_path(makeTempFolder("skarvel-windows-")) {}
  ~WideTemp() {
    std::error_code ignored;
    fs::remove_all(fs::path(widen(m_path)), ignored);
  }
  const std::string& path() const { return m_path; }
  std::string operator/(const std::string& relative) const { return m_path + "\\" + relative; }

 private:
  std::string m_path;
};

struct Recorder : platform::DirTreeCallback {
  std::vector<std::string> events;
  void fileFound(const std::string& path) override { events.push_back("file " + path); }
  void folderEntered(const std::string& name) override { events.push_back("enter " + name); }
  void folderLeft() override { events.push_back("leave"); }
};

struct Presets {
  core::Parameters parameters;
  presets::MessageList messages;
  presets::ProgramFactory factory{fill(parameters), "Skarvel", "1.0.0", messages};
  static const core::Parameters& fill(core::Parameters& registry) {
    for (int id = 0; id < skarvel::kParameterCount; ++id)
      registry.addParameter(id, std::string(skarvel::kParameterTable[id].name),
                            skarvel::kParameterTable[id].defaultValue);
    return registry;
  }
};

std::string probePath() { return SKARVEL_WINDOWS_MODULE_PROBE; }

}  // namespace

TEST(WindowsFiles, NonAsciiFoldersAndFilesAreCreatedReadAndReplaced) {
  WideTemp temp;
  const std::string folder = temp / kFolderName;
  ASSERT_TRUE(platform::createFolder(folder));
  EXPECT_TRUE(platform::isFolder(folder));
  EXPECT_TRUE(fs::is_directory(fs::path(widen(folder)))) << "the folder carries its real name";

  const std::string file = folder + "\\" + kPresetName + ".yaml";
  ASSERT_TRUE(platform::writeFileAtomically(file, "first"));
  ASSERT_TRUE(platform::writeFileAtomically(file, "second, longer"));
  std::vector<unsigned char> bytes;
  ASSERT_TRUE(platform::readFile(file, bytes));
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "second, longer");
  EXPECT_TRUE(platform::pathExists(file));
  EXPECT_EQ(std::distance(fs::directory_iterator(fs::path(widen(folder))), fs::directory_iterator()), 1)
      << "no temporary file is left beside it";
  EXPECT_EQ(platform::lastPathComponent(file), kPresetName + ".yaml");
  EXPECT_EQ(platform::lastPathComponent("C:\\a/b\\"), "b");

  EXPECT_FALSE(platform::writeFileAtomically(folder, "never over a folder"));
  EXPECT_FALSE(platform::writeFileAtomically(temp / "missing\\x.yaml", "no such folder"));
  EXPECT_FALSE(platform::readFile(temp / "missing.yaml", bytes));
}

TEST(WindowsFiles, TheFolderWalkReportsUtf8PathsJoinedWithBackslashes) {
  WideTemp temp;
  const std::string root = temp / "Presets";
  ASSERT_TRUE(platform::createFolder(root));
  ASSERT_TRUE(platform::createFolder(root + "\\" + kFolderName));
  ASSERT_TRUE(platform::createFolder(root + "\\.hidden"));
  ASSERT_TRUE(platform::writeFileAtomically(root + "\\" + kFolderName + "\\" + kPresetName + ".yaml", "x"));
  ASSERT_TRUE(platform::writeFileAtomically(root + "\\.hidden\\skipped.yaml", "x"));
  ASSERT_TRUE(platform::writeFileAtomically(root + "\\CAPS.YAML", "x"));
  ASSERT_TRUE(platform::writeFileAtomically(root + "\\.dot.yaml", "x"));

  Recorder recorder;
  platform::walkFolderTree(root, ".yaml", recorder);
  std::sort(recorder.events.begin(), recorder.events.end());
  EXPECT_EQ(recorder.events, (std::vector<std::string>{
                                 "enter " + kFolderName,
                                 "file " + root + "\\.dot.yaml",
                                 "file " + root + "\\" + kFolderName + "\\" + kPresetName + ".yaml",
                                 "leave",
                             }));

  Recorder nothing;
  platform::walkFolderTree(temp / "nowhere", ".yaml", nothing);
  EXPECT_TRUE(nothing.events.empty());
}

TEST(WindowsFiles, ThePluginFindsItsDataBesideItsDllInANonAsciiFolder) {
  WideTemp temp;
  const std::string bundle = temp / kFolderName;
  ASSERT_TRUE(platform::createFolder(bundle));
  ASSERT_TRUE(platform::createFolder(bundle + "\\Presets"));
  const std::wstring dll = widen(bundle + "\\Probe.dll");
  ASSERT_TRUE(CopyFileW(widen(probePath()).c_str(), dll.c_str(), FALSE));

  const HMODULE module = LoadLibraryW(dll.c_str());
  ASSERT_NE(module, nullptr);
  using Probe = const char* (*)();
  const auto dataRoot = reinterpret_cast<Probe>(reinterpret_cast<void*>(GetProcAddress(module, "skarvelProbeDataRoot")));
  const auto userPresets =
      reinterpret_cast<Probe>(reinterpret_cast<void*>(GetProcAddress(module, "skarvelProbeUserPresets")));
  ASSERT_TRUE(dataRoot && userPresets);
  const std::string root = dataRoot();
  const std::string user = userPresets();
  FreeLibrary(module);

  EXPECT_EQ(root, bundle + "\\");
  EXPECT_EQ(user, root + "Presets\\User\\");
  EXPECT_TRUE(platform::isFolder(user)) << "the user presets folder is created on first use";
  EXPECT_EQ(root.find('/'), std::string::npos) << root;
}

TEST(WindowsFiles, PresetsWithNonAsciiNamesLoadAndSaveInANonAsciiFolder) {
  WideTemp temp;
  const std::string factoryFolder = temp / (kFolderName + "\\Factory\\");
  const std::string userFolder = temp / (kFolderName + "\\User\\");
  ASSERT_TRUE(platform::createFolder(temp / kFolderName));
  ASSERT_TRUE(platform::createFolder(factoryFolder));
  ASSERT_TRUE(platform::createFolder(userFolder));
  ASSERT_TRUE(platform::createFolder(userFolder + "\xC3\x84nnchen"));  // "Ännchen"

  Presets setup;
  {
    std::unique_ptr<presets::Program> program = setup.factory.createProgram();
    program->setName(kPresetName);
    ASSERT_TRUE(setup.factory.savePresetFile(*program, userFolder + "\xC3\x84nnchen\\" + kPresetName + ".yaml"))
        << setup.messages.count();
  }

  presets::PresetManager manager(setup.factory, presets::PresetFolders{factoryFolder, userFolder});
  manager.loadAll();
  manager.select(0, 0);
  EXPECT_TRUE(manager.allFilesLoaded());
  const std::vector<presets::Program*> loaded = manager.programsInList("\xC3\x84nnchen");
  ASSERT_EQ(loaded.size(), 1u);
  EXPECT_EQ(loaded[0]->name(), kPresetName);

  std::unique_ptr<presets::Program> copy = manager.newUserCopy(kPresetName);
  ASSERT_TRUE(manager.saveToUserFolder(*copy));
  // Bytes of 128 and above become "@" in a new preset's file name.
  const std::string saved = userFolder + "/Gl@@ckchen.yaml";
  EXPECT_TRUE(platform::pathExists(saved));
  std::unique_ptr<presets::Program> again = setup.factory.readPresetFile(saved);
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->name(), kPresetName);
}

TEST(WindowsFiles, ListOrderIgnoresCaseInTheUsersLocale) {
  EXPECT_EQ(platform::compareIgnoringCase("apple", "APPLE"), 0);
  EXPECT_LT(platform::compareIgnoringCase("apple", "Banana"), 0);
  EXPECT_GT(platform::compareIgnoringCase("banana", "Apple"), 0);
  // "Äpfel" sorts among the a's, not after "zebra" as its bytes would.
  EXPECT_LT(platform::compareIgnoringCase("\xC3\x84pfel", "zebra"), 0);
  EXPECT_LT(platform::compareIgnoringCase("", "a"), 0);
}

TEST(WindowsFiles, NoticesAreCountedAndNeverWaitForTheUser) {
  // SKARVEL_NO_DIALOGS=1 is set for the tests: no message box may appear and nothing may block.
  const int before = platform::noticeCount();
  const DWORD start = GetTickCount();
  platform::showNotice("Hu?", "Plugin Data not found!");
  EXPECT_EQ(platform::noticeCount(), before + 1);
  EXPECT_LT(GetTickCount() - start, 2000u);
}

TEST(WindowsText, Utf8AndUtf16RoundTripAndStrayBytesKeepTheirValue) {
  const std::string text = "a\xC3\xA9\xE6\xB7\xB1\xF0\x9F\x8E\xB5";  // a, é, 深, 🎵
  const std::wstring wide = widen(text);
  EXPECT_EQ(wide, std::wstring(L"a\u00E9\u6DF1") + L"\U0001F3B5");
  EXPECT_EQ(narrow(wide), text);
  EXPECT_EQ(widen("x\xFFy"), std::wstring(L"x\u00FFy"));
  EXPECT_EQ(widen("\xC3"), std::wstring(L"\u00C3")) << "a cut sequence";
  EXPECT_EQ(narrow(std::wstring(1, wchar_t(0xD800))), "\xEF\xBF\xBD") << "an unpaired surrogate";
}
