#pragma once

#include <string>

#include <gtest/gtest.h>

#include "Frameworks/AppearanceManager/AppearanceFactory.h"
#include "Frameworks/AppearanceManager/ColourItems.h"
#include "Frameworks/PresetManager/MessageList.h"
#include "TempFolder.h"

// A theme file with the usual preamble and the given body of the "Appearance" mapping (block
// style, each line indented by two spaces).
inline std::string themeText(const std::string& name, const std::string& appearanceBody) {
  return "Theme:\n  product: Skarvel\n  version: 1.0.0\n  format: 1\n  name: " + name + "\nAppearance:\n" +
         appearanceBody;
}

// Real files in a temporary folder, a message list and a factory with the editor's items.
class ThemeFixture : public testing::Test {
protected:
  ThemeFixture() { appearance::registerColourItems(factory); }

  std::string messagesText() const {
    std::string text;
    for (const auto& line : messages.lines()) text += line + "\n";
    return text;
  }
  std::string lastMessage() const { return messages.count() ? messages.line(messages.count() - 1) : ""; }

  TempFolder temp;
  presets::MessageList messages;
  appearance::AppearanceFactory factory{messages};
};
