#pragma once

#include <string>
#include <vector>

namespace winhost {

// Stereo 32-bit float WAV files: what skarvel-render writes with --bits float, so a Windows
// render can be compared with a Linux one sample by sample.
struct FloatAudio {
  int sampleRate = 0;
  int channels = 0;
  std::vector<float> samples;  // interleaved
};

bool writeFloatWav(const std::string& path, const FloatAudio& audio);
// False with a reason for anything but a 32-bit IEEE float WAV (plain or extensible format).
bool readFloatWav(const std::string& path, FloatAudio& audio, std::string& error);

}  // namespace winhost
