#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace presets {

// The per-instance diagnostic log: one text line per report, in the order appended. Readers
// and writers of presets and themes explain every failure here instead of showing a dialog;
// the editor shows the lines in its log viewer and may save them. Used from the user-interface
// thread only.
class MessageList {
 public:
  void append(const std::string& line) { m_lines.push_back(line); }

  std::size_t count() const { return m_lines.size(); }
  // Line `index`; an index at or beyond count() answers an empty text.
  const std::string& line(std::size_t index) const;
  const std::vector<std::string>& lines() const { return m_lines; }

  // The suggested file name: product name, "-Messages-", local date and time as
  // YYYY-MM-DD-HH-MM-SS, ".txt".
  static std::string defaultFileName();

  // Appends every line, each followed by a line feed, to the file at `path` (an existing file
  // keeps its content). False when the file cannot be opened or written.
  bool saveTo(const std::string& path) const;

 private:
  std::vector<std::string> m_lines;
};

}  // namespace presets
