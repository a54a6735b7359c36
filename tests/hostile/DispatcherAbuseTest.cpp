// Every dispatcher request 0 to 80 with odd arguments at every stage of an instance's life, text
// answers into the smallest buffers the interface allows, and odd parameter indexes and values.
// Afterwards the instance must still answer correctly, keep its state and play.

#include <climits>
#include <cmath>
#include <cstring>
#include <limits>

#include <gtest/gtest.h>

#include "HostileHost.h"

#ifdef HOSTILE_ASAN
#include <sanitizer/asan_interface.h>
#endif

namespace hostile {
namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// Where an instance is in its life when the odd requests arrive.
enum class Stage { BeforeOpen, AfterResume, AfterSuspend };
const char* stageName(Stage stage) {
  switch (stage) {
    case Stage::BeforeOpen: return "BeforeOpen";
    case Stage::AfterResume: return "AfterResume";
    case Stage::AfterSuspend: return "AfterSuspend";
  }
  return "";
}
void PrintTo(Stage stage, std::ostream* out) { *out << stageName(stage); }

struct OddArguments {
  std::int32_t index;
  std::intptr_t value;
  bool buffer;  // ptr points to a zeroed buffer instead of being null
  float opt;
};

const OddArguments kOddArguments[] = {
    {0, 0, false, 0.0f},
    {-1, -1, false, kNaN},
    {INT_MIN, std::numeric_limits<std::intptr_t>::min(), false, -kInf},
    {INT_MAX, std::numeric_limits<std::intptr_t>::max(), false, kInf},
    {36, std::intptr_t{1} << 40, true, 1e30f},
    {-7, -1, true, -1e30f},
    {5, 1, true, kNaN},
    {0, 0, true, -0.0f},
};

// Requests whose odd arguments are covered by tests of their own below (sample rates, the key
// requests' opt) or that end the instance (close): the sweep gives them sane values there.
void tame(std::int32_t opcode, OddArguments& args, void*& ptr, std::size_t bufferSize) {
  if (opcode == vst2::effect::setSampleRate) args.opt = 48000.0f;
  if (opcode == vst2::effect::editKeyDown || opcode == vst2::effect::editKeyUp) args.opt = 0.0f;
  // The pointer is the host's parent window: only null or a real window is a valid request.
  if (opcode == vst2::effect::editOpen) ptr = nullptr;
  // The value is the byte count of the data behind the pointer.
  if (opcode == vst2::effect::setChunk && ptr && args.value > static_cast<std::intptr_t>(bufferSize))
    args.value = static_cast<std::intptr_t>(bufferSize);
}

void reachStage(Plugin& plugin, Stage stage) {
  if (stage == Stage::BeforeOpen) return;
  plugin.start();
  if (stage == Stage::AfterSuspend) plugin.suspend();
}

std::vector<float> parameterValues(Plugin& plugin) {
  std::vector<float> values;
  for (int id = 0; id < 36; ++id) values.push_back(plugin.getParameter(id));
  return values;
}

// A held note must sound, and everything rendered must be finite.
void expectPlays(Plugin& plugin, const std::string& context) {
  plugin.dispatch(vst2::effect::setSampleRate, 0, 0, nullptr, 44100.0f);
  plugin.resume();
  EventList note({noteOn(0, 60)});
  plugin.processEvents(note.get());
  Stereo audio;
  renderFor(plugin, 8192, audio);
  EXPECT_TRUE(allFinite(audio)) << context;
  EXPECT_GT(rms(audio, 2048), 1e-4) << context << ": a note played after the odd requests is silent";
}

class EveryOpcode : public testing::TestWithParam<Stage> {};

TEST_P(EveryOpcode, OddArgumentsChangeNothingAndTheInstanceStillPlays) {
  Watchdog watchdog("the dispatcher sweep", std::chrono::seconds(120));
  constexpr std::size_t kBufferSize = 4096;
  for (std::int32_t opcode = 0; opcode <= 80; ++opcode) {
    if (opcode == vst2::effect::close) continue;
    Plugin plugin;
    ASSERT_NE(plugin.effect(), nullptr);
    reachStage(plugin, GetParam());
    const std::string chunkBefore = plugin.chunk();
    const std::vector<float> valuesBefore = parameterValues(plugin);
    const std::string context = "opcode " + std::to_string(opcode);

    for (OddArguments args : kOddArguments) {
      std::vector<unsigned char> buffer(kBufferSize, 0);
      void* ptr = args.buffer ? buffer.data() : nullptr;
      tame(opcode, args, ptr, kBufferSize);
      plugin.dispatch(opcode, args.index, args.value, ptr, args.opt);
      if (ptr) {
        // A text answer is terminated inside the buffer.
        EXPECT_NE(std::memchr(buffer.data(), 0, kBufferSize), nullptr) << context;
      }
    }

    // Nothing in the dispatcher sets a value or a program: the state is what it was.
    EXPECT_EQ(plugin.chunk(), chunkBefore) << context;
    EXPECT_EQ(parameterValues(plugin), valuesBefore) << context;
    EXPECT_EQ(plugin.dispatch(vst2::effect::getVstVersion), 2400) << context;
    EXPECT_EQ(plugin.text(vst2::effect::getParamName, 0), "Rate1") << context;
    char feature[] = "receiveVstEvents";
    EXPECT_EQ(plugin.dispatch(vst2::effect::canDo, 0, 0, feature), 1) << context;
    expectPlays(plugin, context);
  }
}

INSTANTIATE_TEST_SUITE_P(HostileDispatcher, EveryOpcode,
                         testing::Values(Stage::BeforeOpen, Stage::AfterResume, Stage::AfterSuspend),
                         [](const testing::TestParamInfo<Stage>& info) { return std::string(stageName(info.param)); });

// A heap buffer of exactly the size the interface gives a text answer, followed by guard bytes
// that must stay untouched (under AddressSanitizer they are poisoned, so a write is caught at
// once).
class TextBuffer {
 public:
  explicit TextBuffer(std::size_t size) : m_size(size), m_memory(new char[size + kGuard]) {
    std::memset(m_memory.get(), 'x', size + kGuard);
#ifdef HOSTILE_ASAN
    ASAN_POISON_MEMORY_REGION(m_memory.get() + size, kGuard);
#endif
  }
  ~TextBuffer() {
#ifdef HOSTILE_ASAN
    ASAN_UNPOISON_MEMORY_REGION(m_memory.get() + m_size, kGuard);
#endif
  }
  char* data() { return m_memory.get(); }
  bool terminated() const { return std::memchr(m_memory.get(), 0, m_size) != nullptr; }
  bool guardIntact() {
#ifdef HOSTILE_ASAN
    ASAN_UNPOISON_MEMORY_REGION(m_memory.get() + m_size, kGuard);
#endif
    bool intact = true;
    for (std::size_t i = 0; i < kGuard; ++i) intact = intact && m_memory[m_size + i] == 'x';
#ifdef HOSTILE_ASAN
    ASAN_POISON_MEMORY_REGION(m_memory.get() + m_size, kGuard);
#endif
    return intact;
  }

 private:
  static constexpr std::size_t kGuard = 16;
  std::size_t m_size;
  std::unique_ptr<char[]> m_memory;
};

TEST(HostileDispatcher, TextAnswersFitTheSmallestBuffersTheInterfaceAllows) {
  Plugin plugin;
  ASSERT_NE(plugin.effect(), nullptr);
  plugin.start();
  // A name long enough to be cut, so the program-name answers reach their limit.
  ASSERT_TRUE(plugin.setChunk(presetDocument("A program name far longer than any host shows", {})));
  struct Request {
    std::int32_t opcode;
    std::size_t size;  // bytes the host provides, terminator included
  };
  const Request requests[] = {
      {vst2::effect::getProgramName, vst2::kMaxProgramNameLength},
      {vst2::effect::getProgramNameIndexed, vst2::kMaxProgramNameLength},
      {vst2::effect::getParamLabel, vst2::kMaxParameterStringLength + 1},
      {vst2::effect::getParamDisplay, vst2::kMaxParameterStringLength + 1},
      {vst2::effect::getParamName, vst2::kMaxParameterNameLength},
      {vst2::effect::getEffectName, vst2::kMaxEffectNameLength},
      {vst2::effect::getVendorString, vst2::kMaxVendorStringLength},
      {vst2::effect::getProductString, vst2::kMaxProductStringLength},
  };
  // Extreme values make the longest display texts.
  for (const float value : {0.0f, 1.0f, 0.5f, kNaN, -kInf, 1e30f}) {
    for (int id = 0; id < 36; ++id) plugin.setParameter(id, value);
    for (const Request& request : requests) {
      for (const std::int32_t index : {INT_MIN, -1, 0, 1, 5, 17, 35, 36, 1000, INT_MAX}) {
        TextBuffer buffer(request.size);
        plugin.dispatch(request.opcode, index, 0, buffer.data());
        const std::string context = "opcode " + std::to_string(request.opcode) + " index " + std::to_string(index) +
                                    " value " + std::to_string(value);
        EXPECT_TRUE(buffer.terminated()) << context;
        EXPECT_TRUE(buffer.guardIntact()) << context << ": wrote past the " << request.size << "-byte buffer";
      }
    }
  }
  EXPECT_EQ(plugin.programName(), "A program name far long");
}

TEST(HostileDispatcher, OddParameterIndexesAndValuesKeepOutputFiniteAndAChunkRestoresTheValues) {
  Plugin plugin;
  ASSERT_NE(plugin.effect(), nullptr);
  plugin.start();
  const std::string original = plugin.chunk();
  for (const std::int32_t index : {INT_MIN, -1, 36, 64, 1000, INT_MAX}) {
    plugin.setParameter(index, 0.5f);
    EXPECT_TRUE(std::isfinite(plugin.getParameter(index))) << index;
  }
  EXPECT_EQ(plugin.chunk(), original) << "a parameter that does not exist changed the state";

  EventList note({noteOn(0, 60), noteOn(0, 67)});
  plugin.processEvents(note.get());
  Stereo audio;
  for (const float value : {kNaN, kInf, -kInf, -1e30f, 1e30f, -1.0f, 2.0f, 1e-45f}) {
    for (int id = 0; id < 36; ++id) {
      plugin.setParameter(id, value);
      renderBlock(plugin, 7, audio);
    }
    renderFor(plugin, 4096, audio);
  }
  EXPECT_TRUE(allFinite(audio)) << "odd parameter values made the output non-finite";

  // The original values come back whole through the chunk, and the instrument plays them.
  ASSERT_TRUE(plugin.setChunk(original));
  const std::string restored = plugin.chunk();
  for (int id = 0; id < 36; ++id) {
    const std::string name = plugin.text(vst2::effect::getParamName, id);
    EXPECT_EQ(plugin.getParameter(id), documentValue(original, name)) << name;
    EXPECT_EQ(documentValue(restored, name), documentValue(original, name)) << name;
  }
  plugin.resume();
  EventList again({noteOn(0, 60)});
  plugin.processEvents(again.get());
  Stereo after;
  renderFor(plugin, 8192, after);
  EXPECT_TRUE(allFinite(after));
  EXPECT_GT(rms(after, 2048), 1e-4) << "silent after the odd values were replaced";
}

// The key requests carry the key's modifier in opt; a host may leave anything there.
TEST(HostileDispatcher, KeyRequestsWithNonFiniteOptAreHarmless) {
  Plugin plugin;
  ASSERT_NE(plugin.effect(), nullptr);
  plugin.start();
  for (const std::int32_t opcode : {vst2::effect::editKeyDown, vst2::effect::editKeyUp})
    for (const float opt : {kNaN, kInf, -kInf, 1e30f, -1e30f})
      for (const std::intptr_t value : {std::intptr_t{0}, std::intptr_t{-1}, std::numeric_limits<std::intptr_t>::max()})
        plugin.dispatch(opcode, 'a', value, nullptr, opt);
  expectPlays(plugin, "after the key requests");
}

}  // namespace
}  // namespace hostile
