#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "Frameworks/Core/Parameters.h"
#include "Frameworks/Core/PluginDescription.h"

// The bundle's description files, written at build time from the parameter registry and the
// factory presets, so the ports and presets hosts read can never drift from the code.
namespace lv2 {

struct PortChoice {
  float value = 0.0f;
  std::string label;
};

// How a parameter port is presented: a plain 0..1 control, a toggle, or named choices.
struct PortPresentation {
  bool toggle = false;
  std::vector<PortChoice> choices;
};

// A factory preset: its list (the bank), name, values in parameter order, the YAML document the
// plug-in's state holds for it and its position in its list.
struct TurtlePreset {
  std::string bank;
  std::string name;
  std::vector<float> values;
  std::string document;
  std::size_t position = 0;
};

struct TurtleInputs {
  const core::PluginDescription* description = nullptr;
  const core::Parameters* registry = nullptr;
  std::vector<PortPresentation> presentation;  // by parameter id; missing entries are plain
  std::vector<TurtlePreset> presets;
  std::string maker;  // the maker's name, for doap:maintainer
  std::string binary = "Skarvel.so";
  std::string uiBinary = "Skarvel_ui.so";  // empty: a build without the editor declares no UI
};

struct TurtleFiles {
  std::string manifest;  // manifest.ttl
  std::string plugin;    // Skarvel.ttl: the plug-in, its ports and its editor
  std::string presets;   // presets.ttl
};

// Fails (false, with `error`) when two parameters would share a port symbol.
bool writeTurtle(const TurtleInputs& inputs, TurtleFiles& files, std::string& error);

// A Turtle string literal: quoted, with quotes, backslashes and control characters escaped.
std::string turtleString(std::string_view text);
// A float as a Turtle decimal that reads back as the same float ("0.731", "1.0").
std::string turtleDecimal(float value);
// A URI path segment from a name: lower-case letters and digits, other runs as one "-".
std::string uriSegment(std::string_view name);

}  // namespace lv2
