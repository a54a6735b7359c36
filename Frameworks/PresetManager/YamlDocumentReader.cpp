#include "YamlDocumentReader.h"

#include "YamlEventHandler.h"
#include "platform/FileSystem.h"

namespace presets {

namespace {
std::string positionLine(std::size_t index, std::size_t line, std::size_t column) {
  return "    near file offset " + std::to_string(index) + ", line " + std::to_string(line + 1) +
         ", col " + std::to_string(column + 1);
}
}  // namespace

YamlDocumentReader::YamlDocumentReader(const unsigned char* data, std::size_t length,
                                       MessageList& messages, const std::string& errorTitle)
    : m_errorTitle(errorTitle), m_sourceName("host chunk"), m_messages(messages) {
  if (!yaml_parser_initialize(&m_parser)) {
    m_messages.append("Failed to initialize YAML parser");
    return;
  }
  m_parserInitialised = true;
  setInput(data, data ? length : 0);
}

YamlDocumentReader::YamlDocumentReader(const std::string& path, MessageList& messages,
                                       const std::string& errorTitle)
    : m_errorTitle(errorTitle), m_sourceName(path), m_messages(messages) {
  if (!yaml_parser_initialize(&m_parser)) {
    m_messages.append("Failed to initialize YAML parser");
    return;
  }
  m_parserInitialised = true;
  // Read whole and in binary: libyaml reads every kind of line break itself, and a file that is
  // too large is refused by its size without reading it.
  switch (platform::readRegularFile(path, kMaxDocumentBytes, m_fileBytes)) {
    case platform::FileRead::Read:
      setInput(m_fileBytes.data(), m_fileBytes.size());
      break;
    case platform::FileRead::TooLarge:
      reportTooLarge();
      break;
    case platform::FileRead::Unreadable:
      m_messages.append("Failed to open file " + path);
      break;
  }
}

YamlDocumentReader::~YamlDocumentReader() {
  if (m_haveEvent) yaml_event_delete(&m_event);
  if (m_parserInitialised) yaml_parser_delete(&m_parser);
}

void YamlDocumentReader::setInput(const unsigned char* data, std::size_t length) {
  if (length > kMaxDocumentBytes) {
    reportTooLarge();
    return;
  }
  // libyaml reads exactly `length` bytes; a null buffer is given as an empty one.
  static const unsigned char empty = 0;
  yaml_parser_set_input_string(&m_parser, data ? data : &empty, length);
  m_ready = true;
}

void YamlDocumentReader::reportTooLarge() {
  m_messages.append(m_errorTitle + " in " + m_sourceName);
  m_messages.append("    The document is larger than " + std::to_string(kMaxDocumentBytes) + " bytes and is not read");
}

bool YamlDocumentReader::readStructure(const std::vector<YamlStructureStep>& steps) {
  if (!m_ready) return false;
  const bool read = runSteps(steps);
  if (m_warnings > kMaxWarnings)
    m_messages.append("    ... and " + std::to_string(m_warnings - kMaxWarnings) + " more warnings for " + m_sourceName);
  return read;
}

bool YamlDocumentReader::runSteps(const std::vector<YamlStructureStep>& steps) {
  for (const YamlStructureStep& step : steps) {
    std::int32_t wanted = step.startType;
    Outcome outcome = Outcome::More;
    while (outcome == Outcome::More) {
      outcome = readEvent(wanted, step.handler, step.endType);
      wanted = 0;  // only a step's first event must have its start type
    }
    if (outcome == Outcome::Done && step.handler && !step.handler->endStep(*this))
      outcome = Outcome::Failed;
    if (outcome == Outcome::Failed) return false;
  }
  return true;
}

YamlDocumentReader::Outcome YamlDocumentReader::readEvent(std::int32_t wantedType,
                                                          YamlEventHandler* handler,
                                                          std::int32_t endType) {
  if (m_haveEvent) {
    yaml_event_delete(&m_event);
    m_haveEvent = false;
  }
  if (!yaml_parser_parse(&m_parser, &m_event)) {
    reportParserError();
    return Outcome::Failed;
  }
  m_haveEvent = true;
  const std::int32_t type = static_cast<std::int32_t>(m_event.type);
  if (endType != 0 && type == endType) return Outcome::Done;
  if (wantedType != 0 && type != wantedType) {
    reportFormatError("Incorrect structure of the configuration data in the file");
    return Outcome::Failed;
  }
  if (handler && !handler->handleEvent(m_event, *this)) return Outcome::Failed;
  return endType == 0 ? Outcome::Done : Outcome::More;
}

void YamlDocumentReader::reportFormatError(const std::string& message) {
  m_messages.append(m_errorTitle + " in " + m_sourceName);
  m_messages.append(positionLine(m_parser.mark.index, m_parser.mark.line, m_parser.mark.column));
  m_messages.append("    " + message);
}

void YamlDocumentReader::reportWarning(const std::string& message) {
  if (++m_warnings <= kMaxWarnings) reportFormatError(message);
}

void YamlDocumentReader::reportParserError() {
  m_messages.append("Parser error #" + std::to_string(static_cast<int>(m_parser.error)) + " in " +
                    m_sourceName);
  switch (m_parser.error) {
    case YAML_READER_ERROR:
      m_messages.append(
          positionLine(m_parser.problem_offset, m_parser.mark.line, m_parser.mark.column));
      break;
    case YAML_SCANNER_ERROR:
    case YAML_PARSER_ERROR:
      m_messages.append(positionLine(m_parser.problem_mark.index, m_parser.problem_mark.line,
                                     m_parser.problem_mark.column));
      break;
    default:
      m_messages.append(positionLine(m_parser.mark.index, m_parser.mark.line, m_parser.mark.column));
      break;
  }
  m_messages.append(std::string("    ") + (m_parser.problem ? m_parser.problem : ""));
  if (m_parser.context) m_messages.append(std::string("    ") + m_parser.context);
}

}  // namespace presets
