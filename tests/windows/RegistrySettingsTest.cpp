// The registry settings store, checked through the registry functions themselves: key, value
// types and bytes, defaults and the silent failures.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/win32/RegistrySettings.h"
#include "platform/win32/WideText.h"

using platform::RegistrySettings;
using platform::Settings;

namespace {

// A key of its own for every test, removed afterwards.
class RegistrySettingsTest : public testing::Test {
 protected:
  const std::string keyPath =
      "Software\\Brenmoor\\SkarvelTest" + std::to_string(GetCurrentProcessId()) + "-" +
      testing::UnitTest::GetInstance()->current_test_info()->name();
  RegistrySettings settings{keyPath};

  void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, platform::win32::widen(keyPath).c_str()); }

  struct RawValue {
    DWORD type = REG_NONE;
    std::vector<unsigned char> bytes;
  };
  RawValue raw(const char* name) const {
    RawValue value;
    DWORD size = 0;
    const std::wstring key = platform::win32::widen(keyPath);
    const std::wstring wideName = platform::win32::widen(name);
    if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), wideName.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &value.type,
                     nullptr, &size) != ERROR_SUCCESS)
      return RawValue{};
    value.bytes.resize(size);
    RegGetValueW(HKEY_CURRENT_USER, key.c_str(), wideName.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &value.type,
                 value.bytes.data(), &size);
    value.bytes.resize(size);
    return value;
  }
  void setRaw(const char* name, DWORD type, const void* data, DWORD size) const {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, platform::win32::widen(keyPath).c_str(), 0, nullptr, 0,
                              KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, platform::win32::widen(name).c_str(), 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
  }
  bool keyExists() const {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, platform::win32::widen(keyPath).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
      return false;
    RegCloseKey(key);
    return true;
  }
};

}  // namespace

TEST(RegistrySettingsKey, TheProductKeyLivesUnderTheMakerKey) {
  EXPECT_EQ(RegistrySettings::keyPathFor("Skarvel"), "Software\\Brenmoor\\Skarvel");
  const auto store = Settings::forProduct("Skarvel");
  const auto* registry = dynamic_cast<const RegistrySettings*>(store.get());
  ASSERT_NE(registry, nullptr) << "the Windows build keeps its settings in the registry";
  EXPECT_EQ(registry->keyPath(), "Software\\Brenmoor\\Skarvel");
}

TEST_F(RegistrySettingsTest, WithoutAKeyReadsGiveTheDefaultsAndCreateNothing) {
  EXPECT_EQ(settings.readSize(), 1.0f);
  EXPECT_EQ(settings.readText(Settings::kAppearanceNameValue), "");
  EXPECT_EQ(settings.readText(Settings::kAppearanceFileNameValue), "");
  EXPECT_FALSE(keyExists());
}

TEST_F(RegistrySettingsTest, SizeIsStoredAsFourBinaryBytesOfTheFloat) {
  settings.writeSize(1.5f);
  const RawValue value = raw("skin");
  EXPECT_EQ(value.type, static_cast<DWORD>(REG_BINARY));
  ASSERT_EQ(value.bytes.size(), 4u);
  float stored = 0.0f;
  std::memcpy(&stored, value.bytes.data(), 4);
  EXPECT_EQ(stored, 1.5f);
  EXPECT_EQ(RegistrySettings(keyPath).readSize(), 1.5f);
}

TEST_F(RegistrySettingsTest, TextsAreStringsWithTheirTerminatingZeroAndComeBackWhole) {
  const std::string path = "C:\\Users\\Jos\xC3\xA9\\Skarvel\\Appearance\\User\\\xE6\xB7\xB1\xE6\xB5\xB7.yaml";
  settings.writeText(Settings::kAppearanceFileNameValue, path);
  settings.writeText(Settings::kAppearanceNameValue, "");
  const RawValue file = raw("appearanceFileName");
  EXPECT_EQ(file.type, static_cast<DWORD>(REG_SZ));
  const std::wstring wide = platform::win32::widen(path);
  ASSERT_EQ(file.bytes.size(), (wide.size() + 1) * sizeof(wchar_t));
  EXPECT_EQ(file.bytes[file.bytes.size() - 1], 0);
  EXPECT_EQ(file.bytes[file.bytes.size() - 2], 0);
  EXPECT_EQ(raw("appearanceName").bytes.size(), sizeof(wchar_t)) << "the empty text is its zero alone";

  RegistrySettings other(keyPath);
  EXPECT_EQ(other.readText(Settings::kAppearanceFileNameValue), path);
  EXPECT_EQ(other.readText(Settings::kAppearanceNameValue), "");
}

TEST_F(RegistrySettingsTest, OtherValueShapesReadAsTheTableSays) {
  const float half = 0.5f;
  setRaw("skin", REG_DWORD, &half, 4);
  EXPECT_EQ(settings.readSize(), 0.5f) << "the stored type is not checked";
  const unsigned char five[5] = {0, 0, 0, 64, 1};
  setRaw("skin", REG_BINARY, five, 5);
  EXPECT_EQ(settings.readSize(), 1.0f) << "longer than 4 bytes reads as missing";
  setRaw("skin", REG_BINARY, five, 2);
  EXPECT_EQ(settings.readSize(), 1.0f) << "shorter than 4 bytes reads as missing";

  const std::wstring noZero = L"Ember";
  setRaw("appearanceName", REG_SZ, noZero.data(), static_cast<DWORD>(noZero.size() * sizeof(wchar_t)));
  EXPECT_EQ(settings.readText("appearanceName"), "Ember");
  const char bytes[] = "Deep Sea\0tail";
  setRaw("appearanceName", REG_BINARY, bytes, sizeof bytes);
  EXPECT_EQ(settings.readText("appearanceName"), "Deep Sea");
}

TEST_F(RegistrySettingsTest, TextsLongerThan512BytesReadAsMissing) {
  settings.writeText("appearanceName", std::string(511, 'a'));
  EXPECT_EQ(settings.readText("appearanceName"), std::string(511, 'a')) << "511 bytes and the zero fit";
  settings.writeText("appearanceName", std::string(512, 'a'));
  EXPECT_EQ(settings.readText("appearanceName"), "");
  // Two-byte letters: 256 of them are 512 bytes, one too many with the zero.
  std::string letters;
  for (int i = 0; i < 256; ++i) letters += "\xC3\xA9";
  settings.writeText("appearanceName", letters);
  EXPECT_EQ(settings.readText("appearanceName"), "");
}

TEST_F(RegistrySettingsTest, TheLastWriteWins) {
  RegistrySettings first(keyPath);
  RegistrySettings second(keyPath);
  first.writeSize(2.0f);
  second.writeSize(0.75f);
  first.writeText("appearanceName", "One");
  second.writeText("appearanceName", "Two");
  EXPECT_EQ(first.readSize(), 0.75f);
  EXPECT_EQ(first.readText("appearanceName"), "Two");
}
