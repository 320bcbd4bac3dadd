#pragma once
// A private X server (Xvfb) for tests that need real X11 input: started on a free
// display number (Xvfb -displayfd) and stopped with the object. Commands such as xdotool
// run against it through run().

#include <sys/types.h>

#include <string>
#include <vector>

namespace norvane::testing {

// True when `program` is found on PATH.
bool program_available(const char* program);

class XvfbServer {
 public:
  XvfbServer();  // starts it; check running()
  ~XvfbServer();
  XvfbServer(const XvfbServer&) = delete;
  XvfbServer& operator=(const XvfbServer&) = delete;

  bool running() const { return !display_.empty(); }
  const std::string& display() const { return display_; }  // ":N"
  const std::string& error() const { return error_; }

  // Runs a command with DISPLAY set to this server and waits for it; its exit code (or
  // -1 when it could not run).
  int run(const std::vector<std::string>& command) const;

 private:
  pid_t pid_ = -1;
  std::string display_;
  std::string error_;
};

}  // namespace norvane::testing
