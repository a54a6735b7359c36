#include "platform/win32/RegistrySettings.h"

#include <windows.h>

#include <cstring>
#include <utility>
#include <vector>

#include "platform/win32/WideText.h"

namespace platform {

namespace {

constexpr const char* kMakerKey = "Software\\Brenmoor\\";

class OpenKey {
 public:
  OpenKey() = default;
  ~OpenKey() {
    if (m_key) RegCloseKey(m_key);
  }
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;
  HKEY* out() { return &m_key; }
  HKEY get() const { return m_key; }

 private:
  HKEY m_key = nullptr;
};

}  // namespace

std::unique_ptr<Settings> Settings::forProduct(const std::string& productName) {
  return std::make_unique<RegistrySettings>(RegistrySettings::keyPathFor(productName));
}

RegistrySettings::RegistrySettings(std::string keyPath) : m_keyPath(std::move(keyPath)) {}

std::string RegistrySettings::keyPathFor(const std::string& productName) { return kMakerKey + productName; }

float RegistrySettings::readSize() const {
  OpenKey key;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, win32::widen(m_keyPath).c_str(), 0, KEY_READ, key.out()) != ERROR_SUCCESS)
    return kDefaultSize;
  // The stored type is not checked; a value of any other length is not a size index.
  unsigned char bytes[sizeof(float)] = {};
  DWORD size = sizeof bytes;
  if (RegQueryValueExW(key.get(), win32::widen(kSizeValue).c_str(), nullptr, nullptr, bytes, &size) != ERROR_SUCCESS ||
      size != sizeof bytes)
    return kDefaultSize;
  float sizeIndex = kDefaultSize;
  std::memcpy(&sizeIndex, bytes, sizeof sizeIndex);
  return sizeIndex;
}

void RegistrySettings::writeSize(float sizeIndex) {
  unsigned char bytes[sizeof sizeIndex];
  std::memcpy(bytes, &sizeIndex, sizeof sizeIndex);
  writeValue(kSizeValue, REG_BINARY, bytes, sizeof bytes);
}

std::string RegistrySettings::readText(std::string_view valueName) const {
  OpenKey key;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, win32::widen(m_keyPath).c_str(), 0, KEY_READ, key.out()) != ERROR_SUCCESS)
    return "";
  const std::wstring name = win32::widen(valueName);
  // Room for the longest allowed text in UTF-16 (at most one unit per UTF-8 byte) and one unit
  // more, so a longer value is told apart from one that fits.
  std::vector<unsigned char> data((kTextLimit + 1) * sizeof(wchar_t));
  DWORD size = static_cast<DWORD>(data.size());
  DWORD type = REG_NONE;
  if (RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, data.data(), &size) != ERROR_SUCCESS) return "";
  std::string text;
  if (type == REG_SZ || type == REG_EXPAND_SZ) {
    std::wstring wide(size / sizeof(wchar_t), L'\0');
    std::memcpy(wide.data(), data.data(), wide.size() * sizeof(wchar_t));
    const std::size_t zero = wide.find(L'\0');
    if (zero != std::wstring::npos) wide.resize(zero);
    text = win32::narrow(wide);
  } else {
    // Raw bytes (a value written by hand as binary): the text up to its first zero byte.
    text.assign(reinterpret_cast<const char*>(data.data()), size);
    const std::size_t zero = text.find('\0');
    if (zero != std::string::npos) text.resize(zero);
  }
  // The limit counts the text's UTF-8 bytes and its terminating zero.
  if (text.size() + 1 > kTextLimit) return "";
  return text;
}

void RegistrySettings::writeText(std::string_view valueName, std::string_view text) {
  const std::wstring wide = win32::widen(text);
  // The string with its terminating zero.
  writeValue(valueName, REG_SZ, wide.c_str(), static_cast<unsigned long>((wide.size() + 1) * sizeof(wchar_t)));
}

void RegistrySettings::writeValue(std::string_view valueName, unsigned long type, const void* data,
                                  unsigned long size) const {
  OpenKey key;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, win32::widen(m_keyPath).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_READ | KEY_CREATE_SUB_KEY | KEY_SET_VALUE, nullptr, key.out(), nullptr) != ERROR_SUCCESS)
    return;
  if (RegSetValueExW(key.get(), win32::widen(valueName).c_str(), 0, type, static_cast<const BYTE*>(data), size) ==
      ERROR_SUCCESS)
    RegFlushKey(key.get());
}

}  // namespace platform
