#include "Frameworks/Gui/CNewFileSelector.h"

#include "Frameworks/Gui/CVSTGUITimer.h"
#include "Frameworks/Gui/Platform.h"

namespace VSTGUI {

CFileExtension::CFileExtension(const UTF8String& description, const UTF8String& extension,
                               const UTF8String& mimeType, int32_t, const UTF8String&)
    : m_description(description), m_extension(extension), m_mimeType(mimeType) {
  if (!m_extension.empty() && m_extension.front() == '.') m_extension.erase(0, 1);
}

CNewFileSelector* CNewFileSelector::create(CFrame* parent, Style style) { return new CNewFileSelector(parent, style); }

CNewFileSelector::CNewFileSelector(CFrame* parent, Style style) : m_frame(parent), m_style(style) {}

CNewFileSelector::~CNewFileSelector() { stopProcess(); }

void CNewFileSelector::setDefaultExtension(const CFileExtension& extension) {
  addFileExtension(extension);
  for (size_t i = 0; i < m_extensions.size(); ++i)
    if (m_extensions[i] == extension) m_defaultExtension = static_cast<int32_t>(i);
}

void CNewFileSelector::addFileExtension(const CFileExtension& extension) {
  for (const auto& known : m_extensions)
    if (known == extension) return;
  m_extensions.push_back(extension);
}

UTF8StringPtr CNewFileSelector::getSelectedFile(uint32_t index) const {
  return index < m_result.size() ? m_result[index].c_str() : nullptr;
}

bool CNewFileSelector::run(CallbackFunc&& callback) {
  if (m_process) return false;
  FileSelectorConfig config;
  config.mode = m_style == kSelectSaveFile    ? FileSelectorConfig::Mode::kSave
                : m_style == kSelectDirectory ? FileSelectorConfig::Mode::kDirectory
                                              : FileSelectorConfig::Mode::kOpen;
  config.title = m_title;
  config.defaultName = m_defaultSaveName;
  config.initialFolder = m_initialDirectory;
  config.multiple = m_multiple;
  // The default extension's filter comes first, so the dialog starts with it.
  if (m_defaultExtension >= 0)
    config.filters.emplace_back(m_extensions[m_defaultExtension].getDescription(),
                                m_extensions[m_defaultExtension].getExtension());
  for (size_t i = 0; i < m_extensions.size(); ++i)
    if (static_cast<int32_t>(i) != m_defaultExtension)
      config.filters.emplace_back(m_extensions[i].getDescription(), m_extensions[i].getExtension());
  // A save name without the default extension gets it.
  if (m_style == kSelectSaveFile && m_defaultExtension >= 0 && !config.defaultName.empty()) {
    const std::string suffix = "." + m_extensions[m_defaultExtension].getExtension();
    if (config.defaultName.size() < suffix.size() ||
        config.defaultName.compare(config.defaultName.size() - suffix.size(), suffix.size(), suffix) != 0)
      config.defaultName += suffix;
  }
  m_result.clear();
  m_lastError.clear();
  m_process = getPlatformFactory().startFileSelector(config, m_lastError);
  if (!m_process) return false;
  m_callback = std::move(callback);
  remember();  // alive until the callback has run
  m_pollTimer = owned(new CVSTGUITimer([this](CVSTGUITimer*) { poll(); }, 50, true));
  return true;
}

void CNewFileSelector::poll() {
  if (!m_process) return;
  std::vector<std::string> files;
  if (!m_process->poll(files)) return;
  m_process.reset();
  m_pollTimer->stop();
  m_result = std::move(files);
  CallbackFunc callback = std::move(m_callback);
  m_callback = nullptr;
  if (callback) callback(this);
  forget();
}

void CNewFileSelector::stopProcess() {
  m_process.reset();  // ends the dialog process
  if (m_pollTimer) m_pollTimer->stop();
  m_callback = nullptr;
}

void CNewFileSelector::cancel() {
  if (!m_process) return;
  stopProcess();
  m_result.clear();
  forget();  // the reference run() took
}

}  // namespace VSTGUI
