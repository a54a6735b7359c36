#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Frameworks/AppearanceManager/Appearance.h"
#include "Frameworks/AppearanceManager/RgbColour.h"

namespace presets {
class MessageList;
}

namespace appearance {

// Knows the editor's colour items and reads theme files into themes. The theme being built is
// held here until the read hands it over, so a failed read never leaves a half-built theme
// anywhere else.
class AppearanceFactory {
public:
  explicit AppearanceFactory(presets::MessageList& messages);
  ~AppearanceFactory();

  // Items are registered once, before the first read, in item order (0, 1, 2, ...).
  void addColourItem(std::size_t itemNum, const std::string& name, RgbColour defaultColour);
  std::size_t colourItemCount() const { return m_colourItemDefinitions.size(); }
  const std::string& colourItemName(std::size_t itemNum) const;
  RgbColour defaultColour(std::size_t itemNum) const;

  // Starts a new theme with every item at its default colour and the loading read-only flag;
  // it becomes the current appearance, the one setColour changes.
  Appearance& createAppearance();
  // Hands the current appearance to the caller (none when there is none).
  std::unique_ptr<Appearance> takeAppearance();
  Appearance* currentAppearance() const { return m_currentAppearance.get(); }

  // Sets the named item of the current appearance; false when the name is not an item.
  bool setColour(const std::string& itemName, RgbColour colour);

  // Reads one theme file; none when it fails (the reasons are in the message list).
  std::unique_ptr<Appearance> readThemeFile(const std::string& path);

  // Whether themes created from now on are read-only (true while reading the factory folder).
  void setLoadingReadOnly(bool readOnly) { m_loadingReadOnly = readOnly; }
  bool loadingReadOnly() const { return m_loadingReadOnly; }

  presets::MessageList& messages() const { return m_messages; }

private:
  struct ColourItemDefinition {
    std::size_t itemNum;
    std::string name;
    RgbColour defaultColour;
  };

  std::vector<ColourItemDefinition> m_colourItemDefinitions;
  std::map<std::string, std::size_t> m_itemNameToIndex;
  bool m_loadingReadOnly = false;
  std::unique_ptr<Appearance> m_currentAppearance;
  presets::MessageList& m_messages;
};

}  // namespace appearance
