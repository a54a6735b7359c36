// The value formats of the folder settings, the same on every system: only reading and writing
// a value's bytes (FolderSettings.cpp, one per system) differ.
#include <cstring>

#include "platform/FolderSettings.h"

namespace platform {

float FolderSettings::readSize() const {
  std::string bytes;
  // Exactly the 4 bytes of a float: anything shorter or longer is not a size index.
  if (!readValue(kSizeValue, sizeof(float), bytes) || bytes.size() != sizeof(float)) return kDefaultSize;
  float size = kDefaultSize;
  std::memcpy(&size, bytes.data(), sizeof size);
  return size;
}

void FolderSettings::writeSize(float sizeIndex) {
  char bytes[sizeof sizeIndex];
  std::memcpy(bytes, &sizeIndex, sizeof sizeIndex);
  writeValue(kSizeValue, bytes, sizeof bytes);
}

std::string FolderSettings::readText(std::string_view valueName) const {
  std::string bytes;
  if (!readValue(valueName, kTextLimit, bytes)) return "";
  // The text ends at its first zero byte; a value written without one ends with the file.
  const std::size_t zero = bytes.find('\0');
  if (zero != std::string::npos) bytes.resize(zero);
  return bytes;
}

void FolderSettings::writeText(std::string_view valueName, std::string_view text) {
  std::string bytes(text);
  bytes.push_back('\0');
  writeValue(valueName, bytes.data(), bytes.size());
}

}  // namespace platform
