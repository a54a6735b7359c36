#include "tools/skarvel-audition/PresetGuide.h"

#include <cmath>
#include <cstdio>
#include <iterator>
#include <fstream>
#include <map>
#include <sstream>
#include <string_view>
#include <vector>

#include "tools/skarvel-audition/Bounds.h"
#include "tools/skarvel-audition/FactoryDrafts.h"

namespace audition {

namespace {

constexpr std::string_view kBegin = "<!-- preset guide: written by skarvel-audition --write-guide -->";
constexpr std::string_view kEnd = "<!-- end of preset guide -->";

std::string escaped(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

// A number as the manual writes it: a true minus sign, and small counts in words.
std::string number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", std::fabs(value));
  return (value < 0.0 ? "\u2212" : "") + std::string(text);
}

std::string count(std::size_t n) {
  static const char* const words[] = {"no", "one", "two", "three", "four", "five", "six",
                                      "seven", "eight", "nine", "ten", "eleven", "twelve"};
  return n < std::size(words) ? words[n] : std::to_string(n);
}

std::string pitchText(const Draft& d) {
  if (!d.transpose) return "none";
  switch (*d.transpose) {
    case 0: return "as played";
    case 12: return "an octave up";
    case 24: return "two octaves up";
    case -12: return "an octave down";
    default: break;
  }
  return (*d.transpose > 0 ? "+" : "") + std::to_string(*d.transpose) + " semitones";
}

}  // namespace

std::string presetGuideHtml() {
  std::vector<std::string_view> banks;
  std::map<std::string_view, std::vector<const Draft*>> byBank;
  for (const Draft& d : factoryDrafts()) {
    if (byBank[d.bank].empty()) banks.push_back(d.bank);
    byBank[d.bank].push_back(&d);
  }

  std::ostringstream html;
  html << kBegin << "\n<section id=\"guide\">\n<h2>14. The factory presets</h2>\n"
       << "<p>Skarvel comes with " << factoryDrafts().size() << " presets in " << count(banks.size())
       << " banks. For each preset the guide gives what it sounds like, the keys it is made for "
          "(middle&nbsp;C is C4), where its pitch lies against the key you play, and what velocity "
          "does. Outside its keys a preset still plays, but may lose its character or its tuning.</p>\n"
       << "<ul>\n"
       << "<li><b>Pitch</b>: where the preset's pitch lies against the key you play. There it plays "
          "in tune, within a tenth of a semitone, over its keys at every velocity (once the presets "
          "that glide into their notes have arrived). The melodic presets use the "
          "band-pass melody, which sounds an octave above the key: play them an octave lower than "
          "written. <em>None</em> marks drums, noises and textures without a definite pitch.</li>\n"
       << "<li><b>Level</b>: the presets are matched in loudness, so switching between them keeps the "
          "mix: melodic and sustained presets play at about "
       << number(bounds::kTargetLufs) << "&nbsp;LUFS, drums and hits peak at about " << number(bounds::kTargetPeakDb)
       << "&nbsp;dBFS, and eight keys struck together at full velocity stay below "
       << number(bounds::kChordTruePeak) << "&nbsp;dBTP.</li>\n"
       << "<li><b>Polyphony</b>: every preset's release lets a new four-note chord every two seconds "
          "find free voices, so no note of a chord progression is lost.</li>\n"
       << "</ul>\n";
  for (std::string_view bank : banks) {
    html << "<h3>" << escaped(bank) << "</h3>\n<table>\n"
         << "  <tr><th>preset</th><th>sound</th><th>keys</th><th>pitch</th><th>velocity</th></tr>\n";
    for (const Draft* d : byBank[bank])
      html << "  <tr><td>" << escaped(d->name) << "</td><td>" << escaped(d->sound) << "</td><td class=\"range\">"
           << keyName(d->keys.low) << "&nbsp;–&nbsp;" << keyName(d->keys.high) << "</td><td>" << pitchText(*d)
           << "</td><td>" << (d->velocity.empty() ? std::string("no effect") : escaped(d->velocity)) << "</td></tr>\n";
    html << "</table>\n";
  }
  html << "</section>\n" << kEnd << "\n";
  return html.str();
}

std::string presetGuideIn(const std::string& manual) {
  const auto begin = manual.find(kBegin);
  if (begin == std::string::npos) return {};
  const auto end = manual.find(kEnd, begin);
  if (end == std::string::npos) return {};
  const auto lineEnd = manual.find('\n', end);
  return manual.substr(begin, (lineEnd == std::string::npos ? manual.size() : lineEnd + 1) - begin);
}

bool writePresetGuide(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cannot read '%s'\n", path.c_str());
    return false;
  }
  std::ostringstream text;
  text << in.rdbuf();
  std::string manual = text.str();
  const std::string old = presetGuideIn(manual);
  if (!old.empty()) {
    manual.replace(manual.find(old), old.size(), presetGuideHtml());
  } else {
    const auto main = manual.find("</main>");
    if (main == std::string::npos) {
      std::fprintf(stderr, "'%s' has no </main> to put the preset guide before\n", path.c_str());
      return false;
    }
    manual.insert(main, presetGuideHtml() + "\n");
  }
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << manual;
  if (!out) {
    std::fprintf(stderr, "cannot write '%s'\n", path.c_str());
    return false;
  }
  return true;
}

}  // namespace audition
