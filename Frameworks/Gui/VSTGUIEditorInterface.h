#pragma once

#include "Frameworks/Gui/CRect.h"

namespace VSTGUI {

// What a frame asks of the plug-in editor that owns it: begin/end of user gestures (the host
// must see them around every drag), the host's knob mode, and permission to resize the window
// (the editor forwards that to the host's size-window request).
class VSTGUIEditorInterface {
 public:
  virtual ~VSTGUIEditorInterface() = default;
  virtual void doIdleStuff() {}
  virtual int32_t getKnobMode() const { return -1; }
  virtual void beginEdit(int32_t index) { (void)index; }
  virtual void endEdit(int32_t index) { (void)index; }
  // Return false to refuse the new size.
  virtual bool beforeSizeChange(const CRect& newSize, const CRect& oldSize) {
    (void)newSize;
    (void)oldSize;
    return true;
  }
  virtual CFrame* getFrame() const { return frame; }

 protected:
  CFrame* frame = nullptr;
};

}  // namespace VSTGUI
