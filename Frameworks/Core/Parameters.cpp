#include "Parameters.h"

#include "Assert.h"

namespace core {

void Parameters::addParameter(std::uint64_t id, const std::string& name, float defaultValue) {
  ParameterDefinition definition;
  definition.id = id;
  definition.name = name;
  definition.defaultValue = defaultValue;
  m_definitions.push_back(std::move(definition));
  CORE_ASSERT(m_definitions.size() - 1 == id);
}

const ParameterDefinition& Parameters::definition(std::uint64_t id) const {
  static const ParameterDefinition none;
  if (!CORE_CHECK(id < m_definitions.size())) return none;
  return m_definitions[id];
}

int Parameters::findByName(const std::string& name) const {
  for (const ParameterDefinition& definition : m_definitions) {
    if (definition.name == name || (!definition.secondName.empty() && definition.secondName == name))
      return static_cast<int>(definition.id);
  }
  return -1;
}

}  // namespace core
