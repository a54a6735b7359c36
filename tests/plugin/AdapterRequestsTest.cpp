// The requests the adapter sends to the host on behalf of the core and the editor, with the
// arguments hosts read them from.

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "source/plugin/SkarvelPluginFactory.h"
#include "vst2/Vst2Plugin.h"

namespace {

struct Request {
  std::int32_t opcode;
  std::int32_t index;
  std::intptr_t value;
  std::string text;
  float opt;
};

std::vector<Request> g_requests;

std::intptr_t recordingHost(vst2::EffectRecord*, std::int32_t opcode, std::int32_t index, std::intptr_t value,
                            void* ptr, float opt) {
  g_requests.push_back({opcode, index, value, opcode == vst2::host::canDo && ptr ? static_cast<char*>(ptr) : "", opt});
  if (opcode == vst2::host::canDo) return std::strcmp(static_cast<char*>(ptr), "sizeWindow") == 0 ? 1 : -1;
  return opcode == vst2::host::sizeWindow ? 1 : 0;
}

TEST(AdapterRequests, ReachTheHostWithTheirArguments) {
  auto factory = std::make_unique<skarvel::SkarvelPluginFactory>();
  factory->getDspEngine().registerParameters(factory->registry());
  core::PluginCore& core = factory->createPlugin();
  const core::PluginDescription description = factory->description();
  core::Parameters& registry = factory->registry();
  core::DspEngine& engine = factory->getDspEngine();
  auto adapter = std::make_unique<vst2::Vst2Plugin>(recordingHost, std::move(factory), description, registry, core, engine);
  core.attachHost(*adapter);
  g_requests.clear();

  core.parameterChangedFromEditor(7, 0.25f);  // automation: index = id, opt = value
  adapter->beginEdit(7);
  adapter->endEdit(7);
  core.selectProgram(0, 0);  // the same program again: update display, no value changed
  EXPECT_TRUE(adapter->canHostDo("sizeWindow"));
  EXPECT_FALSE(adapter->canHostDo("somethingElse"));
  EXPECT_TRUE(adapter->sizeWindow(1051, 511));

  ASSERT_EQ(g_requests.size(), 7u);
  EXPECT_EQ(g_requests[0].opcode, vst2::host::automate);
  EXPECT_EQ(g_requests[0].index, 7);
  EXPECT_EQ(g_requests[0].opt, 0.25f);
  EXPECT_EQ(g_requests[1].opcode, vst2::host::beginEdit);
  EXPECT_EQ(g_requests[1].index, 7);
  EXPECT_EQ(g_requests[2].opcode, vst2::host::endEdit);
  EXPECT_EQ(g_requests[2].index, 7);
  EXPECT_EQ(g_requests[3].opcode, vst2::host::updateDisplay);
  EXPECT_EQ(g_requests[4].opcode, vst2::host::canDo);
  EXPECT_EQ(g_requests[4].text, "sizeWindow");
  EXPECT_EQ(g_requests[6].opcode, vst2::host::sizeWindow);
  EXPECT_EQ(g_requests[6].index, 1051);
  EXPECT_EQ(g_requests[6].value, 511);

  // The host's close request destroys the adapter and, through it, everything else.
  vst2::EffectRecord* effect = adapter.release()->getEffect();
  EXPECT_EQ(effect->dispatcher(effect, vst2::effect::close, 0, 0, nullptr, 0.0f), 1);
}

}  // namespace
