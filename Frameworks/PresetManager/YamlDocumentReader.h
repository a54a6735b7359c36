#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
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
class YamlDocumentReader {
 public:
  // Memory input. The buffer is not copied and must outlive the read; the source name is
  // "host chunk".
  YamlDocumentReader(const unsigned char* data, std::size_t length, MessageList& messages,
                     const std::string& errorTitle = "Preset format error");
  // File input from `path`.
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
  // Appends the lines describing libyaml's own failure to deliver an event.
  void reportParserError();

  bool ready() const { return m_ready; }
  const std::string& errorTitle() const { return m_errorTitle; }
  const std::string& sourceName() const { return m_sourceName; }
  MessageList& messages() { return m_messages; }

 private:
  enum class Outcome { More, Done, Failed };
  Outcome readEvent(std::int32_t wantedType, YamlEventHandler* handler, std::int32_t endType);

  std::string m_errorTitle;
  std::string m_sourceName;
  MessageList& m_messages;
  yaml_parser_t m_parser{};
  yaml_event_t m_event{};
  bool m_parserInitialised = false;
  bool m_haveEvent = false;
  std::FILE* m_file = nullptr;
  bool m_ready = false;
};

}  // namespace presets
