#pragma once

#include <string>
#include <vector>

#include "MidiFile.h"

namespace render {

// A parameter change at a point in time, addressed by the host-visible parameter name.
struct ParameterCue {
  double seconds = 0.0;
  std::string name;
  float value = 0.0f;
};

// The built-in demo phrase: chords under the sustain pedal, a melody over held chords while the
// sound opens up, a band-pass melody, and a noisy texture fading into the reverb (about 13 s).
// The parameter changes name Skarvel's parameters; another instrument ignores those it lacks.
void demoPhrase(MidiSequence& midi, std::vector<ParameterCue>& cues);

}  // namespace render
