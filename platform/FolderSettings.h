#pragma once

#include <string>

#include "platform/Settings.h"

namespace platform {

// Settings kept as one small file per value in a folder (the Linux store). A value file holds
// the value's raw bytes: the 4 bytes of the size float, or a text with its terminating zero.
// Each write goes to a temporary file in the same folder that is flushed to disk and then
// renamed over the value, so a reader, even in another process, sees the old or the new value
// whole, never a torn one. The folder (with its parents) is created on the first write.
class FolderSettings : public Settings {
public:
  explicit FolderSettings(std::string folder);

  // $XDG_CONFIG_HOME/Brenmoor/<product>, with $XDG_CONFIG_HOME defaulting to ~/.config (a
  // relative $XDG_CONFIG_HOME is ignored, as the XDG rules say). Empty when no home folder is
  // known; a store on an empty folder reads defaults and writes nothing.
  static std::string userFolder(const std::string& productName);

  const std::string& folder() const { return m_folder; }

  float readSize() const override;
  void writeSize(float sizeIndex) override;
  std::string readText(std::string_view valueName) const override;
  void writeText(std::string_view valueName, std::string_view text) override;

private:
  // Reads at most `limit` bytes of the value into `bytes`; false when the value is missing,
  // unreadable or longer than `limit`.
  bool readValue(std::string_view valueName, std::size_t limit, std::string& bytes) const;
  void writeValue(std::string_view valueName, const char* data, std::size_t size) const;
  // A value name that could leave the folder or hide as a dot file is never used as a file name.
  static bool isUsableName(std::string_view valueName);

  std::string m_folder;
};

}  // namespace platform
