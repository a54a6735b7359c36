#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "PresetTestSupport.h"
#include "TempFolder.h"
#include "fuzz/PresetChunkFuzzTarget.h"

namespace {

struct Seed {
  std::string name;
  std::string text;
};

// The corpus: readable presets, and hostile ones named "refused-..." (nesting, aliases and
// collections where a scalar belongs) that the reader must refuse.
std::vector<Seed> seeds() {
  std::vector<Seed> found;
  for (const auto& entry : std::filesystem::directory_iterator(SKARVEL_PRESET_FUZZ_CORPUS))
    found.push_back({entry.path().filename().string(), TempFolder::read(entry.path().string())});
  return found;
}

// The fuzz target's round-trip property over the seed corpus, and a few thousand cheap
// mutations of it, so CI exercises the reader's odd corners without a fuzzing toolchain.
// Inputs go in exactly sized heap buffers, so the sanitizer build catches any read past them.
TEST(PresetChunkFuzzCorpus, SeedsAndTheirMutationsKeepTheRoundTrip) {
  std::vector<std::string> corpus;
  for (const Seed& seed : seeds()) corpus.push_back(seed.text);
  ASSERT_GE(corpus.size(), 5u);
  auto run = [](const std::string& text) {
    std::vector<unsigned char> exact(text.begin(), text.end());
    presetChunkFuzzOne(exact.empty() ? nullptr : exact.data(), exact.size());
  };
  for (const Seed& seed : seeds()) {
    PresetFixture fx;
    const bool hostile = seed.name.rfind("refused-", 0) == 0;
    EXPECT_EQ(fx.readText(seed.text) == nullptr, hostile) << seed.name << "\n" << fx.allMessages();
    run(seed.text);
  }
  std::mt19937 random(1234);
  const std::string alphabet = "-: \n\t\"'#&*!|>{}[],?%@`\\0123456789.eE+naNfix\xC3\xA9\xFF";
  for (int round = 0; round < 4000; ++round) {
    std::string text = corpus[random() % corpus.size()];
    const int edits = 1 + static_cast<int>(random() % 4);
    for (int e = 0; e < edits && !text.empty(); ++e) {
      const std::size_t at = random() % text.size();
      switch (random() % 4) {
        case 0: text[at] = alphabet[random() % alphabet.size()]; break;
        case 1: text.insert(at, 1, alphabet[random() % alphabet.size()]); break;
        case 2: text.erase(at, 1 + random() % 8); break;
        default: text.resize(at); break;
      }
    }
    run(text);
  }
}

}  // namespace
