#pragma once

#include <string>
#include <vector>

#include "DemoPhrase.h"
#include "Lv2Host.h"
#include "PluginHost.h"

namespace lv2host {

struct StereoRender {
  std::vector<float> left;
  std::vector<float> right;
};

// Plays the demo phrase (and a tail) through an instantiated, activated LV2 instrument as a host
// plays automation and MIDI: a parameter change takes effect at the start of the block it falls
// in (its control port, found by the parameter's name, is set before that run), a MIDI event at
// its frame of the block.
StereoRender renderDemoLv2(Lv2Host& host, double rate, int blockSize, double tailSeconds);
// The same through a loaded, started VST 2.4 instrument: the block's parameter changes by
// setParameter before it, as the LV2 plug-in applies its ports (only values that differ, in
// parameter order; the engine is not indifferent to either: KT2Rate1 sets the osc1 key
// tracking that BPMelody switches off), the events through the process-events request.
StereoRender renderDemoVst2(render::PluginHost& host, double rate, int blockSize, double tailSeconds);

// The first frame at which two renders differ in any bit, or -1 when they are identical
// (renders of different lengths differ at the shorter one's end).
long long firstDifference(const StereoRender& a, const StereoRender& b);

}  // namespace lv2host
