#pragma once

#include <string>
#include <vector>

#include "Frameworks/AppearanceManager/RgbColour.h"

namespace appearance {

// One colour theme: a name and one colour per colour item, in item order.
struct Appearance {
  std::string name;
  std::vector<RgbColour> colours;
  bool readOnly = false;  // true for a theme from the factory folder
  std::string filePath;   // the file it was read from; empty for the built-in default theme
};

}  // namespace appearance
