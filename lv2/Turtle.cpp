#include "lv2/Turtle.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>
#include <sstream>

#include "lv2/Lv2Ports.h"
#include "lv2/Lv2Uris.h"

namespace lv2 {

namespace {

const char* const kPrefixes =
    "@prefix atom: <http://lv2plug.in/ns/ext/atom#> .\n"
    "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
    "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
    "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
    "@prefix midi: <http://lv2plug.in/ns/ext/midi#> .\n"
    "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
    "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
    "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
    "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
    "@prefix urid: <http://lv2plug.in/ns/ext/urid#> .\n"
    "@prefix xsd: <http://www.w3.org/2001/XMLSchema#> .\n\n";

std::string uri(std::string_view text) { return "<" + std::string(text) + ">"; }

// The list name as a bank's label: the guillemets of the system's own lists left out.
std::string bankLabel(const std::string& list) {
  const std::string open = "\u00AB", close = "\u00BB";
  if (list.size() > open.size() + close.size() && list.compare(0, open.size(), open) == 0 &&
      list.compare(list.size() - close.size(), close.size(), close) == 0)
    return list.substr(open.size(), list.size() - open.size() - close.size());
  return list;
}

// Preset and bank URIs, unique even when two names reduce to the same segment.
class UriNames {
 public:
  std::string take(const std::string& base) {
    std::string name = base;
    for (int n = 2; !m_used.insert(name).second; ++n) name = base + "-" + std::to_string(n);
    return name;
  }

 private:
  std::set<std::string> m_used;
};

}  // namespace

std::string turtleString(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned>(c));
          out += escaped;
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

std::string turtleDecimal(float value) {
  char text[64];
  const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed);
  std::string out(text, result.ptr);
  if (out.find('.') == std::string::npos) out += ".0";
  return out;
}

std::string uriSegment(std::string_view name) {
  std::string out;
  bool gap = false;
  for (const char c : name) {
    const bool keep = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
    if (keep || (c >= 'A' && c <= 'Z')) {
      if (gap && !out.empty()) out += '-';
      gap = false;
      out += keep ? c : static_cast<char>(c - 'A' + 'a');
    } else {
      gap = true;
    }
  }
  return out.empty() ? std::string("preset") : out;
}

bool writeTurtle(const TurtleInputs& inputs, TurtleFiles& files, std::string& error) {
  const core::PluginDescription& description = *inputs.description;
  const core::Parameters& registry = *inputs.registry;
  const PortLayout ports{static_cast<std::uint32_t>(description.parameterCount)};
  const std::string plugin = uri(kPluginUri);

  // Presets and banks first: their URIs go into the manifest too.
  UriNames presetNames, bankNames;
  std::map<std::string, std::string> banks;  // list name -> bank URI
  std::vector<std::string> presetUris;
  for (const TurtlePreset& preset : inputs.presets) {
    if (!banks.count(preset.bank)) banks[preset.bank] = kBankUriBase + bankNames.take(uriSegment(bankLabel(preset.bank)));
    const std::string bank = uriSegment(bankLabel(preset.bank));
    presetUris.push_back(kPresetUriBase + presetNames.take(bank + "/" + uriSegment(preset.name)));
  }

  std::ostringstream manifest;
  manifest << kPrefixes;
  manifest << plugin << "\n  a lv2:Plugin , lv2:InstrumentPlugin ;\n  lv2:binary " << uri(inputs.binary)
           << " ;\n  rdfs:seeAlso <Skarvel.ttl> .\n\n";
  if (!inputs.uiBinary.empty())
    manifest << uri(kUiUri) << "\n  a ui:X11UI ;\n  ui:binary " << uri(inputs.uiBinary)
             << " ;\n  rdfs:seeAlso <Skarvel.ttl> .\n";
  for (const std::string& preset : presetUris)
    manifest << "\n" << uri(preset) << "\n  a pset:Preset ;\n  lv2:appliesTo " << plugin
             << " ;\n  rdfs:seeAlso <presets.ttl> .\n";

  std::ostringstream body;
  body << kPrefixes;
  body << plugin << "\n  a lv2:Plugin , lv2:InstrumentPlugin ;\n";
  body << "  doap:name " << turtleString(description.effectName) << " ;\n";
  body << "  doap:shortdesc " << turtleString("Noise-driven polyphonic synthesiser") << " ;\n";
  body << "  doap:maintainer [\n    foaf:name " << turtleString(inputs.maker) << " ;\n    foaf:homepage " << uri(description.vendorUrl) << "\n  ] ;\n";
  body << "  lv2:minorVersion 0 ;\n  lv2:microVersion 0 ;\n";
  body << "  lv2:requiredFeature urid:map ;\n";
  body << "  lv2:optionalFeature lv2:hardRTCapable , state:threadSafeRestore ;\n";
  body << "  lv2:extensionData state:interface ;\n";
  if (!inputs.uiBinary.empty()) body << "  ui:ui " << uri(kUiUri) << " ;\n";
  body << "  lv2:port";
  std::set<std::string> symbols;
  for (std::uint32_t id = 0; id < ports.parameterCount; ++id) {
    const core::ParameterDefinition& definition = registry.definition(id);
    const std::string symbol = portSymbol(definition.name);
    if (!symbols.insert(symbol).second) {
      error = "two parameters share the port symbol '" + symbol + "'";
      return false;
    }
    const PortPresentation plain;
    const PortPresentation& presentation = id < inputs.presentation.size() ? inputs.presentation[id] : plain;
    body << (id ? " , " : " ") << "[\n    a lv2:InputPort , lv2:ControlPort ;\n    lv2:index " << id
         << " ;\n    lv2:symbol " << turtleString(symbol) << " ;\n    lv2:name " << turtleString(definition.name)
         << " ;\n    lv2:default " << turtleDecimal(definition.defaultValue) << " ;\n    lv2:minimum "
         << turtleDecimal(definition.minimum) << " ;\n    lv2:maximum " << turtleDecimal(definition.maximum);
    if (presentation.toggle) body << " ;\n    lv2:portProperty lv2:toggled";
    if (!presentation.choices.empty()) {
      body << " ;\n    lv2:portProperty lv2:enumeration ;\n    lv2:scalePoint";
      for (std::size_t i = 0; i < presentation.choices.size(); ++i)
        body << (i ? " , " : " ") << "[ rdfs:label " << turtleString(presentation.choices[i].label)
             << " ; rdf:value " << turtleDecimal(presentation.choices[i].value) << " ]";
    }
    body << "\n  ]";
  }
  body << " , [\n    a lv2:InputPort , atom:AtomPort ;\n    atom:bufferType atom:Sequence ;\n"
          "    atom:supports midi:MidiEvent ;\n    lv2:designation lv2:control ;\n    lv2:index "
       << ports.midiIn() << " ;\n    lv2:symbol \"midi_in\" ;\n    lv2:name \"MIDI in\"\n  ]";
  body << " , [\n    a lv2:OutputPort , lv2:AudioPort ;\n    lv2:index " << ports.leftOut()
       << " ;\n    lv2:symbol \"out_left\" ;\n    lv2:name \"Left\"\n  ]";
  body << " , [\n    a lv2:OutputPort , lv2:AudioPort ;\n    lv2:index " << ports.rightOut()
       << " ;\n    lv2:symbol \"out_right\" ;\n    lv2:name \"Right\"\n  ] .\n\n";
  if (!inputs.uiBinary.empty())
    body << uri(kUiUri) << "\n  a ui:X11UI ;\n"
         << "  lv2:requiredFeature ui:idleInterface , ui:parent , <http://lv2plug.in/ns/ext/instance-access> ;\n"
         << "  lv2:optionalFeature ui:resize , ui:touch , ui:noUserResize ;\n"
         << "  lv2:extensionData ui:idleInterface .\n";

  std::ostringstream presets;
  presets << kPrefixes;
  for (const auto& [list, bank] : banks)
    presets << uri(bank) << "\n  a pset:Bank ;\n  rdfs:label " << turtleString(bankLabel(list)) << " .\n\n";
  for (std::size_t i = 0; i < inputs.presets.size(); ++i) {
    const TurtlePreset& preset = inputs.presets[i];
    // Hosts that show no banks list the presets by this label, so it leads with the bank.
    presets << uri(presetUris[i]) << "\n  a pset:Preset ;\n  lv2:appliesTo " << plugin << " ;\n  rdfs:label "
            << turtleString(bankLabel(preset.bank) + ": " + preset.name) << " ;\n  pset:bank " << uri(banks[preset.bank])
            << " ;\n";
    bool first = true;
    for (std::uint32_t id = 0; id < ports.parameterCount && id < preset.values.size(); ++id) {
      // A value no decimal can hold stays in the state's document only.
      if (!std::isfinite(preset.values[id])) continue;
      presets << (first ? "  lv2:port [\n" : " , [\n") << "    lv2:symbol "
              << turtleString(portSymbol(registry.definition(id).name)) << " ;\n    pset:value "
              << turtleDecimal(preset.values[id]) << "\n  ]";
      first = false;
    }
    presets << (first ? "" : " ;\n") << "  state:state [\n    " << uri(kStateProgramUri) << " " << turtleString(preset.document) << " ;\n    "
            << uri(kStateListUri) << " " << turtleString(preset.bank) << " ;\n    " << uri(kStatePositionUri) << " \""
            << preset.position << "\"^^xsd:int\n  ] .\n\n";
  }

  files.manifest = manifest.str();
  files.plugin = body.str();
  files.presets = presets.str();
  return true;
}

}  // namespace lv2
