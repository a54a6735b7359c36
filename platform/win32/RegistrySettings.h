#pragma once

#include <string>

#include "platform/Settings.h"

namespace platform {

// The editor's settings in the Windows registry, under HKEY_CURRENT_USER in the key
// "Software\Brenmoor\<product>": "skin" as 4 binary bytes holding the size float, the theme's
// name and file as strings with their terminating zero. Each write creates or opens the key,
// sets the value, flushes the key and closes it again; nothing stays open between calls.
//
// Texts are stored through the wide registry functions, so a theme path with any letters comes
// back as it was written (the plug-in's texts are UTF-8; the ANSI code page could not hold
// them all).
class RegistrySettings : public Settings {
 public:
  explicit RegistrySettings(std::string keyPath);

  // "Software\Brenmoor\<product>".
  static std::string keyPathFor(const std::string& productName);

  const std::string& keyPath() const { return m_keyPath; }

  float readSize() const override;
  void writeSize(float sizeIndex) override;
  std::string readText(std::string_view valueName) const override;
  void writeText(std::string_view valueName, std::string_view text) override;

 private:
  void writeValue(std::string_view valueName, unsigned long type, const void* data, unsigned long size) const;

  std::string m_keyPath;
};

}  // namespace platform
