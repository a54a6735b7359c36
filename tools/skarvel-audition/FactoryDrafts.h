#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tools/skarvel-audition/Audition.h"

namespace audition {

// The phrase a draft is judged with while it is designed.
enum class PhraseKind { Standard, Held, Strikes, Melody, Bass, Range, LoudChord };

Phrase phraseFor(PhraseKind kind);
const char* phraseName(PhraseKind kind);

// One factory preset as designed: its bank (the folder it is filed in), its name, what it is
// meant to sound like, and the parameters that differ from a new program's defaults.
struct Draft {
  std::string_view bank;
  std::string_view name;
  std::string_view sound;
  PhraseKind phrase;
  std::vector<std::pair<int, float>> settings;  // parameter id, normalised value

  ParameterValues values() const;
};

// Every factory preset, bank by bank.
const std::vector<Draft>& factoryDrafts();

// The draft with that name, or null.
const Draft* findDraft(std::string_view name);

// File name for a preset name: letters, digits, spaces and "-" kept, everything else dropped.
std::string presetFileName(std::string_view name);

}  // namespace audition
