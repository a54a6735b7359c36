// libFuzzer entry point for the host-chunk reader; built by scripts/fuzz-presets.sh.
#include "PresetChunkFuzzTarget.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return presetChunkFuzzOne(data, size);
}
