#pragma once

#include "Frameworks/PresetManager/YamlKeyValueHandler.h"

namespace appearance {

class AppearanceFactory;

// The "Theme" mapping of a theme file: "product", "version", "format" and "name". A theme needs
// a name and some format; when both are there it starts a new theme of that name in the
// factory. The product, the version and the format's value are not examined.
class AppearancePreambleHandler : public presets::YamlKeyValueHandler {
public:
  explicit AppearancePreambleHandler(AppearanceFactory& factory);

  bool endStep(presets::YamlDocumentReader& reader) override;

private:
  AppearanceFactory& m_factory;
};

}  // namespace appearance
