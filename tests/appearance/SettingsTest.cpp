// The per-user settings store: one file per value in a folder, defaults for anything missing or
// unusable, silent failures, and whole values even with several writers at once.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/FolderSettings.h"
#include "TempFolder.h"

namespace {

namespace fs = std::filesystem;
using platform::FolderSettings;
using platform::Settings;

std::string floatBytes(float value) {
  std::string bytes(sizeof value, '\0');
  std::memcpy(bytes.data(), &value, sizeof value);
  return bytes;
}

// Sets an environment variable for one scope and puts the old value back.
class ScopedEnv {
public:
  ScopedEnv(const char* name, const char* value) : m_name(name) {
    if (const char* old = std::getenv(name)) m_old = old;
    if (value) setenv(name, value, 1);
    else unsetenv(name);
  }
  ~ScopedEnv() {
    if (m_old) setenv(m_name, m_old->c_str(), 1);
    else unsetenv(m_name);
  }

private:
  const char* m_name;
  std::optional<std::string> m_old;
};

}  // namespace

TEST(Settings, MissingFolderReadsDefaultsAndReadingCreatesNothing) {
  TempFolder temp;
  FolderSettings settings(temp / "Brenmoor/Skarvel");
  EXPECT_EQ(settings.readSize(), 1.0f);
  EXPECT_EQ(settings.readText(Settings::kAppearanceNameValue), "");
  EXPECT_EQ(settings.readText(Settings::kAppearanceFileNameValue), "");
  EXPECT_FALSE(fs::exists(temp / "Brenmoor")) << "nothing is written until the user changes something";
}

TEST(Settings, WritesCreateTheFolderAndStoreTheRawBytes) {
  TempFolder temp;
  const std::string folder = temp / "config/Brenmoor/Skarvel";
  FolderSettings settings(folder);
  settings.writeSize(3.0f);
  settings.writeText(Settings::kAppearanceNameValue, "Deep Sea \xc3\xa9");
  settings.writeText(Settings::kAppearanceFileNameValue, "");

  EXPECT_EQ(readFile(folder + "/skin"), floatBytes(3.0f));
  EXPECT_EQ(readFile(folder + "/appearanceName"), std::string("Deep Sea \xc3\xa9", 11) + '\0');
  EXPECT_EQ(readFile(folder + "/appearanceFileName"), std::string(1, '\0'));

  // Another instance (a new store on the same folder) sees the same values.
  FolderSettings other(folder + "/");
  EXPECT_EQ(other.readSize(), 3.0f);
  EXPECT_EQ(other.readText(Settings::kAppearanceNameValue), "Deep Sea \xc3\xa9");
  EXPECT_EQ(other.readText(Settings::kAppearanceFileNameValue), "");
  EXPECT_EQ(fs::status(temp / "config").permissions() & fs::perms::all, fs::perms::owner_all);
}

TEST(Settings, SizeIsReadOnlyFromExactlyFourBytes) {
  TempFolder temp;
  FolderSettings settings(temp.path().string());
  writeFile(temp / "skin", floatBytes(5.7f));  // written by something else
  EXPECT_EQ(settings.readSize(), 5.7f);
  writeFile(temp / "skin", floatBytes(2.0f) + "x");
  EXPECT_EQ(settings.readSize(), 1.0f) << "a longer value reads as missing";
  writeFile(temp / "skin", floatBytes(2.0f).substr(0, 3));
  EXPECT_EQ(settings.readSize(), 1.0f) << "a shorter value must not be read as a float";
  writeFile(temp / "skin", "");
  EXPECT_EQ(settings.readSize(), 1.0f);
  fs::remove(temp / "skin");
  fs::create_directory(temp / "skin");
  EXPECT_EQ(settings.readSize(), 1.0f) << "a folder in the value's place is unreadable";
}

TEST(Settings, TextsEndAtTheirFirstZeroAndLongerThan512BytesReadAsMissing) {
  TempFolder temp;
  FolderSettings settings(temp.path().string());
  const std::string longest(511, 'a');

  settings.writeText("appearanceName", longest);
  EXPECT_EQ(settings.readText("appearanceName"), longest) << "511 characters and the zero fit in 512 bytes";

  settings.writeText("appearanceName", longest + "b");
  EXPECT_EQ(settings.readText("appearanceName"), "") << "513 bytes with the zero";

  writeFile(temp / "appearanceName", std::string(512, 'c'));
  EXPECT_EQ(settings.readText("appearanceName"), std::string(512, 'c')) << "a value without zero ends with the file";

  writeFile(temp / "appearanceName", std::string("Ember\0junk\0", 11));
  EXPECT_EQ(settings.readText("appearanceName"), "Ember");
}

TEST(Settings, FailedWritesAreSilentAndChangeNothing) {
  TempFolder temp;
  writeFile(temp / "blocker", "a file where a folder should be");
  FolderSettings blocked(temp / "blocker/Skarvel");
  blocked.writeSize(4.0f);
  blocked.writeText("appearanceName", "Ember");
  EXPECT_EQ(blocked.readSize(), 1.0f);
  EXPECT_EQ(blocked.readText("appearanceName"), "");
  EXPECT_EQ(readFile(temp / "blocker"), "a file where a folder should be");

  FolderSettings nowhere("");
  nowhere.writeSize(4.0f);
  EXPECT_EQ(nowhere.readSize(), 1.0f);

  // Value names never leave the folder.
  FolderSettings settings(temp / "store");
  settings.writeText("../escaped", "x");
  settings.writeText(".hidden", "x");
  EXPECT_FALSE(fs::exists(temp / "escaped"));
  EXPECT_FALSE(fs::exists(temp / "store/.hidden"));
  EXPECT_EQ(settings.readText("../blocker"), "");
}

TEST(Settings, RewritesReplaceTheWholeValueAndLeaveNoTemporaryFiles) {
  TempFolder temp;
  FolderSettings settings(temp.path().string());
  settings.writeText("appearanceFileName", "/a/rather/long/path/to/a/theme/file.yaml");
  settings.writeText("appearanceFileName", "/short.yaml");
  settings.writeSize(0.0f);
  settings.writeSize(2.0f);
  EXPECT_EQ(readFile(temp / "appearanceFileName"), std::string("/short.yaml") + '\0');
  EXPECT_EQ(settings.readSize(), 2.0f);

  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(temp.path())) names.insert(entry.path().filename().string());
  EXPECT_EQ(names, (std::set<std::string>{"appearanceFileName", "skin"}));
}

TEST(Settings, ConcurrentWritersNeverLeaveATornValue) {
  TempFolder temp;
  const std::string folder = temp.path().string();
  // Values of different lengths, so a torn or interleaved write could not pass for any of them.
  const std::vector<std::string> values = {std::string(300, 'a'), std::string(7, 'b'), std::string(511, 'c'), "d"};
  std::atomic<bool> writing{true};
  std::vector<std::thread> writers;
  for (std::size_t w = 0; w < values.size(); ++w) {
    writers.emplace_back([&, w] {
      FolderSettings settings(folder);
      for (int i = 0; i < 40; ++i) settings.writeText("appearanceName", values[(w + i) % values.size()]);
    });
  }
  std::thread reader([&] {
    FolderSettings settings(folder);
    while (writing) {
      const std::string seen = settings.readText("appearanceName");
      if (seen.empty()) continue;  // before the first write lands
      EXPECT_NE(std::find(values.begin(), values.end(), seen), values.end()) << "torn value of size " << seen.size();
    }
  });
  for (auto& writer : writers) writer.join();
  writing = false;
  reader.join();
  const std::string last = FolderSettings(folder).readText("appearanceName");
  EXPECT_NE(std::find(values.begin(), values.end(), last), values.end());
  EXPECT_EQ(std::distance(fs::directory_iterator(temp.path()), fs::directory_iterator()), 1);
}

TEST(Settings, UserFolderFollowsXdgConfigHomeElseHomeConfig) {
  ScopedEnv home("HOME", "/home/player");
  {
    ScopedEnv config("XDG_CONFIG_HOME", "/srv/conf/");
    EXPECT_EQ(FolderSettings::userFolder("Skarvel"), "/srv/conf/Brenmoor/Skarvel");
  }
  {
    ScopedEnv config("XDG_CONFIG_HOME", "relative/conf");
    EXPECT_EQ(FolderSettings::userFolder("Skarvel"), "/home/player/.config/Brenmoor/Skarvel")
        << "a relative XDG_CONFIG_HOME is ignored";
  }
  {
    ScopedEnv config("XDG_CONFIG_HOME", nullptr);
    EXPECT_EQ(FolderSettings::userFolder("Skarvel"), "/home/player/.config/Brenmoor/Skarvel");
  }
}

TEST(Settings, ProductStoreLivesInTheUserFolder) {
  TempFolder temp;
  ScopedEnv config("XDG_CONFIG_HOME", temp.path().c_str());
  auto settings = Settings::forProduct("Skarvel");
  settings->writeSize(2.0f);
  EXPECT_EQ(readFile(temp / "Brenmoor/Skarvel/skin"), floatBytes(2.0f));
  EXPECT_EQ(Settings::forProduct("Skarvel")->readSize(), 2.0f);
}

// A FIFO (or any other non-file) in a value's place reads as missing at once: the editor reads
// these values while it opens, and nothing would ever write into the pipe.
TEST(Settings, APipeInAValuesPlaceReadsAsMissingWithoutWaiting) {
  TempFolder temp;
  for (const char* name : {"skin", "appearanceName", "appearanceFileName"})
    ASSERT_EQ(::mkfifo((temp / name).c_str(), 0600), 0);
  std::atomic<bool> done{false};
  // Should a read wait anyway, the pipes are opened from here after a while so that the test
  // fails instead of hanging.
  std::thread rescuer([&] {
    for (int i = 0; i < 500 && !done; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    while (!done)
      for (const char* name : {"skin", "appearanceName", "appearanceFileName"}) {
        const int fd = ::open((temp / name).c_str(), O_RDWR | O_NONBLOCK);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (fd >= 0) ::close(fd);
      }
  });
  const auto start = std::chrono::steady_clock::now();
  FolderSettings settings(temp.path().string());
  const float size = settings.readSize();
  const std::string name = settings.readText(Settings::kAppearanceNameValue);
  const std::string file = settings.readText(Settings::kAppearanceFileNameValue);
  done = true;
  rescuer.join();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));
  EXPECT_EQ(size, 1.0f);
  EXPECT_EQ(name, "");
  EXPECT_EQ(file, "");

  // Writing a value replaces the pipe with a file again.
  settings.writeSize(2.0f);
  EXPECT_EQ(settings.readSize(), 2.0f);
}

// A write killed part way leaves a hidden temporary; the next write into the folder removes it.
TEST(Settings, ATemporaryOfAKilledWriterIsRemovedByTheNextWrite) {
  TempFolder temp;
  const pid_t gone = fork();
  if (gone == 0) _exit(0);
  ASSERT_GT(gone, 0);
  ASSERT_EQ(waitpid(gone, nullptr, 0), gone);
  writeFile(temp / (".skin." + std::to_string(gone) + ".0.tmp"), "ab");
  FolderSettings settings(temp.path().string());
  settings.writeText("appearanceName", "Deep Sea");
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(temp.path())) names.insert(entry.path().filename().string());
  EXPECT_EQ(names, (std::set<std::string>{"appearanceName"}));
}
