#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tools/skarvel-audition/Audition.h"

namespace audition {

struct Draft;

// A preset as the plug-in reads it from disk.
struct LoadedPreset {
  std::string name;
  ParameterValues values;
};

// Reads a preset file with the plug-in's own reader; nothing (and the reader's messages in
// `messages`, when given) when the file does not load.
std::optional<LoadedPreset> readPresetFile(const std::string& path, std::vector<std::string>* messages = nullptr);

// The preset document the plug-in writes for a program of that name and those values.
std::string presetText(const std::string& name, const ParameterValues& values);

// Writes the draft with the plug-in's own writer to folder/<bank>/<file name>.yaml, creating the
// bank folder; false (with the reason on stderr) on failure.
bool writeDraft(const Draft& draft, const std::string& folder);

}  // namespace audition
