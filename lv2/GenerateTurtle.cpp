// skarvel-lv2-turtle: writes the LV2 bundle's manifest.ttl, Skarvel.ttl and presets.ttl from the
// parameter registry and the factory preset files, read by the plug-in's own preset reader.
//
//   skarvel-lv2-turtle FACTORY_PRESETS_DIR EMPTY_FOLDER OUTPUT_DIR [--no-ui]
//
// EMPTY_FOLDER stands in for the user presets folder (it is created when missing and must hold
// no presets). A factory preset that fails to load fails the build. --no-ui (a build without
// the editor) declares no editor module.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "Frameworks/Core/Parameters.h"
#include "Frameworks/Core/ScopePeakExchange.h"
#include "Frameworks/PresetManager/MessageList.h"
#include "Frameworks/PresetManager/PresetManager.h"
#include "Frameworks/PresetManager/ProgramFactory.h"
#include "lv2/Turtle.h"
#include "source/SkarvelParameterKinds.h"
#include "source/VstSynth.h"
#include "source/plugin/SkarvelPluginFactory.h"

namespace {

std::string folder(const std::string& path) { return !path.empty() && path.back() == '/' ? path : path + "/"; }

bool writeFile(const std::filesystem::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  const bool withUi = !(argc == 5 && std::string(argv[4]) == "--no-ui");
  if (argc != 4 && withUi) {
    std::fputs("usage: skarvel-lv2-turtle FACTORY_PRESETS_DIR EMPTY_FOLDER OUTPUT_DIR [--no-ui]\n", stderr);
    return 2;
  }
  const core::PluginDescription description = skarvel::SkarvelPluginFactory::skarvelDescription();
  core::Parameters registry;
  core::ScopePeakExchange scope;
  skarvel::VstSynth engine(scope);
  engine.registerParameters(registry);

  presets::MessageList messages;
  presets::ProgramFactory programs(registry, description.productName, description.versionText, messages);
  presets::PresetManager manager(programs, presets::PresetFolders{folder(argv[1]), folder(argv[2])});
  manager.loadAll();
  if (!manager.allFilesLoaded()) {
    for (const std::string& line : messages.lines()) std::fprintf(stderr, "%s\n", line.c_str());
    std::fputs("skarvel-lv2-turtle: a factory preset failed to load\n", stderr);
    return 1;
  }

  lv2::TurtleInputs inputs;
  inputs.description = &description;
  inputs.registry = &registry;
  inputs.maker = "Brenmoor";
  if (!withUi) inputs.uiBinary.clear();
  for (int id = 0; id < static_cast<int>(registry.count()); ++id) {
    lv2::PortPresentation presentation;
    presentation.toggle = skarvel::parameterKind(id) == skarvel::ParameterKind::Toggle;
    if (skarvel::parameterKind(id) == skarvel::ParameterKind::Choice)
      for (const skarvel::ParameterChoice& choice : skarvel::kAdsr2LevelChoices)
        presentation.choices.push_back({choice.value, std::string(choice.label)});
    inputs.presentation.push_back(presentation);
  }
  for (const std::string& list : manager.listNames()) {
    // Only presets from files: the "Init" program of an empty folder is no factory preset.
    if (list == presets::kInitList) continue;
    const auto listed = manager.programsInList(list);
    for (std::size_t position = 0; position < listed.size(); ++position) {
      const presets::Program& program = *listed[position];
      lv2::TurtlePreset preset;
      preset.bank = list;
      preset.name = program.name();
      for (std::size_t id = 0; id < registry.count(); ++id) preset.values.push_back(program.value(id));
      preset.document = programs.toYamlText(&program);
      preset.position = position;
      inputs.presets.push_back(preset);
    }
  }

  lv2::TurtleFiles files;
  std::string error;
  if (!lv2::writeTurtle(inputs, files, error)) {
    std::fprintf(stderr, "skarvel-lv2-turtle: %s\n", error.c_str());
    return 1;
  }
  const std::filesystem::path out(argv[3]);
  std::error_code code;
  std::filesystem::create_directories(out, code);
  if (!writeFile(out / "manifest.ttl", files.manifest) || !writeFile(out / "Skarvel.ttl", files.plugin) ||
      !writeFile(out / "presets.ttl", files.presets)) {
    std::fprintf(stderr, "skarvel-lv2-turtle: cannot write into %s\n", argv[3]);
    return 1;
  }
  return 0;
}
