#pragma once

// The names under which LV2 hosts know Skarvel: the plug-in, its editor, the keys of its saved
// state and the folders of its factory presets and banks. Hosts store these in their sessions,
// so they never change.
namespace lv2 {

#define SKARVEL_LV2_URI "https://www.brenmoor.example/plugins/skarvel"

inline constexpr const char* kPluginUri = SKARVEL_LV2_URI;
inline constexpr const char* kUiUri = SKARVEL_LV2_URI "#ui";
// State: the current program as YAML text (atom:String), its preset list's name (atom:String)
// and its position in that list (atom:Int).
inline constexpr const char* kStateProgramUri = SKARVEL_LV2_URI "#program";
inline constexpr const char* kStateListUri = SKARVEL_LV2_URI "#list";
inline constexpr const char* kStatePositionUri = SKARVEL_LV2_URI "#position";
// Factory presets are <kPresetUriBase><bank>/<name>, their banks <kBankUriBase><bank>.
inline constexpr const char* kPresetUriBase = SKARVEL_LV2_URI "/presets/";
inline constexpr const char* kBankUriBase = SKARVEL_LV2_URI "/banks/";

#undef SKARVEL_LV2_URI

}  // namespace lv2
