#include <gtest/gtest.h>

#include "Frameworks/PresetManager/Program.h"

namespace {

using namespace presets;

TEST(Program, EditsMarkEditedOnlyWhenTheValueDiffers) {
  Program program({0.5f, 0.25f});
  program.edit(0, 0.5f);
  EXPECT_FALSE(program.edited());
  program.edit(0, 0.75f);
  EXPECT_TRUE(program.edited());
  program.edit(0, 0.5f);  // back to the initial value: still counts as edited
  EXPECT_TRUE(program.edited());
  EXPECT_EQ(program.initialValue(0), 0.5f);
}

TEST(Program, CompareSelectsWhichSetIsPresented) {
  Program program({0.5f});
  program.edit(0, 0.9f);
  EXPECT_EQ(program.value(0), 0.9f);
  program.select(VALUE_INITIAL);
  EXPECT_EQ(program.value(0), 0.5f);
  program.select(VALUE_CURRENT);
  EXPECT_EQ(program.value(0), 0.9f);
}

TEST(Program, RevertAndCommitMoveValuesBetweenTheSets) {
  Program program({0.5f});
  program.edit(0, 0.9f);
  program.revert();
  EXPECT_EQ(program.currentValue(0), 0.5f);
  EXPECT_FALSE(program.edited());
  program.edit(0, 0.2f);
  program.commit();
  EXPECT_EQ(program.initialValue(0), 0.2f);
  program.setLoadedValue(0, 0.3f);
  EXPECT_EQ(program.initialValue(0), 0.3f);
  EXPECT_EQ(program.currentValue(0), 0.3f);
}

TEST(Program, CopyKeepsEverythingButTheFile) {
  Program program({0.5f, 0.1f});
  program.setName("Pad");
  program.setListName("Strings");
  program.setFilePath("/x/Pad.yaml");
  program.setReadOnly(true);
  program.edit(1, 0.7f);
  program.select(VALUE_INITIAL);
  const std::unique_ptr<Program> twin = program.copy();
  EXPECT_EQ(twin->name(), "Pad");
  EXPECT_EQ(twin->listName(), "Strings");
  EXPECT_EQ(twin->filePath(), "");
  EXPECT_TRUE(twin->readOnly());
  EXPECT_TRUE(twin->edited());
  EXPECT_EQ(twin->selectedValueType(), VALUE_INITIAL);
  EXPECT_EQ(twin->initialValue(1), 0.1f);
  EXPECT_EQ(twin->currentValue(1), 0.7f);
}

TEST(ProgramDeathTest, AnUnknownValueSetIsAnInternalError) {
  Program program({0.5f});
  EXPECT_DEATH(program.select(2), "valueType == VALUE_INITIAL \\|\\| valueType == VALUE_CURRENT");
}

}  // namespace
