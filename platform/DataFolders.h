#pragma once

#include <string>

namespace platform {

// The plug-in's data folders, all beside its own module file and all ending in the system's
// separator ("/" here, "\" on Windows):
//
//   <root>/                      the folder of the module file (links resolved)
//   <root>/Presets/Factory/      shipped presets
//   <root>/Presets/User/         the musician's presets (created if missing)
//   <root>/Appearance/Factory/   shipped themes
//   <root>/Appearance/User/      the musician's themes (created if missing)
//
// Each folder is computed on first use and kept for the life of the process. A root of five
// characters or fewer means the data cannot be where it should be: the notice "Plugin Data not
// found!" is shown (once for each folder computed) and the folders are still formed from it.

std::string dataRoot();
std::string factoryPresetsFolder();
std::string userPresetsFolder();
std::string factoryThemesFolder();
std::string userThemesFolder();
// Any other data file, by its name relative to the root ("Skarvel_logo.png").
std::string dataFilePath(const std::string& relativeName);

// Test seam: points the data root at `root` (a trailing separator is added when missing) and forgets
// every folder computed so far. An empty text returns to the module's own folder.
void setDataRootForTesting(const std::string& root);

}  // namespace platform
