#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "ParameterDefinition.h"

namespace core {

// The plug-in's parameter registry: filled once by the engine while the plug-in is built and
// read-only afterwards, so any thread may read it without a lock.
class Parameters {
 public:
  // Ids must be added in order 0, 1, 2, ...
  void addParameter(std::uint64_t id, const std::string& name, float defaultValue);

  std::size_t count() const { return m_definitions.size(); }
  // The definition of `id`; an id at or beyond count() is a programming error and answers
  // an empty definition.
  const ParameterDefinition& definition(std::uint64_t id) const;
  // The id whose name or second name is `name`, or -1.
  int findByName(const std::string& name) const;

 private:
  std::vector<ParameterDefinition> m_definitions;
};

}  // namespace core
