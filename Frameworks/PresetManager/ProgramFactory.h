#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Frameworks/Core/Parameters.h"
#include "MessageList.h"
#include "Program.h"

namespace presets {

class YamlDocumentReader;

// Creates programs with the parameters' default values, reads them from preset files and from
// the host chunk, and writes them as preset documents:
//
//   ---
//   Preset:
//     product: Skarvel
//     version: 1.0.0
//     format: 1
//     name: Init
//   Params:
//     Rate1: 0.5
//     ...
//
// Every failure is explained in the message list; reads return no program and writes false.
class ProgramFactory {
 public:
  ProgramFactory(const core::Parameters& parameters, std::string productText,
                 std::string versionText, MessageList& messages);

  // A program with every parameter at its default; read-only when loading read-only is set.
  // It becomes the program that setParameter and setNameAndValues act on.
  std::unique_ptr<Program> createProgram();

  // Sets the loaded value of the parameter whose preset key is `key` on the program last
  // created; false (and no change) for a key that names no parameter.
  bool setParameter(const std::string& key, float value);

  // Reads a preset file; the program's file path becomes `path`.
  std::unique_ptr<Program> readPresetFile(const std::string& path);
  // Reads a preset document from memory (the host chunk); the program is read-only.
  std::unique_ptr<Program> readPresetChunk(const unsigned char* data, std::size_t length);

  // The preset document of the program's presented values; empty when there is no program or
  // the document could not be produced.
  std::string toYamlText(const Program* program);
  // Writes the preset document to `path`. The old file is replaced only once the new text is
  // complete and on the disk, so a failure never leaves it empty or cut short.
  bool savePresetFile(const Program& program, const std::string& path);

  // For old-bank conversion: names the program last created and, for every old slot whose
  // map entry is a parameter id (not -1), sets that parameter's loaded value.
  void setNameAndValues(const std::string& name, const std::vector<float>& oldValues,
                        const std::vector<int>& slotMap);

  void setLoadingReadOnly(bool readOnly) { m_loadingReadOnly = readOnly; }
  bool loadingReadOnly() const { return m_loadingReadOnly; }
  std::size_t parameterCount() const { return m_parameters.count(); }
  MessageList& messages() { return m_messages; }

 private:
  std::unique_ptr<Program> readDocument(YamlDocumentReader& reader);

  const core::Parameters& m_parameters;
  std::string m_productText;
  std::string m_versionText;
  std::map<std::string, std::size_t> m_paramNameToIndex;
  bool m_loadingReadOnly = false;
  Program* m_currentProgram = nullptr;  // the program under construction; not owned
  MessageList& m_messages;
};

}  // namespace presets
