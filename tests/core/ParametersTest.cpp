#include <gtest/gtest.h>
#include <set>
#include <string>

#include "Frameworks/Core/Assert.h"
#include "Frameworks/Core/Parameters.h"
#include "source/SkarvelParameterTable.h"

namespace {

core::Parameters filledRegistry() {
  core::Parameters registry;
  for (int id = 0; id < skarvel::kParameterCount; ++id)
    registry.addParameter(id, std::string(skarvel::kParameterTable[id].name),
                          skarvel::kParameterTable[id].defaultValue);
  return registry;
}

TEST(Parameters, TableHasTheHostVisibleNamesInIdOrder) {
  const core::Parameters registry = filledRegistry();
  ASSERT_EQ(registry.count(), 36u);
  EXPECT_EQ(registry.definition(2).name, "AM");
  EXPECT_EQ(registry.definition(12).name, "FM");
  EXPECT_EQ(registry.definition(35).name, "RateScaleUp");
  for (std::uint64_t id = 0; id < registry.count(); ++id) {
    const core::ParameterDefinition& definition = registry.definition(id);
    EXPECT_EQ(definition.id, id);
    EXPECT_TRUE(definition.label.empty()) << definition.name;
    EXPECT_TRUE(definition.secondName.empty()) << definition.name;
    EXPECT_EQ(definition.minimum, 0.0f);
    EXPECT_EQ(definition.maximum, 1.0f);
    EXPECT_FALSE(definition.labelFromEngine);
  }
}

TEST(Parameters, NewProgramDefaults) {
  const core::Parameters registry = filledRegistry();
  const std::set<std::string> ones{"Osc1", "Osc2", "Dry_Wet"};
  const std::set<std::string> zeros{"Smooth",  "ADSR2Level", "QFilters",   "ReverbOn",
                                    "StrEnh",  "BPMelody",   "RateScaleUp"};
  for (std::uint64_t id = 0; id < registry.count(); ++id) {
    const core::ParameterDefinition& definition = registry.definition(id);
    float expected = 0.5f;
    if (definition.name == "Velosens") expected = 0.731f;
    if (ones.count(definition.name)) expected = 1.0f;
    if (zeros.count(definition.name)) expected = 0.0f;
    EXPECT_EQ(definition.defaultValue, expected) << definition.name;
  }
  EXPECT_DOUBLE_EQ(static_cast<double>(registry.definition(18).defaultValue), 0.7310000061988831);
}

TEST(Parameters, FindByName) {
  const core::Parameters registry = filledRegistry();
  EXPECT_EQ(registry.findByName("LP-HP3"), 11);
  EXPECT_EQ(registry.findByName("lp-hp3"), -1);
  EXPECT_EQ(registry.findByName(""), -1);
}

// One or more digits in GoogleTest's death-test patterns (Windows has only its simple syntax).
#ifdef _WIN32
#define SKARVEL_DIGITS "\\d"
#else
#define SKARVEL_DIGITS "[0-9]"
#endif

TEST(ParametersDeathTest, OutOfOrderAdditionNamesConditionFileAndLine) {
  EXPECT_DEATH(
      {
        core::Parameters registry;
        registry.addParameter(1, "Rate1", 0.5f);
      },
      "\"m_definitions.size\\(\\) - 1 == id\" failed in Frameworks/Core/Parameters, line " SKARVEL_DIGITS "+");
}

TEST(Assertions, ReleaseModeReportsAndContinues) {
  core::setAssertionsAbort(false);
  testing::internal::CaptureStderr();
  core::Parameters registry;
  const core::ParameterDefinition& none = registry.definition(5);
  const std::string report = testing::internal::GetCapturedStderr();
  core::setAssertionsAbort(true);
  EXPECT_TRUE(none.name.empty());
  EXPECT_NE(report.find("\"id < m_definitions.size()\" failed in Frameworks/Core/Parameters"),
            std::string::npos)
      << report;
}

}  // namespace
