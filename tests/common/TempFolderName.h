#pragma once

#include <filesystem>
#include <random>
#include <string>
#include <system_error>

// Creates a new, empty folder under the system's temporary folder whose name starts with
// `prefix`, and returns its path (empty when none could be made). Unlike mkdtemp it exists on
// every platform the tests run on.
inline std::string makeTempFolder(const std::string& prefix) {
  static std::random_device seed;
  static std::mt19937_64 random(seed());
  const std::filesystem::path base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::filesystem::path candidate = base / (prefix + std::to_string(random() % 1000000000000ULL));
    std::error_code error;
    // create_directory is false for a folder that already exists: then try another name.
    if (std::filesystem::create_directory(candidate, error) && !error) return candidate.string();
  }
  return std::string();
}
