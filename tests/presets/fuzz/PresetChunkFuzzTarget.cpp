#include "PresetChunkFuzzTarget.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "Frameworks/Core/Parameters.h"
#include "Frameworks/PresetManager/MessageList.h"
#include "Frameworks/PresetManager/PresetManager.h"
#include "Frameworks/PresetManager/PresetValueText.h"
#include "Frameworks/PresetManager/ProgramFactory.h"
#include "source/SkarvelParameterTable.h"

namespace {

const core::Parameters& parameters() {
  static const core::Parameters registry = [] {
    core::Parameters filled;
    for (int id = 0; id < skarvel::kParameterCount; ++id)
      filled.addParameter(id, std::string(skarvel::kParameterTable[id].name),
                          skarvel::kParameterTable[id].defaultValue);
    return filled;
  }();
  return registry;
}

bool sameValue(float a, float b) { return (std::isnan(a) && std::isnan(b)) || a == b; }

void fail(const char* what, const std::string& detail) {
  std::fprintf(stderr, "preset chunk round trip: %s\n%s\n", what, detail.c_str());
  std::abort();
}

}  // namespace

int presetChunkFuzzOne(const std::uint8_t* data, std::size_t size) {
  presets::MessageList messages;
  presets::ProgramFactory factory(parameters(), "Skarvel", "1.0.0", messages);
  // The manager's chunk gate first: it must refuse short or foreign data without reading on.
  presets::PresetManager manager(factory, presets::PresetFolders{"/nonexistent/", "/nonexistent/"});
  manager.addProjectPreset(data, size);

  std::unique_ptr<presets::Program> program = factory.readPresetChunk(data, size);
  if (!program) return 0;
  const std::string text = factory.toYamlText(program.get());
  if (text.empty()) fail("a program read from YAML could not be written", program->name());
  std::unique_ptr<presets::Program> back =
      factory.readPresetChunk(reinterpret_cast<const unsigned char*>(text.data()), text.size());
  if (!back) fail("the written text does not read back", text);
  if (back->name() != program->name()) fail("the name changed", text);
  for (std::size_t id = 0; id < program->parameterCount(); ++id) {
    // Six significant digits are what the format keeps; compare at that precision.
    const float written = presets::parsePresetValue(presets::formatPresetValue(program->value(id)).c_str());
    if (!sameValue(back->value(id), written) && !sameValue(back->value(id), program->value(id)))
      fail("a value changed", text);
  }
  if (factory.toYamlText(back.get()) != text) fail("writing again gives different text", text);
  return 0;
}
