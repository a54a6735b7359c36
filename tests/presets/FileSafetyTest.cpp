// Reading never waits on something that is not a regular file, and saving leaves no debris,
// survives crashes, respects write protection and steps over names that are already taken.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#ifndef _WIN32
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "Frameworks/PresetManager/PresetManager.h"
#include "PresetTestSupport.h"
#include "TempFolder.h"
#include "platform/FileSystem.h"

namespace {

using namespace presets;
namespace fs = std::filesystem;

std::string presetText(const std::string& name) {
  return "---\nPreset:\n  product: Skarvel\n  version: 1.0.0\n  format: 1\n  name: " + name + "\nParams:\n  FM: 0.5\n";
}

// The names in `folder` that start with a dot.
std::vector<std::string> hiddenEntries(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name[0] == '.') names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

// A manager over a user folder in a temporary data root, with "Mine" as its current user preset.
struct UserFolderFixture : PresetFixture {
  TempFolder root;
  std::string userFolder = root / "User";
  std::unique_ptr<PresetManager> manager;

  UserFolderFixture() {
    root.write("User/Mine.yaml", presetText("Mine"));
    manager = std::make_unique<PresetManager>(factory, PresetFolders{root / "Factory/", userFolder + "/"});
    manager->loadAll();
    manager->select(0, 0);
  }
};

TEST(FileSaving, AWriteProtectedUserPresetIsNotOverwritten) {
  UserFolderFixture fx;
  const std::string path = fx.userFolder + "/Mine.yaml";
  fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  Program& mine = fx.manager->currentProgram();
  ASSERT_EQ(mine.name(), "Mine");
  mine.edit(12, 0.9f);
  const SaveResult result = fx.manager->overwriteCurrentPreset();
  EXPECT_EQ(result.outcome, SaveOutcome::Failed);
  EXPECT_EQ(result.message, "Failed to save preset Mine");
  EXPECT_EQ(TempFolder::read(path), presetText("Mine")) << "the protected file keeps its text";
  EXPECT_TRUE(mine.edited()) << "the edits are still unsaved";
  EXPECT_NE(fx.allMessages().find("Failed to create preset file " + path + " for program Mine"), std::string::npos);
  EXPECT_TRUE(hiddenEntries(fx.userFolder).empty());

  // Writable again, the same save goes through.
  fs::permissions(path, fs::perms::owner_write, fs::perm_options::add);
  EXPECT_EQ(fx.manager->overwriteCurrentPreset().outcome, SaveOutcome::Overwritten);
  EXPECT_NE(TempFolder::read(path).find("FM: 0.9"), std::string::npos);
}

// Every system: a temporary whose process cannot be running goes, this process's own recent one
// stays, and an abandoned one (hours old) goes whoever wrote it.
TEST(FileSaving, TemporariesOfProcessesThatAreGoneOrOfHoursAgoAreRemoved) {
  TempFolder folder;
  std::string self = platform::temporaryFileName("", "x", 0);  // ".x.<this process>.0.tmp"
  self = self.substr(3, self.size() - 9);
  const std::string never = "999999996";  // beyond every system's process numbers
  for (const std::string& name : {".a.yaml." + never + ".0.tmp", ".b.yaml." + self + ".0.tmp",
                                  ".c.yaml." + self + ".1.tmp", ".d.yaml.x" + never + ".0.tmp"})
    folder.write(name, "partial");
  fs::last_write_time(folder / (".c.yaml." + self + ".1.tmp"),
                      fs::file_time_type::clock::now() - std::chrono::hours(3));
  EXPECT_EQ(platform::temporaryFileOwner(".a.yaml." + never + ".0.tmp"), 999999996ul);
  EXPECT_EQ(platform::temporaryFileOwner(".d.yaml.x" + never + ".0.tmp"), 0ul);
  ASSERT_TRUE(platform::writeFileAtomically(folder / "saved.yaml", "text"));
  EXPECT_EQ(hiddenEntries(folder.path()),
            (std::vector<std::string>{".b.yaml." + self + ".0.tmp", ".d.yaml.x" + never + ".0.tmp"}));
  EXPECT_EQ(TempFolder::read(folder / "saved.yaml"), "text");
}

#ifndef _WIN32

TEST(FileSaving, ADanglingLinkAtTheNewNameMovesTheSaveToTheNextNumber) {
  UserFolderFixture fx;
  fs::create_symlink(fx.root / "nowhere/else.yaml", fx.userFolder + "/Fresh.yaml");
  const SaveResult result = fx.manager->saveNewUserPreset("Fresh");
  ASSERT_EQ(result.outcome, SaveOutcome::Saved) << result.message << fx.allMessages();
  EXPECT_EQ(fx.manager->currentProgram().filePath(), fx.userFolder + "/Fresh1.yaml");
  EXPECT_NE(TempFolder::read(fx.userFolder + "/Fresh1.yaml").find("name: Fresh"), std::string::npos);
  EXPECT_TRUE(fs::is_symlink(fx.userFolder + "/Fresh.yaml")) << "the link is left alone";
  EXPECT_FALSE(fs::exists(fx.root / "nowhere")) << "nothing is created through the link";
}

// The forms of hidden names a save may find in its folder, and which of them it removes.
TEST(FileSaving, OnlyTemporariesThatNoRunningSaveCanOwnAreRemoved) {
  TempFolder folder;
  // A process that is gone, and one that is running (a child that waits to be killed).
  const pid_t gone = fork();
  if (gone == 0) _exit(0);
  ASSERT_GT(gone, 0);
  ASSERT_EQ(waitpid(gone, nullptr, 0), gone);
  const pid_t running = fork();
  if (running == 0) {
    pause();
    _exit(0);
  }
  ASSERT_GT(running, 0);
  const std::string self = std::to_string(getpid());

  auto make = [&](const std::string& name, bool old = false) {
    const std::string path = folder.write(name, "partial");
    if (old) {
      const timeval twoHoursAgo[2] = {{time(nullptr) - 7200, 0}, {time(nullptr) - 7200, 0}};
      utimes(path.c_str(), twoHoursAgo);
    }
  };
  make(".a.yaml." + std::to_string(gone) + ".0.tmp");                // owner gone: removed
  make(".b c.yaml." + std::to_string(gone) + ".17.tmp");             // owner gone: removed
  make(".skin." + std::to_string(gone) + ".3.tmp");                  // a settings value's: removed
  make(".c.yaml." + std::to_string(running) + ".0.tmp");             // being written: kept
  make(".d.yaml." + self + ".0.tmp");                                // this process's own: kept
  make(".e.yaml." + std::to_string(running) + ".1.tmp", true);       // two hours old: abandoned
  make(".f.yaml." + self + ".1.tmp", true);                          // two hours old: abandoned
  for (const std::string& other : std::vector<std::string>{".hidden.yaml", ".g.yaml.12x.0.tmp", ".." + std::to_string(gone) + ".0.tmp",
                                   ".h.yaml." + std::to_string(gone) + ".0.tmp~", "i.yaml." + std::to_string(gone) + ".0.tmp",
                                   ".j.yaml." + std::to_string(gone) + ".tmp"})
    make(other);
  fs::create_directory(folder / (".k.yaml." + std::to_string(gone) + ".0.tmp"));
  fs::create_symlink(folder / "target", folder / (".l.yaml." + std::to_string(gone) + ".0.tmp"));

  ASSERT_TRUE(platform::writeFileAtomically(folder / "saved.yaml", "text"));
  kill(running, SIGKILL);
  waitpid(running, nullptr, 0);

  std::vector<std::string> expected{".c.yaml." + std::to_string(running) + ".0.tmp",
                                    ".d.yaml." + self + ".0.tmp",
                                    ".hidden.yaml",
                                    ".g.yaml.12x.0.tmp",
                                    ".." + std::to_string(gone) + ".0.tmp",
                                    ".h.yaml." + std::to_string(gone) + ".0.tmp~",
                                    ".j.yaml." + std::to_string(gone) + ".tmp",
                                    ".k.yaml." + std::to_string(gone) + ".0.tmp",
                                    ".l.yaml." + std::to_string(gone) + ".0.tmp"};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(hiddenEntries(folder.path()), expected);
  EXPECT_TRUE(fs::exists(folder / ("i.yaml." + std::to_string(gone) + ".0.tmp")));
}

// A save killed part way leaves its temporary behind, never a torn file; the next save into the
// folder clears the debris.
TEST(FileSaving, ATemporaryLeftByAKilledSaveIsRemovedByTheNextSaveIntoThatFolder) {
  TempFolder folder;
  const std::string target = folder / "big.yaml";
  const std::string content(16 << 20, 'x');
  std::vector<std::string> leftovers;
  for (int attempt = 0; attempt < 20 && leftovers.empty(); ++attempt) {
    const pid_t child = fork();
    if (child == 0) {
      for (;;) platform::writeFileAtomically(target, content);
    }
    ASSERT_GT(child, 0);
    // Kill it as soon as one of its temporaries is there, that is, in the middle of a save.
    const std::string prefix = ".big.yaml." + std::to_string(child) + ".";
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    bool seen = false;
    while (!seen && std::chrono::steady_clock::now() < deadline) {
      for (const std::string& name : hiddenEntries(folder.path()))
        if (name.rfind(prefix, 0) == 0) seen = true;
      if (!seen) std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    kill(child, SIGKILL);
    ASSERT_EQ(waitpid(child, nullptr, 0), child);
    leftovers = hiddenEntries(folder.path());
    if (fs::exists(target)) {
      ASSERT_EQ(fs::file_size(target), content.size()) << "never a torn file";
    }
  }
  ASSERT_FALSE(leftovers.empty()) << "no save was caught in the middle";

  ASSERT_TRUE(platform::writeFileAtomically(folder / "next.yaml", "text"));
  EXPECT_TRUE(hiddenEntries(folder.path()).empty());
  EXPECT_EQ(TempFolder::read(folder / "next.yaml"), "text");
}

// Runs `work`, which opens `fifo`. If it is still waiting after a few seconds, the FIFO is
// opened from here so the work can end, and the test fails instead of hanging.
void expectNoWaitOn(const std::string& fifo, const std::function<void()>& work, const std::string& what) {
  std::atomic<bool> done{false};
  std::thread rescuer([&] {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    while (!done) {
      const int fd = ::open(fifo.c_str(), O_RDWR | O_NONBLOCK);
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      if (fd >= 0) ::close(fd);
    }
  });
  const auto start = std::chrono::steady_clock::now();
  work();
  done = true;
  rescuer.join();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)) << what << " waited on a FIFO";
}

TEST(FileReading, PipesAndDevicesInAFilesPlaceAreRefusedWithoutWaiting) {
  TempFolder folder;
  const std::string fifo = folder / "pipe.yaml";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  fs::create_symlink(fifo, folder / "link-to-pipe.yaml");

  std::vector<unsigned char> bytes;
  expectNoWaitOn(fifo, [&] { EXPECT_FALSE(platform::readFile(fifo, bytes)); }, "readFile");
  expectNoWaitOn(fifo, [&] {
    EXPECT_EQ(platform::readRegularFile(folder / "link-to-pipe.yaml", 100, bytes), platform::FileRead::Unreadable);
  }, "readRegularFile through a link");
  for (const char* mode : {"rb", "ab", "wb", "r+b"})
    expectNoWaitOn(fifo, [&] { EXPECT_EQ(platform::openFile(fifo, mode), nullptr) << mode; }, mode);
  EXPECT_FALSE(platform::readFile("/dev/zero", bytes)) << "a device is not read either";
  EXPECT_EQ(platform::openFile("/dev/null", "ab"), nullptr);
  EXPECT_FALSE(platform::isRegularFile(fifo));

  PresetFixture fx;
  expectNoWaitOn(fifo, [&] { EXPECT_EQ(fx.factory.readPresetFile(fifo), nullptr); }, "the preset reader");
  EXPECT_EQ(fx.messages.lines(), std::vector<std::string>{"Failed to open file " + fifo});
}

// What the "w" mode truncates, it truncates only once the file is known to be a regular one.
TEST(FileReading, OpenFileStillReadsWritesAndTruncatesRegularFiles) {
  TempFolder folder;
  const std::string path = folder.write("a.txt", "old text");
  std::FILE* file = platform::openFile(path, "ab");
  ASSERT_NE(file, nullptr);
  std::fputs("+more", file);
  std::fclose(file);
  EXPECT_EQ(TempFolder::read(path), "old text+more");
  file = platform::openFile(path, "wb");
  ASSERT_NE(file, nullptr);
  std::fputs("new", file);
  std::fclose(file);
  EXPECT_EQ(TempFolder::read(path), "new");
  std::vector<unsigned char> bytes;
  EXPECT_EQ(platform::readRegularFile(path, 3, bytes), platform::FileRead::Read);
  EXPECT_EQ(platform::readRegularFile(path, 2, bytes), platform::FileRead::TooLarge);
  EXPECT_TRUE(bytes.empty());
}

TEST(FileReading, APipeNamedLikeAPresetDoesNotHoldUpStartUp) {
  PresetFixture fx;
  TempFolder root;
  root.write("User/Good.yaml", presetText("Good"));
  const std::string fifo = root / "User/pipe.yaml";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  fs::create_symlink(fifo, root / "User/linked.yaml");
  PresetManager manager(fx.factory, PresetFolders{root / "Factory/", root / "User/"});
  expectNoWaitOn(fifo, [&] { manager.loadAll(); }, "loading the presets");
  ASSERT_EQ(manager.programsInList("\xc2\xab" "User presets\xc2\xbb").size(), 1u);
}

#endif

}  // namespace
