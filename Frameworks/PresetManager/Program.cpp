#include "Program.h"

#include "Frameworks/Core/Assert.h"

namespace presets {

Program::Program(std::vector<float> values) : m_initialValues(values), m_currentValues(std::move(values)) {}

float Program::value(std::size_t index) const {
  return m_valueType == VALUE_INITIAL ? initialValue(index) : currentValue(index);
}

float Program::initialValue(std::size_t index) const {
  if (!CORE_CHECK(index < m_initialValues.size())) return 0.0f;
  return m_initialValues[index];
}

float Program::currentValue(std::size_t index) const {
  if (!CORE_CHECK(index < m_currentValues.size())) return 0.0f;
  return m_currentValues[index];
}

void Program::edit(std::size_t index, float value) {
  if (!CORE_CHECK(index < m_currentValues.size())) return;
  m_currentValues[index] = value;
  if (value != m_initialValues[index]) m_edited = true;
}

void Program::setLoadedValue(std::size_t index, float value) {
  if (!CORE_CHECK(index < m_currentValues.size())) return;
  m_initialValues[index] = value;
  m_currentValues[index] = value;
}

void Program::select(int valueType) {
  if (!CORE_CHECK(valueType == VALUE_INITIAL || valueType == VALUE_CURRENT)) return;
  m_valueType = valueType;
}

void Program::revert() {
  m_currentValues = m_initialValues;
  m_edited = false;
  // Both sets are equal now: there is nothing left to compare.
  m_valueType = VALUE_CURRENT;
}

void Program::commit() { m_initialValues = m_currentValues; }

std::unique_ptr<Program> Program::copy() const {
  auto twin = std::make_unique<Program>(*this);
  twin->m_filePath.clear();
  return twin;
}

}  // namespace presets
