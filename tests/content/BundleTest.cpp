// The bundle folder the build assembles beside the plug-in: every file the editor and the
// preset and theme code look for, and factory folders that mirror data/.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

const fs::path kBundle = SKARVEL_BUNDLE_DIR;
const fs::path kData = SKARVEL_DATA_DIR;

std::string contents(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Relative path to contents of every file below root.
std::map<std::string, std::string> tree(const fs::path& root) {
  std::map<std::string, std::string> files;
  if (!fs::is_directory(root)) return files;
  for (const auto& entry : fs::recursive_directory_iterator(root))
    if (entry.is_regular_file()) files[fs::relative(entry.path(), root).string()] = contents(entry.path());
  return files;
}

}  // namespace

TEST(Bundle, HoldsTheFoldersPicturesAndLabelFont) {
  for (const char* folder : {"Presets/Factory", "Presets/User", "Appearance/Factory", "Appearance/User"})
    EXPECT_TRUE(fs::is_directory(kBundle / folder)) << folder;
  EXPECT_GT(fs::file_size(kBundle / "Skarvel_logo.png"), 0u);
  EXPECT_GT(fs::file_size(kBundle / "Skarvel_tile.png"), 0u);

  // A TrueType font under the name the editor registers, with its licence beside it.
  const std::string font = contents(kBundle / "Fonts/Tahoma_Small.ttf");
  ASSERT_GT(font.size(), 4u);
  EXPECT_EQ(font.substr(0, 4), std::string("\0\1\0\0", 4)) << "TrueType outlines";
  const std::string licence = contents(kBundle / "Fonts/Tahoma_Small-LICENSE.txt");
  EXPECT_NE(licence.find("DejaVu"), std::string::npos);
  EXPECT_NE(licence.find("Bitstream Vera"), std::string::npos) << "the full licence text, not just a notice";
}

TEST(Bundle, FactoryFoldersMirrorTheProjectData) {
  for (const char* folder : {"Appearance/Factory", "Presets/Factory"}) {
    SCOPED_TRACE(folder);
    const auto staged = tree(kBundle / folder);
    EXPECT_EQ(staged, tree(kData / folder));
    if (std::string(folder) == "Appearance/Factory") {
      EXPECT_FALSE(staged.empty());
    }
  }
  if (fs::exists(kData / "Manual/Skarvel.html")) {
    EXPECT_EQ(contents(kBundle / "Skarvel.html"), contents(kData / "Manual/Skarvel.html"));
  }
}
