#include <gtest/gtest.h>

#include <regex>

#include "Frameworks/PresetManager/MessageList.h"
#include "TempFolder.h"
#include "platform/ProductNames.h"

namespace {

using presets::MessageList;

TEST(MessageList, SavingAppendsLinesAfterExistingContentEveryTime) {
  TempFolder folder;
  const std::string path = folder.write("log.txt", "earlier\n");
  MessageList list;
  list.append("first");
  list.append("second line");
  ASSERT_TRUE(list.saveTo(path));
  ASSERT_TRUE(list.saveTo(path));
  EXPECT_EQ(TempFolder::read(path), "earlier\nfirst\nsecond line\nfirst\nsecond line\n");
}

TEST(MessageList, SavingAnEmptyListCreatesAnEmptyFile) {
  TempFolder folder;
  MessageList list;
  ASSERT_TRUE(list.saveTo(folder / "empty.txt"));
  EXPECT_TRUE(std::filesystem::exists(folder / "empty.txt"));
  EXPECT_EQ(TempFolder::read(folder / "empty.txt"), "");
}

TEST(MessageList, SavingIntoAMissingFolderFailsAndKeepsTheLines) {
  TempFolder folder;
  MessageList list;
  list.append("kept");
  EXPECT_FALSE(list.saveTo(folder / "no/such/folder/log.txt"));
  ASSERT_EQ(list.count(), 1u);
  EXPECT_EQ(list.line(0), "kept");
  EXPECT_EQ(list.line(7), "");
}

TEST(MessageList, DefaultFileNameCarriesProductAndTimestamp) {
  platform::publishProductNames("Skarvel by Brenmoor", "Skarvel");
  const std::string name = MessageList::defaultFileName();
  EXPECT_TRUE(std::regex_match(name, std::regex(R"(Skarvel-Messages-\d{4}-\d\d-\d\d-\d\d-\d\d-\d\d\.txt)")))
      << name;
}

}  // namespace
