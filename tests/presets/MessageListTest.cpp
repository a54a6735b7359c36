#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <thread>

#ifndef _WIN32
#include <sys/stat.h>
#endif

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

TEST(MessageList, KeepsTheNewestLinesBehindOneNoteOfWhatWasDropped) {
  MessageList list;
  const std::size_t total = 3 * MessageList::kMaxLines + 123;
  std::size_t largest = 0;
  for (std::size_t i = 0; i < total; ++i) {
    list.append("line " + std::to_string(i));
    largest = std::max(largest, list.count());
  }
  EXPECT_EQ(largest, MessageList::kMaxLines);
  EXPECT_EQ(list.lines().back(), "line " + std::to_string(total - 1));
  // Every line after the note is held, in order, up to the newest.
  const std::size_t held = list.count() - 1;
  const std::size_t dropped = total - held;
  EXPECT_EQ(list.line(0), "[" + std::to_string(dropped) + " earlier lines were dropped; the log keeps the newest " +
                              std::to_string(MessageList::kMaxLines) + "]");
  for (std::size_t i = 1; i < list.count(); ++i) ASSERT_EQ(list.line(i), "line " + std::to_string(dropped + i - 1));
  EXPECT_EQ(list.appendedCount(), total);
  EXPECT_FALSE(list.holds(dropped - 1));
  EXPECT_TRUE(list.holds(dropped));
  EXPECT_EQ(list.linesSince(total - 2), (std::vector<std::string>{"line " + std::to_string(total - 2),
                                                                    "line " + std::to_string(total - 1)}));
}

TEST(MessageList, AReportCanBeTakenBackByItsAppendingNumber) {
  MessageList list;
  list.append("before");
  const std::uint64_t mark = list.appendedCount();
  list.append("report 1");
  list.append("report 2");
  EXPECT_EQ(list.linesSince(mark), (std::vector<std::string>{"report 1", "report 2"}));
  list.removeSince(mark);
  EXPECT_EQ(list.lines(), std::vector<std::string>{"before"});
  EXPECT_EQ(list.appendedCount(), 1u);
  EXPECT_TRUE(list.linesSince(5).empty());
}

TEST(MessageList, OverlongLinesAreCutAtACharacterBoundary) {
  MessageList list;
  // Two-byte characters placed so that the limit falls inside one.
  std::string letters = "x";
  while (letters.size() < MessageList::kMaxLineBytes + 10) letters += "\xc3\xa9";
  list.append(letters);
  const std::string& cut = list.line(0);
  const std::string tail = " [line cut]";
  ASSERT_GT(cut.size(), tail.size());
  EXPECT_EQ(cut.substr(cut.size() - tail.size()), tail);
  const std::string kept = cut.substr(0, cut.size() - tail.size());
  EXPECT_LE(kept.size(), MessageList::kMaxLineBytes);
  EXPECT_EQ(kept, letters.substr(0, kept.size()));
  EXPECT_EQ(kept.size() % 2, 1u) << "no half character is kept";
}

#ifndef _WIN32
TEST(MessageList, SavingToAPipeFailsAtOnceInsteadOfWaitingForAReader) {
  TempFolder folder;
  const std::string pipe = folder / "log.txt";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  MessageList list;
  list.append("line");
  EXPECT_FALSE(list.saveTo(pipe));
}
#endif

// A host may hand over its state on a worker thread (a refused chunk reports here) while the
// editor's log viewer copies the lines: readers always see whole lines, and nothing is lost.
TEST(MessageList, ReportsFromAWorkerThreadAndTheViewersReadsNeverMeetHalfDone) {
  MessageList list;
  constexpr int kReports = 4000;
  std::thread writer([&list] {
    for (int i = 0; i < kReports; ++i) list.append("Preset format error in host chunk " + std::to_string(i));
  });
  std::size_t largest = 0;
  while (largest < static_cast<std::size_t>(kReports)) {
    const std::vector<std::string> seen = list.lines();
    for (const std::string& line : seen) ASSERT_EQ(line.rfind("Preset format error in host chunk ", 0), 0u) << line;
    largest = std::max(largest, seen.size());
    if (list.count() == static_cast<std::size_t>(kReports)) break;
  }
  writer.join();
  ASSERT_EQ(list.count(), static_cast<std::size_t>(kReports));
  EXPECT_EQ(list.line(kReports - 1), "Preset format error in host chunk " + std::to_string(kReports - 1));
  EXPECT_EQ(list.line(kReports), "");
}

}  // namespace
