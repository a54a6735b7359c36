#include "Frameworks/Core/Plugin/DspToEditor.h"

#include "Frameworks/Core/Plugin/PluginCore.h"

namespace core {

void DspToEditor::notify() { m_core.postEditorHook(); }

}  // namespace core
