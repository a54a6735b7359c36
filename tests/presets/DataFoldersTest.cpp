#include <gtest/gtest.h>

#include <filesystem>

#include <dlfcn.h>

#include "TempFolder.h"
#include "platform/DataFolders.h"
#include "platform/ModulePath.h"
#include "platform/Notice.h"

namespace {

namespace fs = std::filesystem;

class DataFolders : public ::testing::Test {
 protected:
  void TearDown() override { platform::setDataRootForTesting(""); }
  TempFolder root;
};

TEST_F(DataFolders, FoldersSitBesideTheRootAndUserFoldersAreCreated) {
  platform::setDataRootForTesting(root.path());
  const std::string base = root.path() + "/";
  EXPECT_EQ(platform::dataRoot(), base);
  EXPECT_EQ(platform::factoryPresetsFolder(), base + "Presets/Factory/");
  EXPECT_EQ(platform::factoryThemesFolder(), base + "Appearance/Factory/");
  EXPECT_FALSE(fs::exists(base + "Presets/Factory"));  // shipped folders are never created
  // One level only: the parent folders do not exist yet, so nothing can be created.
  EXPECT_EQ(platform::userPresetsFolder(), base + "Presets/User/");
  EXPECT_FALSE(fs::exists(base + "Presets/User"));
  EXPECT_EQ(platform::dataFilePath("Skarvel_logo.png"), base + "Skarvel_logo.png");
}

TEST_F(DataFolders, UserFoldersAreCreatedOnceWhenTheirParentExists) {
  fs::create_directories(root / "Presets");
  fs::create_directories(root / "Appearance");
  platform::setDataRootForTesting(root.path() + "/");
  EXPECT_EQ(platform::userPresetsFolder(), root.path() + "/Presets/User/");
  EXPECT_EQ(platform::userThemesFolder(), root.path() + "/Appearance/User/");
  EXPECT_TRUE(fs::is_directory(root / "Presets/User"));
  EXPECT_TRUE(fs::is_directory(root / "Appearance/User"));
  // Kept for the process: removing the folder does not make the next call create it again.
  fs::remove(root / "Presets/User");
  platform::userPresetsFolder();
  EXPECT_FALSE(fs::exists(root / "Presets/User"));
}

TEST_F(DataFolders, ShortRootRaisesTheNoticeOncePerFolder) {
  platform::setDataRootForTesting("/q");
  const int before = platform::noticeCount();
  EXPECT_EQ(platform::factoryPresetsFolder(), "/q/Presets/Factory/");
  EXPECT_EQ(platform::factoryPresetsFolder(), "/q/Presets/Factory/");
  EXPECT_EQ(platform::noticeCount(), before + 1);
  platform::factoryThemesFolder();
  EXPECT_EQ(platform::noticeCount(), before + 2);
}

TEST_F(DataFolders, RootIsTheFolderOfTheModuleWithLinksResolved) {
  const std::string real = platform::modulePath();
  ASSERT_FALSE(real.empty());
  EXPECT_TRUE(fs::exists(real));
  EXPECT_EQ(platform::dataRoot(), real.substr(0, real.rfind('/') + 1));

  // A shared object reached through a symbolic link in another folder still reports the
  // folder of its real file, as a plug-in linked into a host's plug-in folder must.
  fs::create_directories(root / "host-plugins");
  const std::string link = root / "host-plugins/probe.so";
  fs::create_symlink(SKARVEL_MODULE_PROBE, link);
  void* module = dlopen(link.c_str(), RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(module, nullptr) << dlerror();
  auto probe = reinterpret_cast<const char* (*)()>(dlsym(module, "skarvelProbeDataRoot"));
  ASSERT_NE(probe, nullptr);
  const std::string probeReal = fs::canonical(SKARVEL_MODULE_PROBE).string();
  EXPECT_EQ(std::string(probe()), probeReal.substr(0, probeReal.rfind('/') + 1));
  dlclose(module);
}

}  // namespace
