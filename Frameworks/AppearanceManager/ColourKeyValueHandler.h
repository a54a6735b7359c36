#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "Frameworks/PresetManager/YamlEventHandler.h"

namespace appearance {

class AppearanceFactory;

// The "Appearance" mapping of a theme file: each entry is a colour item name followed by a
// sequence of exactly three components (red, green, blue, decimal 0 to 255), matched event by
// event against a fixed pattern. An unknown item name is only a warning; any other deviation
// stops the read.
class ColourKeyValueHandler : public presets::YamlEventHandler {
public:
  explicit ColourKeyValueHandler(AppearanceFactory& factory);

  bool handleEvent(const yaml_event_t& event, presets::YamlDocumentReader& reader) override;
  bool endStep(presets::YamlDocumentReader&) override { return true; }

  // A component as strtol reads it in base 10: leading white space and a sign are allowed,
  // reading stops at the first non-digit, no digits give 0. Saturates far outside 0..255.
  static long parseComponent(std::string_view text);

private:
  void restartPattern();

  AppearanceFactory& m_factory;
  bool m_opened = false;  // the step's opening mapping start has been seen
  std::size_t m_position = 0;  // the next event expected in the pattern
  std::string m_itemName;
  std::array<long, 3> m_components{};
};

}  // namespace appearance
