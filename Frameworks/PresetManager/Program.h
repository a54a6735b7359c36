#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace presets {

// Which of a program's two value sets it presents to the engine, editor, host and writer.
enum ValueType : int { VALUE_INITIAL = 0, VALUE_CURRENT = 1 };

// One preset: its name, the preset list that shows it, the file it came from (empty when it has
// none), and two full value sets: the initial values (as loaded or last saved) and the current
// values (as edited). Values are normalised parameter values in parameter-id order and are
// never clamped.
class Program {
 public:
  // Both value sets start as `values`; a new program presents its current values.
  explicit Program(std::vector<float> values);

  // The name never changes once the program belongs to a preset manager: the plug-in core hands
  // it to the host from any thread without a lock.
  const std::string& name() const { return m_name; }
  void setName(const std::string& name) { m_name = name; }
  const std::string& listName() const { return m_listName; }
  void setListName(const std::string& listName) { m_listName = listName; }
  const std::string& filePath() const { return m_filePath; }
  void setFilePath(const std::string& filePath) { m_filePath = filePath; }
  bool readOnly() const { return m_readOnly; }
  void setReadOnly(bool readOnly) { m_readOnly = readOnly; }
  bool edited() const { return m_edited; }
  void setEdited(bool edited) { m_edited = edited; }

  std::size_t parameterCount() const { return m_currentValues.size(); }
  // The value of the presented set; 0 for an index out of range (an internal error).
  float value(std::size_t index) const;
  float initialValue(std::size_t index) const;
  float currentValue(std::size_t index) const;

  // An edit from the editor or the host: changes the current value and marks the program
  // edited when the value now differs from its initial value.
  void edit(std::size_t index, float value);
  // A value as read from a file or an old bank: both sets take it.
  void setLoadedValue(std::size_t index, float value);

  void select(int valueType);
  int selectedValueType() const { return m_valueType; }

  // Drops the edits: current := initial, no longer edited, presenting the current values.
  void revert();
  // Makes the edits the new initial values (after a save).
  void commit();
  // Same name, list, values, presented set, edited and read-only flags; no file.
  std::unique_ptr<Program> copy() const;

 private:
  std::string m_name;
  std::string m_listName;
  std::string m_filePath;
  std::vector<float> m_initialValues;
  std::vector<float> m_currentValues;
  int m_valueType = VALUE_CURRENT;
  bool m_edited = false;
  bool m_readOnly = false;
};

}  // namespace presets
