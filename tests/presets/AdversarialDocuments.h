#pragma once

// Hostile YAML documents for the preset and theme readers, each filling a given number of bytes:
// deep flow and block nesting, collections and aliases where a scalar belongs, long keys,
// anchors and tags, huge scalars and comments, and floods of entries. None of them is a
// readable preset or theme. Shared by the preset and appearance tests.

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

#include "Frameworks/PresetManager/MessageList.h"

namespace adversarial {

struct Document {
  std::string name;
  std::string text;
  // The reader must give up within the first bytes of the nesting or alias, wherever it is.
  bool refusedWhereItStarts;
};

// `unit` repeated until the text is `size` bytes long (cut in the last repetition).
inline std::string fill(std::string text, const std::string& unit, std::size_t size) {
  while (text.size() < size) text += unit;
  text.resize(size);
  return text;
}

// The shapes around `head` (a document up to where its first value starts, "name: " or the
// like) and `top` (the document start up to its first keyword's value).
inline std::vector<Document> shapes(const std::string& head, const std::string& keyValueHead,
                                    const std::string& top, std::size_t size) {
  std::vector<Document> documents{
      {"flow mappings in a value", fill(head, "{", size), true},
      {"flow sequences in a value", fill(head, "[", size), true},
      {"mixed flow collections in a value", fill(head, "{a: [", size), true},
      {"flow mappings at the top", fill("---\n", "{", size), true},
      {"flow mappings as the first section", fill(top, "{", size), true},
      {"flow mappings under an unknown key", fill(keyValueHead + "zz: ", "{", size), true},
      {"block sequences in a value", fill(head + "\n    ", "- ", size), true},
      {"aliases as values", fill(head + "&a x\n", "  format: *a\n", size), true},
  };
  std::string block = keyValueHead;
  for (std::size_t depth = 1; block.size() < size; ++depth) block += std::string(2 * depth, ' ') + "k:\n";
  block.resize(size);
  documents.push_back({"block mappings nested by indentation", block, true});
  documents.push_back({"a long key", fill(keyValueHead, "k", size - 4) + ": v\n", false});
  documents.push_back({"a long anchor", fill(head + "&", "a", size - 3) + " x\n", false});
  documents.push_back({"a long tag", fill(head + "!", "t", size - 3) + " x\n", false});
  documents.push_back({"a huge quoted scalar", fill(head + "\"", "a", size - 2) + "\"\n", false});
  documents.push_back({"a huge plain scalar", fill(head, "a ", size - 1) + "\n", false});
  documents.push_back({"a huge comment", fill("---\n#", "x", size - 1) + "\n", false});
  documents.push_back({"a flood of unknown keys", fill(keyValueHead, "  zz: v\n", size), false});
  return documents;
}

// Preset documents of `size` bytes.
inline std::vector<Document> presets(std::size_t size) {
  const std::string preamble = "---\nPreset:\n  product: Skarvel\n  version: 1.0.0\n  format: 1\n";
  std::vector<Document> documents = shapes(preamble + "  name: ", preamble, "---\nPreset: ", size);
  const std::string params = preamble + "  name: P\nParams:\n";
  documents.push_back({"flow sequences as a parameter value", fill(params + "  FM: ", "[", size), true});
  documents.push_back({"flow mappings as a parameter key", fill(params + "  ", "{", size), true});
  // Thousands of well-formed values, then one nested value at the very end.
  documents.push_back({"a flood of values ending in a mapping", fill(params, "  FM: 0.5\n", size - 8) + "  FM: {\n", false});
  return documents;
}

// Theme documents of `size` bytes.
inline std::vector<Document> themes(std::size_t size) {
  const std::string preamble = "---\nTheme:\n  product: Skarvel\n  version: 1.0.0\n  format: 1\n";
  std::vector<Document> documents = shapes(preamble + "  name: ", preamble, "---\nTheme: ", size);
  const std::string colours = preamble + "  name: T\nAppearance:\n";
  documents.push_back({"flow sequences inside a colour", fill(colours + "  graphClipRGB: [", "[", size), true});
  documents.push_back({"flow mappings as a colour", fill(colours + "  graphClipRGB: ", "{", size), true});
  documents.push_back({"flow mappings as a colour name", fill(colours + "  ", "{", size), true});
  documents.push_back(
      {"a flood of colours ending in a mapping", fill(colours, "  graphClipRGB: [1, 2, 3]\n", size - 18) + "  graphClipRGB: {\n", false});
  return documents;
}

// The file offset of the reader's first position line ("    near file offset N, ..."), or
// the text's size when there is none.
inline std::size_t reportedOffset(const presets::MessageList& messages, std::size_t otherwise) {
  const std::string marker = "    near file offset ";
  for (const std::string& line : messages.lines())
    if (line.rfind(marker, 0) == 0) return std::stoul(line.substr(marker.size()));
  return otherwise;
}

// Wall time of `work` in milliseconds.
template <typename Work>
double millisecondsOf(Work&& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// A bound far above a linear read of the largest accepted document on a loaded two-core machine
// under a sanitizer, and far below the seconds that nested input costs a reader that follows it.
constexpr double kGenerousMilliseconds = 1000.0;

// Where a nested or aliased document must have been given up: within libyaml's look-ahead of
// about a thousand characters past the start of the nesting (which begins within the first few
// hundred bytes of every document here), not anywhere near its end.
constexpr std::size_t kEarlyRefusalOffset = 2048;

}  // namespace adversarial
