#pragma once

#include <string>

namespace audition {

// The manual's guide to the factory presets, written from the table of drafts: every bank and
// preset with its one-line description, the keys it is made for, its pitch against the key and
// what velocity does, as an HTML section between two marker comments.
std::string presetGuideHtml();

// The guide as it stands in a manual's text, markers included; empty when it has none.
std::string presetGuideIn(const std::string& manual);

// Writes the guide into the manual at `path`, replacing the one between the markers or, when
// there is none yet, placing it at the end of the main part; false (with the reason on stderr)
// on failure.
bool writePresetGuide(const std::string& path);

}  // namespace audition
