#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace platform {

// The editor's per-user settings: the window size index and the chosen colour theme. Every
// instance of the plug-in in every host of the same user shares them; the last write wins.
//
// Every failure is silent: a read that cannot find or use its value returns the default below,
// and a write that cannot be carried out leaves the stored value as it was and reports nothing.
// Called from the user-interface thread only.
class Settings {
public:
  // Value names, shared by every back end.
  static constexpr const char* kSizeValue = "skin";
  static constexpr const char* kAppearanceNameValue = "appearanceName";
  static constexpr const char* kAppearanceFileNameValue = "appearanceFileName";

  // Size index when none is stored (the editor maps it to a window size).
  static constexpr float kDefaultSize = 1.0f;
  // Longest stored text value in bytes, terminating zero included; longer values read as missing.
  static constexpr std::size_t kTextLimit = 512;

  virtual ~Settings() = default;

  // The stored size index (exactly 4 bytes holding a float), or kDefaultSize.
  virtual float readSize() const = 0;
  virtual void writeSize(float sizeIndex) = 0;

  // The stored text up to its first zero byte, or the empty text when the value is missing,
  // unreadable or longer than kTextLimit bytes.
  virtual std::string readText(std::string_view valueName) const = 0;
  // Stores the text with its terminating zero.
  virtual void writeText(std::string_view valueName, std::string_view text) = 0;

  // The current user's settings of the named product, from the maker "Brenmoor".
  static std::unique_ptr<Settings> forProduct(const std::string& productName);
};

}  // namespace platform
