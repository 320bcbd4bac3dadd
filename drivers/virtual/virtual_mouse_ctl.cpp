// virtual-mouse-ctl: sends control lines to a running virtual mouse over its
// AF_UNIX socket and prints the replies.
//
//   virtual-mouse-ctl [-s SOCKET] COMMAND [ARGS...]   one command
//   virtual-mouse-ctl [-s SOCKET]                     one command per stdin line
//
// The socket defaults to $NORVANE_VIRTUAL_MOUSE_SOCKET. Exit status 0 when
// every command answered "ok", 1 when one answered an error, 2 on a usage or
// connection failure.

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

namespace {

int connect_to(const std::string& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) return -1;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

bool send_line(int fd, const std::string& line) {
  const std::string text = line + "\n";
  size_t sent = 0;
  while (sent < text.size()) {
    const ssize_t n = ::send(fd, text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    sent += static_cast<size_t>(n);
  }
  return true;
}

// Prints reply lines up to the final "ok" or "error: ..." line. Returns 0 for
// ok, 1 for an error reply, 2 when the connection ended first.
int print_reply(int fd, std::string& buffer) {
  while (true) {
    size_t end = 0;
    while ((end = buffer.find('\n')) != std::string::npos) {
      const std::string line = buffer.substr(0, end);
      buffer.erase(0, end + 1);
      if (line == "ok") return 0;
      if (line.rfind("error:", 0) == 0) {
        std::cerr << line << '\n';
        return 1;
      }
      std::cout << line << '\n';
    }
    char chunk[4096];
    const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return 2;
    buffer.append(chunk, static_cast<size_t>(n));
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::string path;
  if (const char* env = std::getenv("NORVANE_VIRTUAL_MOUSE_SOCKET")) path = env;
  int first = 1;
  if (argc >= 3 && std::strcmp(argv[1], "-s") == 0) {
    path = argv[2];
    first = 3;
  }
  if (path.empty()) {
    std::cerr << "virtual-mouse-ctl: no socket (set NORVANE_VIRTUAL_MOUSE_SOCKET or use -s)\n";
    return 2;
  }
  const int fd = connect_to(path);
  if (fd < 0) {
    std::cerr << "virtual-mouse-ctl: cannot connect to " << path << ": " << std::strerror(errno)
              << '\n';
    return 2;
  }

  int status = 0;
  std::string buffer;
  auto run = [&](const std::string& line) {
    if (!send_line(fd, line)) return 2;
    return print_reply(fd, buffer);
  };
  if (first < argc) {
    std::string line;
    for (int i = first; i < argc; ++i) {
      if (i > first) line += ' ';
      line += argv[i];
    }
    status = run(line);
  } else {
    std::string line;
    while (status != 2 && std::getline(std::cin, line)) {
      if (line.empty()) continue;
      const int result = run(line);
      if (result > status) status = result;
    }
  }
  ::close(fd);
  return status;
}
