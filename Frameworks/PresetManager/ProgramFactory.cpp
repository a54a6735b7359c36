#include "ProgramFactory.h"

#include <yaml.h>

#include "FloatValueHandler.h"
#include "Frameworks/Core/Assert.h"
#include "PresetPreambleHandler.h"
#include "PresetValueText.h"
#include "ScalarKeywordEventHandler.h"
#include "YamlDocumentReader.h"
#include "platform/FileSystem.h"

namespace presets {

ProgramFactory::ProgramFactory(const core::Parameters& parameters, std::string productText,
                               std::string versionText, MessageList& messages)
    : m_parameters(parameters),
      m_productText(std::move(productText)),
      m_versionText(std::move(versionText)),
      m_messages(messages) {
  for (std::size_t id = 0; id < m_parameters.count(); ++id) {
    const core::ParameterDefinition& definition = m_parameters.definition(id);
    m_paramNameToIndex[definition.secondName.empty() ? definition.name : definition.secondName] = id;
  }
}

std::unique_ptr<Program> ProgramFactory::createProgram() {
  std::vector<float> defaults(m_parameters.count());
  for (std::size_t id = 0; id < defaults.size(); ++id)
    defaults[id] = m_parameters.definition(id).defaultValue;
  auto program = std::make_unique<Program>(std::move(defaults));
  program->setReadOnly(m_loadingReadOnly);
  m_currentProgram = program.get();
  return program;
}

bool ProgramFactory::setParameter(const std::string& key, float value) {
  if (!CORE_CHECK(m_currentProgram)) return false;
  if (!CORE_CHECK(!m_paramNameToIndex.empty())) return false;
  const auto found = m_paramNameToIndex.find(key);
  if (found == m_paramNameToIndex.end()) return false;
  m_currentProgram->setLoadedValue(found->second, value);
  return true;
}

std::unique_ptr<Program> ProgramFactory::readDocument(YamlDocumentReader& reader) {
  ScalarKeywordEventHandler presetKeyword("Preset");
  PresetPreambleHandler preamble(*this);
  ScalarKeywordEventHandler paramsKeyword("Params");
  FloatValueHandler values(*this);
  const std::vector<YamlStructureStep> steps{
      {YAML_STREAM_START_EVENT, 0, nullptr},
      {YAML_DOCUMENT_START_EVENT, 0, nullptr},
      {YAML_MAPPING_START_EVENT, 0, nullptr},
      {YAML_SCALAR_EVENT, 0, &presetKeyword},
      {YAML_MAPPING_START_EVENT, YAML_MAPPING_END_EVENT, &preamble},
      {YAML_SCALAR_EVENT, 0, &paramsKeyword},
      {YAML_MAPPING_START_EVENT, YAML_MAPPING_END_EVENT, &values},
      {YAML_MAPPING_END_EVENT, 0, nullptr},
      {YAML_DOCUMENT_END_EVENT, 0, nullptr},
  };
  const bool ok = reader.readStructure(steps);
  std::unique_ptr<Program> program = preamble.takeProgram();
  if (!ok) {
    // A partly read program never leaves the factory.
    if (m_currentProgram == program.get()) m_currentProgram = nullptr;
    return nullptr;
  }
  return program;
}

std::unique_ptr<Program> ProgramFactory::readPresetFile(const std::string& path) {
  YamlDocumentReader reader(path, m_messages, "Preset format error");
  std::unique_ptr<Program> program = readDocument(reader);
  if (program) program->setFilePath(path);
  return program;
}

std::unique_ptr<Program> ProgramFactory::readPresetChunk(const unsigned char* data, std::size_t length) {
  const bool wasReadOnly = m_loadingReadOnly;
  m_loadingReadOnly = true;
  YamlDocumentReader reader(data, length, m_messages);
  std::unique_ptr<Program> program = readDocument(reader);
  m_loadingReadOnly = wasReadOnly;
  return program;
}

namespace {

int appendToString(void* target, unsigned char* buffer, size_t size) {
  static_cast<std::string*>(target)->append(reinterpret_cast<const char*>(buffer), size);
  return 1;
}

// Drives libyaml's emitter one event at a time and remembers the first failure.
class DocumentEmitter {
 public:
  explicit DocumentEmitter(std::string& output) {
    m_ready = yaml_emitter_initialize(&m_emitter) != 0;
    if (!m_ready) return;
    yaml_emitter_set_output(&m_emitter, appendToString, &output);
    yaml_emitter_set_unicode(&m_emitter, 1);
  }
  ~DocumentEmitter() {
    if (m_ready) yaml_emitter_delete(&m_emitter);
  }
  DocumentEmitter(const DocumentEmitter&) = delete;
  DocumentEmitter& operator=(const DocumentEmitter&) = delete;

  bool failed() const { return m_failed; }
  std::string problem() const { return m_ready && m_emitter.problem ? m_emitter.problem : ""; }

  // `initialised` is the result of the event's initialiser; the event is consumed either way.
  void emit(int initialised, yaml_event_t& event) {
    if (m_failed) {
      if (initialised) yaml_event_delete(&event);
      return;
    }
    if (!m_ready || !initialised) {
      m_failed = true;
      if (initialised) yaml_event_delete(&event);
      return;
    }
    if (!yaml_emitter_emit(&m_emitter, &event)) m_failed = true;  // the emitter frees it
  }

  void scalar(const std::string& text) {
    yaml_event_t event;
    const int initialised = yaml_scalar_event_initialize(
        &event, nullptr, nullptr,
        reinterpret_cast<yaml_char_t*>(const_cast<char*>(text.c_str())),
        static_cast<int>(text.size()), 1, 1, YAML_ANY_SCALAR_STYLE);
    emit(initialised, event);
  }
  void mappingStart(int implicit) {
    yaml_event_t event;
    emit(yaml_mapping_start_event_initialize(&event, nullptr, nullptr, implicit, YAML_ANY_MAPPING_STYLE),
         event);
  }
  void mappingEnd() {
    yaml_event_t event;
    emit(yaml_mapping_end_event_initialize(&event), event);
  }


 private:
  yaml_emitter_t m_emitter{};
  bool m_ready = false;
  bool m_failed = false;
};

}  // namespace

std::string ProgramFactory::toYamlText(const Program* program) {
  if (!program) return std::string();
  std::string output;
  {
    DocumentEmitter emitter(output);
    yaml_event_t event;
    emitter.emit(yaml_stream_start_event_initialize(&event, YAML_UTF8_ENCODING), event);
    emitter.emit(yaml_document_start_event_initialize(&event, nullptr, nullptr, nullptr, 0), event);
    emitter.mappingStart(0);
    emitter.scalar("Preset");
    emitter.mappingStart(1);
    emitter.scalar("product");
    emitter.scalar(m_productText);
    emitter.scalar("version");
    emitter.scalar(m_versionText);
    emitter.scalar("format");
    emitter.scalar("1");
    emitter.scalar("name");
    emitter.scalar(program->name());
    emitter.mappingEnd();
    emitter.scalar("Params");
    emitter.mappingStart(1);
    for (std::size_t id = 0; id < m_parameters.count() && id < program->parameterCount(); ++id) {
      const core::ParameterDefinition& definition = m_parameters.definition(id);
      emitter.scalar(definition.secondName.empty() ? definition.name : definition.secondName);
      emitter.scalar(formatPresetValue(program->value(id)));
    }
    emitter.mappingEnd();
    emitter.mappingEnd();
    emitter.emit(yaml_document_end_event_initialize(&event, 1), event);
    emitter.emit(yaml_stream_end_event_initialize(&event), event);
    if (emitter.failed()) {
      // The emitter stops at its first failure, so one line explains it.
      m_messages.append("Error creating YAML representation for program " + program->name() +
                        "; emitter error: " + emitter.problem());
      return std::string();
    }
  }
  return output;
}

bool ProgramFactory::savePresetFile(const Program& program, const std::string& path) {
  // The text exists in full before the file is touched.
  const std::string text = toYamlText(&program);
  if (text.empty()) return false;
  if (!platform::writeFileAtomically(path, text)) {
    m_messages.append("Failed to create preset file " + path + " for program " + program.name());
    return false;
  }
  return true;
}

void ProgramFactory::setNameAndValues(const std::string& name, const std::vector<float>& oldValues,
                                      const std::vector<int>& slotMap) {
  if (!CORE_CHECK(m_currentProgram)) return;
  m_currentProgram->setName(name);
  for (std::size_t slot = 0; slot < slotMap.size() && slot < oldValues.size(); ++slot) {
    const int id = slotMap[slot];
    if (id < 0) continue;
    if (!CORE_CHECK(static_cast<std::size_t>(id) < m_currentProgram->parameterCount())) continue;
    m_currentProgram->setLoadedValue(static_cast<std::size_t>(id), oldValues[slot]);
  }
}

}  // namespace presets
