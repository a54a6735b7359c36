#include "vst2/AudioEffectX.h"

namespace vst2 {

std::intptr_t AudioEffectX::hostVersion(HostCallback host) {
  if (!host) return 0;
  return host(nullptr, host::version, 0, 0, nullptr, 0.0f);
}

}  // namespace vst2
