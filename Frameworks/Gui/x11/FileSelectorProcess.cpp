#include "Frameworks/Gui/x11/FileSelectorProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

extern char** environ;

namespace VSTGUI::X11 {

bool findProgram(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/bin:/bin";
  size_t start = 0;
  while (start <= dirs.size()) {
    const size_t end = dirs.find(':', start);
    const std::string dir = dirs.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!dir.empty() && access((dir + "/" + name).c_str(), X_OK) == 0) return true;
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return false;
}

namespace {
std::string joinFolder(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  return folder.back() == '/' ? folder + name : folder + "/" + name;
}
}  // namespace

std::vector<std::string> FileSelectorProcess::zenityArguments(const FileSelectorConfig& config) {
  std::vector<std::string> args{"zenity", "--file-selection"};
  if (!config.title.empty()) args.push_back("--title=" + config.title);
  if (config.mode == FileSelectorConfig::Mode::kSave) args.push_back("--save"), args.push_back("--confirm-overwrite");
  if (config.mode == FileSelectorConfig::Mode::kDirectory) args.push_back("--directory");
  if (config.multiple && config.mode == FileSelectorConfig::Mode::kOpen) {
    args.push_back("--multiple");
    args.push_back("--separator=\n");
  }
  std::string start = config.initialFolder;
  if (!start.empty() && start.back() != '/') start += '/';
  if (config.mode == FileSelectorConfig::Mode::kSave && !config.defaultName.empty())
    start = joinFolder(config.initialFolder, config.defaultName);
  if (!start.empty()) args.push_back("--filename=" + start);
  for (const auto& [description, extension] : config.filters)
    args.push_back("--file-filter=" + description + " | *." + extension);
  if (!config.filters.empty()) args.push_back("--file-filter=All files | *");
  return args;
}

std::vector<std::string> FileSelectorProcess::kdialogArguments(const FileSelectorConfig& config) {
  std::vector<std::string> args{"kdialog"};
  if (!config.title.empty()) args.push_back("--title"), args.push_back(config.title);
  std::string filter;
  for (const auto& [description, extension] : config.filters) {
    if (!filter.empty()) filter += "\n";
    filter += description + " (*." + extension + ")";
  }
  std::string start = config.initialFolder.empty() ? "." : config.initialFolder;
  switch (config.mode) {
    case FileSelectorConfig::Mode::kOpen:
      args.push_back("--getopenfilename");
      if (config.multiple) args.push_back("--multiple"), args.push_back("--separate-output");
      break;
    case FileSelectorConfig::Mode::kSave:
      args.push_back("--getsavefilename");
      if (!config.defaultName.empty()) start = joinFolder(config.initialFolder, config.defaultName);
      break;
    case FileSelectorConfig::Mode::kDirectory: args.push_back("--getexistingdirectory"); break;
  }
  args.push_back(start);
  if (!filter.empty() && config.mode != FileSelectorConfig::Mode::kDirectory) args.push_back(filter);
  return args;
}

std::unique_ptr<FileSelectorProcess> FileSelectorProcess::start(const FileSelectorConfig& config,
                                                                std::string& reason) {
  bool kdialog = false;
  if (!findProgram("zenity")) {
    if (!findProgram("kdialog")) {
      reason = "Install zenity or kdialog to choose files from here.";
      return nullptr;
    }
    kdialog = true;
  }
  const auto args = kdialog ? kdialogArguments(config) : zenityArguments(config);
  std::vector<char*> argv;
  for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);

  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) {
    reason = "cannot create a pipe";
    return nullptr;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
  pid_t pid = 0;
  const int error = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  if (error != 0) {
    close(fds[0]);
    reason = "cannot start " + args[0];
    return nullptr;
  }
  fcntl(fds[0], F_SETFL, O_NONBLOCK);
  return std::unique_ptr<FileSelectorProcess>(new FileSelectorProcess(pid, fds[0], kdialog));
}

FileSelectorProcess::~FileSelectorProcess() {
  if (m_fd >= 0) close(m_fd);
  if (!m_done && m_pid > 0) {
    kill(m_pid, SIGTERM);
    waitpid(m_pid, nullptr, 0);
  }
}

void FileSelectorProcess::drainOutput() {
  char buffer[4096];
  for (;;) {
    const ssize_t n = read(m_fd, buffer, sizeof(buffer));
    if (n > 0) {
      m_output.append(buffer, static_cast<size_t>(n));
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    break;  // end of output, or nothing more for now
  }
}

bool FileSelectorProcess::poll(std::vector<std::string>& files) {
  if (m_done) return true;
  drainOutput();
  int status = 0;
  const pid_t result = waitpid(m_pid, &status, WNOHANG);
  if (result == 0) return false;
  // A host that ignores SIGCHLD or reaps every child itself leaves no status to read (ECHILD):
  // the dialog has ended all the same, and it writes a path only when one was chosen.
  const bool reapedElsewhere = result < 0 && errno == ECHILD;
  // Finished: read what is left, then split the lines.
  drainOutput();
  m_done = true;
  files.clear();
  const bool chosen =
      reapedElsewhere ? !m_output.empty() : result == m_pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  if (!chosen) return true;
  size_t start = 0;
  while (start < m_output.size()) {
    size_t end = m_output.find('\n', start);
    if (end == std::string::npos) end = m_output.size();
    if (end > start) files.push_back(m_output.substr(start, end - start));
    start = end + 1;
  }
  return true;
}

}  // namespace VSTGUI::X11
