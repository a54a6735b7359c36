// File-name rules shared by every system's file helpers.

#include <cstring>

#include "platform/FileSystem.h"

namespace platform {

namespace {

bool allDigits(const std::string& text) {
  if (text.empty() || text.size() > 9) return false;  // process ids fit in nine digits
  for (const char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

}  // namespace

unsigned long temporaryFileOwner(const std::string& fileName) {
  // "." + name + "." + process id + "." + serial + ".tmp", with a name of at least one character.
  const char* const suffix = ".tmp";
  const std::size_t suffixSize = std::strlen(suffix);
  if (fileName.size() <= suffixSize || fileName[0] != '.' ||
      fileName.compare(fileName.size() - suffixSize, suffixSize, suffix) != 0)
    return 0;
  const std::string stem = fileName.substr(0, fileName.size() - suffixSize);
  const std::size_t serialDot = stem.rfind('.');
  if (serialDot == std::string::npos || serialDot == 0) return 0;
  const std::string serial = stem.substr(serialDot + 1);
  if (serial.empty() || serial.find_first_not_of("0123456789") != std::string::npos) return 0;
  const std::size_t ownerDot = stem.rfind('.', serialDot - 1);
  if (ownerDot == std::string::npos || ownerDot < 2) return 0;
  const std::string owner = stem.substr(ownerDot + 1, serialDot - ownerDot - 1);
  if (!allDigits(owner)) return 0;
  return std::stoul(owner);
}

}  // namespace platform
