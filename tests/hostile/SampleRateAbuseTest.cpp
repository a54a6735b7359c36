// Sample rates no host should send, each followed by rendering: the instrument runs at a rate it
// supports, its output is finite, its display texts stay texts, and a sane rate afterwards gives
// the same sound as an instance that never saw the odd one.

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "HostileHost.h"

namespace hostile {
namespace {

struct Rate {
  const char* name;
  float hz;
};
void PrintTo(const Rate& rate, std::ostream* out) { *out << rate.name; }

class ExtremeSampleRate : public testing::TestWithParam<Rate> {};

TEST_P(ExtremeSampleRate, RendersFiniteSoundAndASaneRateRestoresTheSound) {
  Watchdog watchdog("rendering at an odd sample rate", std::chrono::seconds(60));
  Plugin plugin;
  ASSERT_NE(plugin.effect(), nullptr);
  plugin.start(GetParam().hz, 256);
  plugin.dispatch(vst2::effect::setSampleRate, 0, 0, nullptr, GetParam().hz);  // twice, as some hosts do

  // Display texts depend on the rate (frequencies): still short texts, never "nan" or "inf".
  for (int id = 0; id < 36; ++id) {
    const std::string text = plugin.text(vst2::effect::getParamDisplay, id);
    EXPECT_LE(text.size(), 8u) << id;
    EXPECT_EQ(text.find("nan"), std::string::npos) << id << ": " << text;
    EXPECT_EQ(text.find("inf"), std::string::npos) << id << ": " << text;
  }

  EventList chord({noteOn(0, 36), noteOn(0, 60), noteOn(7, 96)});
  plugin.processEvents(chord.get());
  Stereo audio;
  renderFor(plugin, 16384, audio);
  EXPECT_TRUE(allFinite(audio)) << "non-finite output at " << GetParam().name;
  EXPECT_GT(rms(audio, 4096), 1e-4) << "no sound at " << GetParam().name;

  // Back to 44100 Hz: the sound of an instance that only ever ran at 44100 Hz.
  EventList off({midi(0, 0xB0, 120, 0)});
  plugin.processEvents(off.get());
  Stereo silence;
  renderFor(plugin, 256, silence);
  plugin.suspend();
  plugin.dispatch(vst2::effect::setSampleRate, 0, 0, nullptr, 44100.0f);
  plugin.resume();
  Plugin fresh;
  fresh.start(44100.0f, 256);
  EventList note1({noteOn(0, 60)}), note2({noteOn(0, 60)});
  plugin.processEvents(note1.get());
  fresh.processEvents(note2.get());
  Stereo after, expected;
  renderFor(plugin, 16384, after);
  renderFor(fresh, 16384, expected);
  // Noise-driven notes differ in level from run to run by some tens of percent.
  EXPECT_TRUE(allFinite(after));
  EXPECT_GT(rms(after), 0.5 * rms(expected)) << "the odd rate left the sound changed";
  EXPECT_LT(rms(after), 2.0 * rms(expected)) << "the odd rate left the sound changed";
}

INSTANTIATE_TEST_SUITE_P(HostileSampleRate, ExtremeSampleRate,
                         testing::Values(Rate{"Zero", 0.0f}, Rate{"MinusOne", -1.0f},
                                         Rate{"MinusInfinity", -std::numeric_limits<float>::infinity()},
                                         Rate{"NaN", std::numeric_limits<float>::quiet_NaN()},
                                         Rate{"PlusInfinity", std::numeric_limits<float>::infinity()},
                                         Rate{"OneHertz", 1.0f}, Rate{"Hz8000", 8000.0f},
                                         Rate{"Hz384000", 384000.0f}, Rate{"TwoToThe31", 2147483648.0f},
                                         Rate{"Hz1e12", 1e12f}),
                         [](const testing::TestParamInfo<Rate>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace hostile
