#pragma once

#include <sys/types.h>

#include <memory>
#include <string>

#include "Frameworks/Gui/Platform.h"

namespace VSTGUI::X11 {

// A file selector dialog run as a separate process (zenity, or kdialog when zenity is
// missing), read through a pipe and polled without blocking.
class FileSelectorProcess : public IPlatformFileSelector {
 public:
  // Null with reason "not available" when neither program is installed.
  static std::unique_ptr<FileSelectorProcess> start(const FileSelectorConfig& config, std::string& reason);
  ~FileSelectorProcess() override;

  bool poll(std::vector<std::string>& files) override;

  // The command line a configuration gives (for tests).
  static std::vector<std::string> zenityArguments(const FileSelectorConfig& config);
  static std::vector<std::string> kdialogArguments(const FileSelectorConfig& config);

 private:
  FileSelectorProcess(pid_t pid, int fd, bool kdialog) : m_pid(pid), m_fd(fd), m_kdialog(kdialog) {}
  // Appends whatever the dialog has written so far, without waiting for more.
  void drainOutput();

  pid_t m_pid;
  int m_fd;
  bool m_kdialog;
  std::string m_output;
  bool m_done = false;
};

// Finds a program on PATH.
bool findProgram(const std::string& name);

}  // namespace VSTGUI::X11
