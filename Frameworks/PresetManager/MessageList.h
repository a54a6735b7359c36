#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace presets {

// The per-instance diagnostic log: one text line per report, in the order appended. Readers
// and writers of presets and themes explain every failure here instead of showing a dialog;
// the editor shows the lines in its log viewer and may save them. Reports come from the
// user-interface thread, but hosts may also hand over their state (a refused chunk reports here)
// on a worker thread while the log viewer reads: every operation takes the list's own lock, and
// readers get copies. The audio thread never reports here.
//
// The log is bounded: it holds at most kMaxLines lines. When it is full, the oldest lines are
// dropped in batches, and the first line then says how many were dropped. A line longer than
// kMaxLineBytes is cut (at a character boundary) and marked as cut.
class MessageList {
 public:
  static constexpr std::size_t kMaxLines = 10000;
  static constexpr std::size_t kMaxLineBytes = 8192;

  void append(const std::string& line);

  MessageList() = default;
  // Copies take the other list's lines under its lock.
  MessageList(const MessageList& other);
  MessageList& operator=(const MessageList& other);

  std::size_t count() const;
  // Line `index`; an index at or beyond count() answers an empty text.
  std::string line(std::size_t index) const;
  std::vector<std::string> lines() const;

  // Reports are found again by their appending number: the number of lines appended before
  // them over the life of the list, dropped ones included.
  std::uint64_t appendedCount() const;
  // True while the line appended as number `number` is still in the list.
  bool holds(std::uint64_t number) const;
  // The lines appended as number `number` and later that the list still holds.
  std::vector<std::string> linesSince(std::uint64_t number) const;
  // Takes back the lines appended as number `number` and later (a report that repeats one the
  // list still holds).
  void removeSince(std::uint64_t number);

  // The suggested file name: product name, "-Messages-", local date and time as
  // YYYY-MM-DD-HH-MM-SS, ".txt".
  static std::string defaultFileName();

  // Appends every line, each followed by a line feed, to the file at `path` (an existing file
  // keeps its content). False when the file cannot be opened or written.
  bool saveTo(const std::string& path) const;

 private:
  // Lines in m_lines before the first appended line still held: the dropped-lines note.
  std::size_t noteCount() const { return m_dropped > 0 ? 1 : 0; }
  std::size_t heldCount() const { return m_lines.size() - noteCount(); }
  std::size_t indexOf(std::uint64_t number) const;
  void dropOldest();

  mutable std::mutex m_mutex;
  std::vector<std::string> m_lines;
  std::uint64_t m_dropped = 0;  // appended lines no longer held
};

}  // namespace presets
