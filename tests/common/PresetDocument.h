// Preset documents as the plug-in writes them (its chunk, its preset files), built and read by
// the tests that drive the module from outside and so cannot use the plug-in's own reader.
#pragma once

#include <charconv>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace testdocs {

// A preset document with the given name and values by parameter name.
inline std::string presetDocument(const std::string& name, const std::vector<std::pair<std::string, float>>& values) {
  std::string text = "---\nPreset:\n  product: Skarvel\n  version: 1.0.0\n  format: 1\n  name: " + name + "\nParams:\n";
  // A preset needs a Params mapping; Rate1 at its default stands in for "all defaults".
  if (values.empty()) text += "  Rate1: 0.5\n";
  for (const auto& [key, value] : values) {
    char number[32];
    const auto result = std::to_chars(number, number + sizeof number, value);
    text += "  " + key + ": " + std::string(number, result.ptr) + "\n";
  }
  return text;
}

// The value of `key` in a preset document's Params mapping, or NaN when absent.
inline float documentValue(const std::string& document, const std::string& key) {
  const std::string needle = "\n  " + key + ": ";
  const std::size_t at = document.find(needle);
  if (at == std::string::npos) return std::nanf("");
  float value = std::nanf("");
  std::from_chars(document.data() + at + needle.size(), document.data() + document.size(), value);
  return value;
}

}  // namespace testdocs
