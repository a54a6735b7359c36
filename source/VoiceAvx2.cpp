// The voices' group on eight AVX2 lanes. This file alone is compiled for AVX2 (without fused
// multiply-add, which would round differently from the other lane types); the engine calls it
// only where the processor has AVX2. Everything it instantiates has internal linkage, so no code
// compiled here can stand in for the baseline code elsewhere.
#if defined(__AVX2__)

#include "source/VoiceKernel.h"

namespace skarvel {

void renderVoiceGroupAvx2(VoiceGroupJob& job) { renderVoiceLanes<lanes::Float8>(job); }

}  // namespace skarvel

#endif
