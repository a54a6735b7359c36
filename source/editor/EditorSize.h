#pragma once

namespace skarvel {

// One of the editor's window sizes. The size control runs 0..7; indices 0..5 choose the scales
// below and anything else (6, 7, a missing or damaged setting) the normal size.
struct EditorSize {
  int index = 1;         // the index the scale was chosen by (1 for "any other")
  double scale = 1.0;
  double width = 862.0;  // scale x 862
  double height = 419.0; // scale x 419
};

EditorSize editorSizeForIndex(float sizeIndex);

}  // namespace skarvel
