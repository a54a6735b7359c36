#pragma once

namespace skarvel {

// The maker's web site: the host's vendor string, the first entry of the editor's options menu
// and its help line all show this one address.
inline constexpr const char* kMakerWebSiteName = "www.brenmoor.example";
inline constexpr const char* kMakerWebSiteUrl = "https://www.brenmoor.example/";

}  // namespace skarvel
