#include "Frameworks/AppearanceManager/ColourKeyValueHandler.h"

#include "Frameworks/AppearanceManager/AppearanceFactory.h"
#include "Frameworks/PresetManager/YamlDocumentReader.h"

namespace appearance {

namespace {

enum class Capture { None, ItemName, Red, Green, Blue };

struct PatternStep {
  yaml_event_type_t type;
  Capture capture;
};

// One colour entry: name, "[", red, green, blue, "]".
constexpr std::array<PatternStep, 6> kPattern{{
    {YAML_SCALAR_EVENT, Capture::ItemName},
    {YAML_SEQUENCE_START_EVENT, Capture::None},
    {YAML_SCALAR_EVENT, Capture::Red},
    {YAML_SCALAR_EVENT, Capture::Green},
    {YAML_SCALAR_EVENT, Capture::Blue},
    {YAML_SEQUENCE_END_EVENT, Capture::None},
}};

constexpr long kMaxComponent = 255;

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

std::string_view scalarText(const yaml_event_t& event) {
  if (!event.data.scalar.value) return {};
  return {reinterpret_cast<const char*>(event.data.scalar.value), event.data.scalar.length};
}

}  // namespace

ColourKeyValueHandler::ColourKeyValueHandler(AppearanceFactory& factory) : m_factory(factory) {}

long ColourKeyValueHandler::parseComponent(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size() && isSpace(text[at])) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
  // Anything past 255 is out of range; stop growing well before overflow.
  long value = 0;
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at)
    if (value <= kMaxComponent) value = value * 10 + (text[at] - '0');
  return negative ? -value : value;
}

void ColourKeyValueHandler::restartPattern() {
  m_position = 0;
  m_itemName.clear();
  m_components = {};
}

bool ColourKeyValueHandler::handleEvent(const yaml_event_t& event, presets::YamlDocumentReader& reader) {
  // Only the step's opening mapping start; the one nested collection a theme has is the
  // sequence of each colour, which the pattern expects in its place.
  if (!m_opened) {
    m_opened = true;
    if (event.type == YAML_MAPPING_START_EVENT) return true;
  }
  const PatternStep& step = kPattern[m_position];
  if (event.type != step.type) {
    reader.reportFormatError("Invalid colour item");
    return false;
  }
  ++m_position;

  switch (step.capture) {
    case Capture::ItemName:
      m_itemName = scalarText(event);
      break;
    case Capture::Red:
    case Capture::Green:
    case Capture::Blue: {
      const long component = parseComponent(scalarText(event));
      if (component < 0 || component > kMaxComponent) {
        reader.reportFormatError("Invalid colour component value");
        return false;
      }
      m_components[static_cast<std::size_t>(step.capture) - static_cast<std::size_t>(Capture::Red)] = component;
      break;
    }
    case Capture::None:
      break;
  }

  if (m_position == kPattern.size()) {
    const RgbColour colour{static_cast<std::uint8_t>(m_components[0]), static_cast<std::uint8_t>(m_components[1]),
                           static_cast<std::uint8_t>(m_components[2])};
    // An item this editor does not know (from a newer or older theme) is skipped with a warning.
    if (!m_factory.setColour(m_itemName, colour)) reader.reportWarning("Warning: unrecognised colour item name");
    restartPattern();
  }
  return true;
}

}  // namespace appearance
