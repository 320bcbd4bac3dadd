#include "drivers/virtual/control_service.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "drivers/virtual/control_commands.h"
#include "drivers/virtual/virtual_mouse.h"

namespace norvane::vmouse {

namespace {

constexpr int kTickIntervalMs = 100;
constexpr size_t kMaxLineBytes = 4096;

void send_all(int fd, const std::string& text) {
  size_t sent = 0;
  while (sent < text.size()) {
    const ssize_t n = ::send(fd, text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    sent += static_cast<size_t>(n);
  }
}

}  // namespace

ControlService::ControlService(VirtualMouse& mouse, std::string auto_socket_path)
    : mouse_(mouse), auto_socket_path_(std::move(auto_socket_path)) {
  wake_fd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
}

ControlService::~ControlService() {
  std::lock_guard lock(control_mutex_);
  stop_thread_locked();
  close_socket_locked();
  if (wake_fd_ >= 0) ::close(wake_fd_);
}

void ControlService::acquire_monitor() {
  std::lock_guard lock(control_mutex_);
  stop_thread_locked();
  ++monitors_;
  if (monitors_ == 1 && listen_fd_ < 0 && !auto_socket_path_.empty() &&
      open_socket_locked(auto_socket_path_)) {
    socket_is_auto_ = true;
  }
  restart_locked();
}

void ControlService::release_monitor() {
  std::lock_guard lock(control_mutex_);
  stop_thread_locked();
  if (monitors_ > 0) --monitors_;
  if (monitors_ == 0 && socket_is_auto_) close_socket_locked();
  restart_locked();
}

bool ControlService::start_socket(const std::string& path) {
  std::lock_guard lock(control_mutex_);
  stop_thread_locked();
  close_socket_locked();
  const bool ok = open_socket_locked(path);
  restart_locked();
  return ok;
}

void ControlService::stop_socket() {
  std::lock_guard lock(control_mutex_);
  stop_thread_locked();
  close_socket_locked();
  restart_locked();
}

void ControlService::wake() {
  if (wake_fd_ < 0) return;
  const uint64_t one = 1;
  [[maybe_unused]] const ssize_t n = ::write(wake_fd_, &one, sizeof one);
}

void ControlService::stop_thread_locked() {
  if (!thread_.joinable()) return;
  stop_ = true;
  wake();
  thread_.join();
  stop_ = false;
}

void ControlService::restart_locked() {
  stop_thread_locked();
  if (wake_fd_ < 0) return;
  if (monitors_ > 0 || listen_fd_ >= 0) thread_ = std::thread([this] { run(); });
}

bool ControlService::open_socket_locked(const std::string& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.empty() || path.size() >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);

  // Replace a socket left behind by an earlier run, never any other file.
  struct stat info {};
  if (::lstat(path.c_str(), &info) == 0) {
    if (!S_ISSOCK(info.st_mode)) return false;
    ::unlink(path.c_str());
  }
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(fd, 4) != 0) {
    ::close(fd);
    return false;
  }
  listen_fd_ = fd;
  socket_path_ = path;
  socket_is_auto_ = false;
  return true;
}

void ControlService::close_socket_locked() {
  if (listen_fd_ < 0) return;
  ::close(listen_fd_);
  ::unlink(socket_path_.c_str());
  listen_fd_ = -1;
  socket_path_.clear();
  socket_is_auto_ = false;
}

void ControlService::run() {
  struct Client {
    int fd;
    std::string pending;
  };
  std::vector<Client> clients;
  const int listen_fd = listen_fd_;  // fixed for the life of this thread

  while (!stop_) {
    std::vector<pollfd> fds;
    fds.push_back({wake_fd_, POLLIN, 0});
    if (listen_fd >= 0) fds.push_back({listen_fd, POLLIN, 0});
    const size_t first_client = fds.size();
    for (const Client& client : clients) fds.push_back({client.fd, POLLIN, 0});

    const int timeout = mouse_.realtime() ? kTickIntervalMs : -1;
    const int ready = ::poll(fds.data(), fds.size(), timeout);
    if (stop_) break;
    if (ready < 0 && errno != EINTR) break;

    if (fds[0].revents & POLLIN) {
      uint64_t count = 0;
      [[maybe_unused]] const ssize_t n = ::read(wake_fd_, &count, sizeof count);
    }
    const size_t polled_clients = clients.size();
    if (listen_fd >= 0 && (fds[1].revents & POLLIN)) {
      const int fd = ::accept4(listen_fd, nullptr, nullptr, SOCK_CLOEXEC);
      if (fd >= 0) clients.push_back({fd, {}});
    }
    for (size_t i = 0; i < polled_clients; ++i) {
      if (!(fds[first_client + i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      Client& client = clients[i];
      char buffer[1024];
      const ssize_t n = ::recv(client.fd, buffer, sizeof buffer, 0);
      if (n <= 0) {
        ::close(client.fd);
        client.fd = -1;
        continue;
      }
      client.pending.append(buffer, static_cast<size_t>(n));
      size_t end = 0;
      while ((end = client.pending.find('\n')) != std::string::npos) {
        std::string line = client.pending.substr(0, end);
        client.pending.erase(0, end + 1);
        std::string reply;
        run_control_command(mouse_, line, reply);
        send_all(client.fd, reply);
      }
      if (client.pending.size() > kMaxLineBytes) {
        send_all(client.fd, "error: line too long\n");
        ::close(client.fd);
        client.fd = -1;
      }
    }
    std::erase_if(clients, [](const Client& client) { return client.fd < 0; });

    if (mouse_.realtime()) mouse_.tick();
  }
  for (const Client& client : clients) ::close(client.fd);
}

}  // namespace norvane::vmouse
