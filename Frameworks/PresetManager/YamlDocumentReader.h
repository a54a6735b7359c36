#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <yaml.h>

#include "MessageList.h"
#include "YamlStructureStep.h"

namespace presets {

// Reads one small YAML document by checking libyaml's event stream against a list of
// structure steps and handing each step's events to its handler. Nothing is built as a tree.
// Every problem is appended to the message list with the source name and the position, and
// reading stops at the first error. One reader serves one read and lives on the caller's stack.
//
// A document larger than kMaxDocumentBytes is refused before parsing: preset and theme
// documents are about a kilobyte, and libyaml needs around a tenth of a second per megabyte even
// for plain text, which the host's thread must not wait for. Handlers accept nested mappings or
// sequences only where their document has them, so deep nesting (whose cost grows with the
// square of its depth inside libyaml) is refused at its first level.
class YamlDocumentReader {
 public:
  // Largest document read, in bytes.
  static constexpr std::size_t kMaxDocumentBytes = 64 * 1024;
  // Warnings reported for one document; later ones are counted in one closing line only.
  static constexpr unsigned kMaxWarnings = 100;

  // Memory input. The buffer is not copied and must outlive the read; the source name is
  // "host chunk".
  YamlDocumentReader(const unsigned char* data, std::size_t length, MessageList& messages,
                     const std::string& errorTitle = "Preset format error");
  // File input from `path`, which must be a regular file; it is read whole before parsing.
  YamlDocumentReader(const std::string& path, MessageList& messages,
                     const std::string& errorTitle = "Format error");
  ~YamlDocumentReader();

  YamlDocumentReader(const YamlDocumentReader&) = delete;
  YamlDocumentReader& operator=(const YamlDocumentReader&) = delete;

  // Runs the steps in order; true when all of them passed. A reader that could not be set up
  // fails at once without further messages. Events after the last step are never read.
  bool readStructure(const std::vector<YamlStructureStep>& steps);

  // Appends the three lines of a format error: title and source, position, message.
  void reportFormatError(const std::string& message);
  // A format error that does not stop the read ("Warning: ..."). Only the first kMaxWarnings of a
  // document are reported; readStructure then adds one line saying how many more were left out.
  void reportWarning(const std::string& message);
  // Appends the lines describing libyaml's own failure to deliver an event.
  void reportParserError();

  bool ready() const { return m_ready; }
  const std::string& errorTitle() const { return m_errorTitle; }
  const std::string& sourceName() const { return m_sourceName; }
  MessageList& messages() { return m_messages; }

 private:
  enum class Outcome { More, Done, Failed };
  bool runSteps(const std::vector<YamlStructureStep>& steps);
  Outcome readEvent(std::int32_t wantedType, YamlEventHandler* handler, std::int32_t endType);
  // Checks the size and hands the bytes to the parser; reports and stays not ready otherwise.
  void setInput(const unsigned char* data, std::size_t length);
  void reportTooLarge();

  std::string m_errorTitle;
  std::string m_sourceName;
  MessageList& m_messages;
  yaml_parser_t m_parser{};
  yaml_event_t m_event{};
  bool m_parserInitialised = false;
  bool m_haveEvent = false;
  std::vector<unsigned char> m_fileBytes;  // the whole file, for file input
  bool m_ready = false;
  unsigned m_warnings = 0;
};

}  // namespace presets
