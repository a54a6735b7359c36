#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tools/skarvel-audition/Audition.h"

namespace audition {

// The passage a preset is typically played with: it sets the preset's level and is what the
// design tool plays by default.
enum class PhraseKind { Melody, Held, Strikes, Bass, Groove, Drone, Standard };

Phrase phraseFor(PhraseKind kind, const KeyRange& keys);
const char* phraseName(PhraseKind kind);
// The kind named `name` ("melody", "held", ...); false when there is none.
bool phraseKindNamed(std::string_view name, PhraseKind& kind);

// How a preset's level is judged: sustained and melodic sounds by programme loudness, one-shots
// (drums, hits) by their peak.
enum class LevelKind { Loudness, Peak };

// One factory preset as designed: where it is filed, what it is, how it is played, and the
// parameters that differ from a new program's defaults.
struct Draft {
  std::string_view bank;   // the folder it is filed in, which becomes its preset list
  std::string_view name;
  std::string_view sound;  // one line: what it sounds like
  PhraseKind phrase = PhraseKind::Melody;
  KeyRange keys;                 // the keys it is meant for
  // Semitones its pitch lies above the key played; none: no definite pitch.
  std::optional<int> transpose = std::nullopt;
  std::string_view velocity = {};  // what velocity does; empty when it does nothing
  LevelKind level = LevelKind::Loudness;
  double tail = 6.0;        // s it may take to fall silent after the last key is let go
  double note = 1.0;        // s a typical note is held (repeated notes, velocity)
  double pitchFrom = 0.2;   // s after a key is struck from when its pitch is measured ...
  double pitchTo = 2.0;     // ... until when (the key is held this long)
  // Its level moves on its own, slowly and at random (waves, gusts): no two notes are alike, so
  // it is played for longer and not held to repeating itself.
  bool wanders = false;
  std::vector<std::pair<int, float>> settings;  // parameter id, normalised value

  bool pitched() const { return transpose.has_value(); }
  ParameterValues values() const;
};

// The typical passage of a draft: its kind of phrase over its keys.
Phrase phraseFor(const Draft& draft);

// Every factory preset, bank by bank.
const std::vector<Draft>& factoryDrafts();

// The draft with that name, or null.
const Draft* findDraft(std::string_view name);

// File name for a preset name: letters, digits, spaces and "-" kept, everything else dropped.
std::string presetFileName(std::string_view name);

}  // namespace audition
