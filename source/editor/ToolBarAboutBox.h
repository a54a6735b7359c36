#pragma once

#include <string>
#include <vector>

namespace skarvel {

// What the credits dialog shows: up to nine lines of text and the manual's file name (an empty
// name shows no manual link).
struct AboutBox {
  static constexpr std::size_t kMaxLines = 9;
  static constexpr std::size_t kMaxLineLength = 1023;

  std::vector<std::string> lines;
  std::string manualFileName;
};

// Skarvel's own credits, with the manual "Skarvel.html".
const AboutBox& skarvelAboutBox();

}  // namespace skarvel
