#pragma once

#include <cstddef>

namespace skarvel {

// What the toolbar asks of the editor that owns it: the things it cannot do itself because
// they change the whole window. The editor implements it; every call comes on the
// user-interface thread, from the toolbar's control handling or from its initialise.
//
// Programs need no call here: the toolbar selects them in the preset manager and tells the
// plug-in core, which sends the values to the engine and, through the editor's host-parameter
// path, to the controls.
class ToolBarToEditorInterface {
 public:
  virtual ~ToolBarToEditorInterface() = default;

  // Theme `position` of the appearance manager's list was chosen (from the appearance menu,
  // at initialise and after a reload): select it, recolour, redraw, remember the choice.
  virtual void appearanceSelected(std::size_t position) = 0;
  // The size control moved to `sizeIndex` (0..7; 6 and 7 mean the 1.0 size): resize the
  // window and every view, and store the index.
  virtual void guiSizeSelected(float sizeIndex) = 0;
  // Read the theme files again and apply the remembered theme. The toolbar refills its
  // appearance menu afterwards and then calls appearanceSelected with the current position.
  virtual void reloadThemes() = 0;
  // Whether every knob is dragged vertically (up and right increase) rather than round its
  // dial; a host that asks for a knob mode overrides it.
  virtual bool verticalKnobDrag() const = 0;
  // The options menu switched vertical knob dragging: apply it and remember it.
  virtual void verticalKnobDragSelected(bool vertical) = 0;
};

}  // namespace skarvel
