#include "tests/support/xvfb_server.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <vector>

extern char** environ;

namespace norvane::testing {
namespace {

constexpr int kStartTimeoutMs = 20'000;

std::vector<std::string> environment_with_display(const std::string& display) {
  std::vector<std::string> env;
  for (char** e = environ; *e != nullptr; ++e) {
    if (std::strncmp(*e, "DISPLAY=", 8) != 0) env.emplace_back(*e);
  }
  env.push_back("DISPLAY=" + display);
  return env;
}

}  // namespace

bool program_available(const char* program) {
  const char* path = std::getenv("PATH");
  std::string dirs = path != nullptr ? path : "/usr/bin:/bin";
  size_t start = 0;
  while (start <= dirs.size()) {
    const size_t end = dirs.find(':', start);
    const std::string dir = dirs.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!dir.empty() && access((dir + "/" + program).c_str(), X_OK) == 0) return true;
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return false;
}

XvfbServer::XvfbServer() {
  int fds[2];
  if (pipe(fds) != 0) {
    error_ = "pipe failed";
    return;
  }
  const std::string fd_text = std::to_string(fds[1]);
  // -noreset: the server would otherwise reset (and refuse connections meanwhile, and
  // forget its keymap) each time its last client leaves.
  const char* argv[] = {"Xvfb",     "-displayfd", fd_text.c_str(), "-noreset", "-nolisten",
                        "tcp",      "-screen",    "0",             "640x480x24", nullptr};
  // A child of its own that dies with this process (even when a test aborts) and keeps
  // none of its output: a server left running would hold the test runner's pipe open.
  pid_ = fork();
  if (pid_ == 0) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    close(fds[0]);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
    execvp("Xvfb", const_cast<char**>(argv));
    _exit(127);
  }
  close(fds[1]);
  if (pid_ < 0) {
    close(fds[0]);
    error_ = std::string("Xvfb could not start: ") + std::strerror(errno);
    return;
  }
  // Xvfb writes its display number once it accepts clients.
  std::string number;
  pollfd p{fds[0], POLLIN, 0};
  while (number.find('\n') == std::string::npos && poll(&p, 1, kStartTimeoutMs) > 0) {
    char buffer[16];
    const ssize_t n = read(fds[0], buffer, sizeof buffer);
    if (n <= 0) break;
    number.append(buffer, static_cast<size_t>(n));
  }
  close(fds[0]);
  if (number.find('\n') == std::string::npos) {
    error_ = "Xvfb gave no display number";
    return;
  }
  display_ = ":" + number.substr(0, number.find('\n'));
}

XvfbServer::~XvfbServer() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
  }
}

int XvfbServer::run(const std::vector<std::string>& command) const {
  if (command.empty()) return -1;
  std::vector<char*> argv;
  for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
  argv.push_back(nullptr);
  const std::vector<std::string> env = environment_with_display(display_);
  std::vector<char*> envp;
  for (const std::string& e : env) envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), envp.data()) != 0) return -1;
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace norvane::testing
