#include "source/editor/WindowlessEditor.h"

namespace skarvel {

bool WindowlessEditor::open(void*) { return false; }

}  // namespace skarvel
