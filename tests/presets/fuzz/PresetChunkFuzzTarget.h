#pragma once

#include <cstddef>
#include <cstdint>

// Runs one input through the host-chunk path (the "---" check and the preset reader) and, when
// it reads, checks that writing the program and reading the text back gives the same program.
// Aborts on a mismatch; returns 0 as libFuzzer expects.
int presetChunkFuzzOne(const std::uint8_t* data, std::size_t size);
