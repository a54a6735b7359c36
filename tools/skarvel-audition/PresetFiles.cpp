#include "tools/skarvel-audition/PresetFiles.h"

#include <cstdio>
#include <filesystem>

#include "Frameworks/Core/Parameters.h"
#include "Frameworks/Core/ScopePeakExchange.h"
#include "Frameworks/PresetManager/MessageList.h"
#include "Frameworks/PresetManager/ProgramFactory.h"
#include "source/VstSynth.h"
#include "tools/skarvel-audition/FactoryDrafts.h"

namespace audition {

namespace {

// The registry as the plug-in fills it: the engine declares its parameters.
const core::Parameters& registry() {
  static const core::Parameters parameters = [] {
    core::Parameters p;
    core::ScopePeakExchange scope;
    skarvel::VstSynth engine(scope);
    engine.registerParameters(p);
    return p;
  }();
  return parameters;
}

}  // namespace

std::optional<LoadedPreset> readPresetFile(const std::string& path, std::vector<std::string>* messages) {
  presets::MessageList log;
  presets::ProgramFactory factory(registry(), "Skarvel", "1.0.0", log);
  factory.setLoadingReadOnly(true);
  const std::unique_ptr<presets::Program> program = factory.readPresetFile(path);
  if (messages) *messages = log.lines();
  if (!program || program->parameterCount() != skarvel::kParameterCount) return std::nullopt;
  LoadedPreset preset{program->name(), {}};
  for (int id = 0; id < skarvel::kParameterCount; ++id) preset.values[id] = program->value(id);
  return preset;
}

namespace {

std::unique_ptr<presets::Program> makeProgram(presets::ProgramFactory& factory, const std::string& name,
                                              const ParameterValues& values) {
  std::unique_ptr<presets::Program> program = factory.createProgram();
  program->setName(name);
  for (int id = 0; id < skarvel::kParameterCount; ++id) program->setLoadedValue(id, values[id]);
  return program;
}

}  // namespace

std::string presetText(const std::string& name, const ParameterValues& values) {
  presets::MessageList log;
  presets::ProgramFactory factory(registry(), "Skarvel", "1.0.0", log);
  const auto program = makeProgram(factory, name, values);
  return factory.toYamlText(program.get());
}

bool writeDraft(const Draft& draft, const std::string& folder) {
  presets::MessageList log;
  presets::ProgramFactory factory(registry(), "Skarvel", "1.0.0", log);
  const auto program = makeProgram(factory, std::string(draft.name), draft.values());

  const std::filesystem::path bank = std::filesystem::path(folder) / std::string(draft.bank);
  std::error_code error;
  std::filesystem::create_directories(bank, error);
  if (error) {
    std::fprintf(stderr, "cannot create '%s': %s\n", bank.c_str(), error.message().c_str());
    return false;
  }
  const std::string path = (bank / (presetFileName(draft.name) + ".yaml")).string();
  if (!factory.savePresetFile(*program, path)) {
    for (const std::string& line : log.lines()) std::fprintf(stderr, "%s\n", line.c_str());
    return false;
  }
  return true;
}

}  // namespace audition
