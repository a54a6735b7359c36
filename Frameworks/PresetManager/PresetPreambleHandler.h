#pragma once

#include <memory>

#include "Program.h"
#include "YamlKeyValueHandler.h"

namespace presets {

class ProgramFactory;

// The "Preset" mapping of a preset document: product, version, format and name. When the
// mapping is complete a program with the parameters' default values is created and named;
// a missing name or format fails the read.
class PresetPreambleHandler : public YamlKeyValueHandler {
 public:
  explicit PresetPreambleHandler(ProgramFactory& factory);

  bool endStep(YamlDocumentReader& reader) override;

  // The program created at the end of the step; the caller takes it once the whole read passed.
  std::unique_ptr<Program> takeProgram() { return std::move(m_program); }

 private:
  ProgramFactory& m_factory;
  std::unique_ptr<Program> m_program;
};

}  // namespace presets
