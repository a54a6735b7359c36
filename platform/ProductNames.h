#pragma once

#include <string>

namespace platform {

// The two process-wide names the plug-in publishes when it is created: the effect name
// ("Skarvel by Brenmoor") and the short product name ("Skarvel"). The diagnostic log's default
// file name reads the product name. Both are empty until published.
void publishProductNames(const std::string& effectName, const std::string& productName);
std::string effectName();
std::string productName();

}  // namespace platform
