#pragma once
// The virtual mouse's service thread: while a program monitors one of its
// links, or a control socket is open, it ticks the mouse a few times a second
// in real time (when the mouse's realtime mode is on) and serves control lines
// on the AF_UNIX socket. Any change of what it serves stops and restarts the
// thread, so the thread only reads what was set before it started.

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

namespace norvane::vmouse {

class VirtualMouse;

class ControlService {
 public:
  // `auto_socket_path`: socket opened with the first monitor, closed with the last.
  ControlService(VirtualMouse& mouse, std::string auto_socket_path);
  ~ControlService();
  ControlService(const ControlService&) = delete;
  ControlService& operator=(const ControlService&) = delete;

  void acquire_monitor();
  void release_monitor();
  bool start_socket(const std::string& path);
  void stop_socket();
  // Makes the thread look at the mouse's realtime mode again.
  void wake();

 private:
  void restart_locked();
  void stop_thread_locked();
  bool open_socket_locked(const std::string& path);
  void close_socket_locked();
  void run();

  VirtualMouse& mouse_;
  const std::string auto_socket_path_;
  std::mutex control_mutex_;  // guards everything below except stop_
  int monitors_ = 0;
  int listen_fd_ = -1;
  bool socket_is_auto_ = false;
  std::string socket_path_;
  int wake_fd_ = -1;
  std::thread thread_;
  std::atomic<bool> stop_{false};
};

}  // namespace norvane::vmouse
