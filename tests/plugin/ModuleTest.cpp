// The module as a host finds it: entry points, the effect record, instances created and closed.

#include <malloc.h>

#include <cstdio>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "TestHost.h"

namespace {

using namespace plugintest;

TEST(Module, ExportsOnlyTheTwoEntryPoints) {
  const std::string command = "nm -D --defined-only '" + bundleModulePath().string() + "'";
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::set<std::string> names;
  char line[1024];
  while (std::fgets(line, sizeof line, pipe)) {
    std::string text(line);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    const std::size_t space = text.rfind(' ');
    if (space != std::string::npos) names.insert(text.substr(space + 1));
  }
  ASSERT_EQ(pclose(pipe), 0) << command;
  EXPECT_EQ(names, (std::set<std::string>{"VSTPluginMain", "main"}));
}

TEST(Module, MainIsASecondNameForTheEntryPoint) {
  ASSERT_TRUE(bundleModule().loaded());
  using Entry = vst2::EffectRecord* (*)(vst2::HostCallback);
  auto viaMain = reinterpret_cast<Entry>(bundleModule().symbol("main"));
  ASSERT_NE(viaMain, nullptr);
  vst2::EffectRecord* effect = viaMain([](vst2::EffectRecord*, std::int32_t opcode, std::int32_t, std::intptr_t,
                                          void*, float) -> std::intptr_t { return opcode == 1 ? 2400 : 0; });
  ASSERT_NE(effect, nullptr);
  EXPECT_EQ(effect->magic, vst2::kEffectMagic);
  EXPECT_EQ(effect->dispatcher(effect, vst2::effect::close, 0, 0, nullptr, 0.0f), 1);
}

TEST(Module, NoEffectWhenTheHostAnswersZeroToTheVersionRequest) {
  setHostVersionAnswer(0);
  Instance instance(bundleModule());
  setHostVersionAnswer(2400);
  EXPECT_EQ(instance.effect(), nullptr);
}

TEST(Module, EffectRecordDescribesTheInstrument) {
  Instance instance(bundleModule());
  const vst2::EffectRecord* effect = instance.effect();
  ASSERT_NE(effect, nullptr);
  EXPECT_EQ(effect->magic, vst2::fourCharCode('V', 's', 't', 'P'));
  EXPECT_EQ(effect->numPrograms, 1);
  EXPECT_EQ(effect->numParams, 36);
  EXPECT_EQ(effect->numInputs, 0);
  EXPECT_EQ(effect->numOutputs, 2);
  EXPECT_EQ(effect->flags, 1 | 8 | 16 | 32 | 256) << "editor, can mono, replacing, program chunks, synth; no double";
  EXPECT_EQ(effect->initialDelay, 0);
  EXPECT_EQ(effect->uniqueID, vst2::fourCharCode('S', 'k', 'v', 'b'));
  EXPECT_EQ(effect->version, 1);
  EXPECT_EQ(effect->ioRatio, 1.0f);
  EXPECT_NE(effect->dispatcher, nullptr);
  EXPECT_NE(effect->setParameter, nullptr);
  EXPECT_NE(effect->getParameter, nullptr);
  EXPECT_NE(effect->processReplacing, nullptr);
  ASSERT_NE(effect->process, nullptr);
  ASSERT_NE(effect->processDoubleReplacing, nullptr);

  // The two unused process entries exist and leave the buffers alone.
  std::vector<float> left(64, 0.25f), right(64, 0.25f);
  float* outputs[2] = {left.data(), right.data()};
  effect->process(instance.effect(), nullptr, outputs, 64);
  std::vector<double> leftD(64, 0.5), rightD(64, 0.5);
  double* outputsD[2] = {leftD.data(), rightD.data()};
  effect->processDoubleReplacing(instance.effect(), nullptr, outputsD, 64);
  EXPECT_EQ(left[10], 0.25f);
  EXPECT_EQ(leftD[10], 0.5);
}

TEST(Module, HundredInstancesCreateAndCloseWithoutLeaking) {
  const auto createAndClose = [](int count) {
    for (int i = 0; i < count; ++i) {
      Instance instance(bundleModule());
      ASSERT_NE(instance.effect(), nullptr) << "instance " << i;
      if (i % 10 == 0) {
        instance.resume();
        instance.play({{0, 0x90, 60, 100}}, 0.05);
      }
    }
  };
  // The first round settles what the process keeps once (data folders, names, the allocator's
  // own caches), so the second round shows only what each instance leaves behind.
  createAndClose(20);
  const std::size_t before = mallinfo2().uordblks;
  createAndClose(100);
  // Each instance holds megabytes of delay lines; even a few bytes left behind per instance show.
  const std::size_t after = mallinfo2().uordblks;
  EXPECT_LT(after, before + 1024) << "heap in use grew by " << (after - before) << " bytes over 100 instances";
}

TEST(Module, TwoInstancesAreIndependent) {
  Instance first(bundleModule()), second(bundleModule());
  ASSERT_NE(first.effect(), nullptr);
  ASSERT_NE(second.effect(), nullptr);
  const float before = second.getParameter(3);
  first.setParameter(3, before == 0.125f ? 0.25f : 0.125f);
  EXPECT_EQ(second.getParameter(3), before);
  ASSERT_EQ(first.setChunk(presetDocument("Only First", {{"Level", 0.75f}})), 1);
  EXPECT_EQ(first.text(vst2::effect::getProgramName), "Only First");
  EXPECT_NE(second.text(vst2::effect::getProgramName), "Only First");

  // One plays, the other stays silent.
  first.resume();
  second.resume();
  EXPECT_GT(rms(first.play({{0, 0x90, 60, 110}}, 0.3)), 1e-4);
  EXPECT_EQ(rms(second.play({}, 0.3)), 0.0);
}

}  // namespace
