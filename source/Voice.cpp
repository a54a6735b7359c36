#include "source/Voice.h"

#include <cmath>

#include "source/VoiceKernel.h"

namespace skarvel {

#if defined(SKARVEL_AVX2_LANES)
// In VoiceAvx2.cpp, compiled for AVX2.
void renderVoiceGroupAvx2(VoiceGroupJob& job);
#endif

void VoiceSettings::setSampleRate(double rate) {
  sampleRate = rate;
  radiansPerHz = 6.2831854820251465f / static_cast<float>(rate);
  // The limit is an eighth of the rate in double; a float rate is above it exactly when it is
  // above the largest float not above it.
  const double limit = rate * 0.125;
  cutoffLimit = static_cast<float>(limit);
  cutoffLimitAbove = static_cast<double>(cutoffLimit) <= limit ? cutoffLimit : std::nextafter(cutoffLimit, 0.0f);
}

namespace {
// Decided once, when the module is loaded.
const bool g_avx2 = voiceLanesAvx2Available();
}  // namespace

bool voiceLanesAvx2Available() {
#if defined(SKARVEL_AVX2_LANES)
  // Also false where the system does not keep the AVX registers across task switches.
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2");
#else
  return false;
#endif
}

void renderVoiceGroup(VoiceGroupJob& job, VoiceLaneKind kind) {
#if defined(__SSE2__)
  using Four = lanes::Float4;
  using EightBaseline = lanes::Pack<lanes::Float4, 2>;
#else
  using Four = lanes::Pack<lanes::Float1, 4>;
  using EightBaseline = lanes::Pack<lanes::Float1, 8>;
#endif
  if (kind == VoiceLaneKind::Automatic) {
    if (job.lanes <= 1)
      kind = VoiceLaneKind::One;
    else if (job.lanes <= 4)
      kind = VoiceLaneKind::Four;
    else
      kind = g_avx2 ? VoiceLaneKind::EightAvx2 : VoiceLaneKind::Eight;
  }
  switch (kind) {
    case VoiceLaneKind::One:
      if (job.lanes <= 1) return renderVoiceLanes<lanes::Float1>(job);
      break;
    case VoiceLaneKind::Four:
      if (job.lanes <= 4) return renderVoiceLanes<Four>(job);
      break;
    case VoiceLaneKind::EightAvx2:
#if defined(SKARVEL_AVX2_LANES)
      if (g_avx2) return renderVoiceGroupAvx2(job);
#endif
      break;
    case VoiceLaneKind::EightScalar:
      return renderVoiceLanes<lanes::Pack<lanes::Float1, 8>>(job);
    default:
      break;
  }
  renderVoiceLanes<EightBaseline>(job);
}

}  // namespace skarvel
