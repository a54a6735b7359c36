#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <vector>

#include <sys/stat.h>

#include "TempFolder.h"
#include "platform/FileSystem.h"
#include "platform/FolderWalk.h"

namespace {

namespace fs = std::filesystem;

// Records each file as "<folder that holds it>:<file name>", with "<top>" for the walked folder.
class Recorder : public platform::DirTreeCallback {
 public:
  void fileFound(const std::string& path) override {
    files.insert((stack.empty() ? std::string("<top>") : stack.back()) + ":" +
                 platform::lastPathComponent(path));
    paths.push_back(path);
  }
  void folderEntered(const std::string& name) override { stack.push_back(name); }
  void folderLeft() override {
    ASSERT_FALSE(stack.empty());
    stack.pop_back();
  }

  std::set<std::string> files;
  std::vector<std::string> paths;
  std::vector<std::string> stack;
};

TEST(FolderWalk, ListsYamlFilesUnderTheFolderThatDirectlyHoldsThem) {
  TempFolder root;
  for (const char* file : {"a.yaml", ".hidden.yaml", "Pads/b.yaml", "Pads/Soft/c.yaml",
                           "Pads/Soft/Deeper/d.yaml", "Leads/e.yaml", "x.YAML", "y.yml",
                           "z.yaml.bak", ".git/f.yaml", "Pads/.cache/g.yaml"})
    root.write(file, "x");
  Recorder recorder;
  platform::walkFolderTree(root.path(), ".yaml", recorder);
  EXPECT_EQ(recorder.files,
            (std::set<std::string>{"<top>:a.yaml", "<top>:.hidden.yaml", "Pads:b.yaml", "Soft:c.yaml",
                                   "Deeper:d.yaml", "Leads:e.yaml"}));
  EXPECT_TRUE(recorder.stack.empty());
  for (const std::string& path : recorder.paths) {
    EXPECT_EQ(path.rfind(root.path() + "/", 0), 0u) << path;
    EXPECT_EQ(path.find("//"), std::string::npos) << path;
  }
}

TEST(FolderWalk, TrailingSlashOnTheFolderGivesTheSamePaths) {
  TempFolder root;
  root.write("a.yaml", "x");
  Recorder recorder;
  platform::walkFolderTree(root.path() + "/", ".yaml", recorder);
  EXPECT_EQ(recorder.paths, std::vector<std::string>{root / "a.yaml"});
}

TEST(FolderWalk, LinkLoopsEndAndLinkedFoldersAreWalkedOnce) {
  TempFolder root;
  root.write("Pads/b.yaml", "x");
  fs::create_directory_symlink(root.path(), root / "Pads/loop");
  fs::create_directory_symlink(root / "Pads", root / "AlsoPads");
  fs::create_symlink(root / "nowhere.yaml", root / "dangling.yaml");
  ASSERT_EQ(::mkfifo((root / "pipe.yaml").c_str(), 0600), 0);
  Recorder recorder;
  platform::walkFolderTree(root.path(), ".yaml", recorder);
  // Pads is walked once (directly or through its link); the dangling link is reported so the
  // reader can say why it failed; the pipe is skipped.
  EXPECT_EQ(recorder.files.count("<top>:dangling.yaml"), 1u);
  EXPECT_EQ(recorder.files.count("<top>:pipe.yaml"), 0u);
  EXPECT_EQ(recorder.paths.size(), 2u);
}

TEST(FolderWalk, MissingFolderReportsNothing) {
  TempFolder root;
  Recorder recorder;
  platform::walkFolderTree(root / "absent", ".yaml", recorder);
  EXPECT_TRUE(recorder.paths.empty());
}

TEST(FileSystem, AtomicWriteReplacesWholeFilesOnly) {
  TempFolder root;
  const std::string path = root.write("p.yaml", "old");
  EXPECT_TRUE(platform::writeFileAtomically(path, "new text"));
  EXPECT_EQ(TempFolder::read(path), "new text");
  // A folder in the way is never replaced, and no temporary file is left behind.
  fs::create_directory(root / "folder.yaml");
  EXPECT_FALSE(platform::writeFileAtomically(root / "folder.yaml", "x"));
  EXPECT_TRUE(fs::is_directory(root / "folder.yaml"));
  EXPECT_FALSE(platform::writeFileAtomically(root / "missing/p.yaml", "x"));
  EXPECT_EQ(std::distance(fs::directory_iterator(root.path()), fs::directory_iterator()), 2);
  // Writing through a link replaces the file it names and keeps the link.
  fs::create_symlink(path, root / "link.yaml");
  EXPECT_TRUE(platform::writeFileAtomically(root / "link.yaml", "via link"));
  EXPECT_TRUE(fs::is_symlink(root / "link.yaml"));
  EXPECT_EQ(TempFolder::read(path), "via link");
}

TEST(FileSystem, LastPathComponent) {
  EXPECT_EQ(platform::lastPathComponent("a/b.yaml"), "b.yaml");
  EXPECT_EQ(platform::lastPathComponent("a/b/"), "b");
  EXPECT_EQ(platform::lastPathComponent("b"), "b");
  EXPECT_EQ(platform::lastPathComponent("/"), "");
}

}  // namespace
