#pragma once

namespace core {

class AEffGUIEditor;

// The host as the plug-in core and the editor see it: the few requests they send back through
// the host adapter. None of these may be called from the audio thread.
class PluginToHostInterface {
 public:
  virtual ~PluginToHostInterface() = default;
  // Tells the host a parameter changed through the editor (automation recording); does not set
  // the parameter again.
  virtual void setParameterAutomated(int id, float value) = 0;
  // Asks the host to refresh what it shows of the plug-in (program name, parameter values).
  virtual void updateDisplay() = 0;
  // Hands the editor object to the adapter; the effect then declares an editor.
  virtual void setEditor(AEffGUIEditor* editor) = 0;
  // Around a mouse gesture on a control, so the host groups the automation it records.
  virtual void beginEdit(int id) = 0;
  virtual void endEdit(int id) = 0;
  // Whether the host supports a feature named by its can-do text ("sizeWindow").
  virtual bool canHostDo(const char* text) = 0;
  // Asks the host to resize the editor's window; false when it refused.
  virtual bool sizeWindow(int width, int height) = 0;
};

}  // namespace core
