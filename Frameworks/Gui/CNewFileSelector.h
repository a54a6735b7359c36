#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Frameworks/Gui/CBaseObject.h"

namespace VSTGUI {

class IPlatformFileSelector;

// A file type filter: a description ("Text file") and an extension without dot ("txt").
class CFileExtension {
 public:
  CFileExtension(const UTF8String& description, const UTF8String& extension, const UTF8String& mimeType = "",
                 int32_t macType = 0, const UTF8String& uti = "");
  const UTF8String& getDescription() const { return m_description; }
  const UTF8String& getExtension() const { return m_extension; }
  const UTF8String& getMimeType() const { return m_mimeType; }
  bool operator==(const CFileExtension& other) const {
    return m_extension == other.m_extension && m_description == other.m_description;
  }

 private:
  UTF8String m_description;
  UTF8String m_extension;
  UTF8String m_mimeType;
};

// The desktop's file chooser for opening or saving files or choosing a folder. It runs beside
// the host without blocking it: run() starts the dialog and returns, and the callback is
// called from a frame's idle when the user has chosen (or cancelled). On Linux the dialog is
// zenity or kdialog when one is installed; otherwise run() answers false and getLastError()
// says the selector is not available.
class CNewFileSelector : public CBaseObject {
 public:
  enum Style { kSelectFile, kSelectSaveFile, kSelectDirectory };
  using CallbackFunc = std::function<void(CNewFileSelector*)>;

  // A new selector; the caller owns the reference.
  static CNewFileSelector* create(CFrame* parent = nullptr, Style style = kSelectFile);
  ~CNewFileSelector() override;

  bool run(CallbackFunc&& callback);
  void cancel();
  bool isRunning() const { return m_process != nullptr; }

  void setTitle(const UTF8String& title) { m_title = title; }
  void setInitialDirectory(const UTF8String& path) { m_initialDirectory = path; }
  void setDefaultSaveName(const UTF8String& name) { m_defaultSaveName = name; }
  void setDefaultExtension(const CFileExtension& extension);
  void setAllowMultiFileSelection(bool state) { m_multiple = state; }
  void addFileExtension(const CFileExtension& extension);

  Style getStyle() const { return m_style; }
  const UTF8String& getTitle() const { return m_title; }
  uint32_t getNumSelectedFiles() const { return static_cast<uint32_t>(m_result.size()); }
  UTF8StringPtr getSelectedFile(uint32_t index) const;
  const std::string& getLastError() const { return m_lastError; }

 private:
  CNewFileSelector(CFrame* parent, Style style);
  void poll();
  void stopProcess();

  CFrame* m_frame;
  Style m_style;
  UTF8String m_title;
  UTF8String m_initialDirectory;
  UTF8String m_defaultSaveName;
  std::vector<CFileExtension> m_extensions;
  int32_t m_defaultExtension = -1;
  bool m_multiple = false;
  CallbackFunc m_callback;
  std::unique_ptr<IPlatformFileSelector> m_process;
  SharedPointer<CVSTGUITimer> m_pollTimer;
  std::vector<std::string> m_result;
  std::string m_lastError;
};

}  // namespace VSTGUI
