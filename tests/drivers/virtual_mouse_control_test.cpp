// The demo's text control, over the AF_UNIX socket.

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "drivers/virtual/control_commands.h"
#include "virtual_mouse_fixture.h"

namespace {

using norvane::vmouse::run_control_command;

std::string temp_socket_path() {
  char folder[] = "/tmp/vmouse-test-XXXXXX";
  const char* made = mkdtemp(folder);
  return made != nullptr ? std::string(made) + "/control" : std::string();
}

int connect_to(const std::string& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

int count_replies(const std::string& text) {
  int replies = 0;
  size_t start = 0;
  for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    const std::string line = text.substr(start, end - start);
    if (line == "ok" || line.rfind("error:", 0) == 0) ++replies;
  }
  return replies;
}

// Reads until `replies` final lines ("ok" or "error: ...") have arrived.
std::string read_replies(int fd, int replies) {
  std::string text;
  char buffer[1024];
  while (count_replies(text) < replies) {
    const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
    if (n <= 0) break;
    text.append(buffer, static_cast<size_t>(n));
  }
  return text;
}

TEST_F(VirtualMouseTest, ControlSocketServesLineCommands) {
  const std::string path = temp_socket_path();
  ASSERT_FALSE(path.empty());
  ASSERT_TRUE(mouse.start_control_socket(path));

  const int fd = connect_to(path);
  ASSERT_GE(fd, 0);
  const std::string lines = "unplug cable\nsleep\nbattery 0 57\nstate\nbogus\n";
  ASSERT_EQ(::send(fd, lines.data(), lines.size(), 0), static_cast<ssize_t>(lines.size()));
  const std::string reply = read_replies(fd, 5);
  close(fd);
  mouse.stop_control_socket();
  rmdir(path.substr(0, path.rfind('/')).c_str());

  EXPECT_NE(reply.find("links: 2.4,8k,ble\nsleeping: 1\n"), std::string::npos) << reply;
  EXPECT_NE(reply.find("error: unknown command"), std::string::npos) << reply;
  EXPECT_FALSE(mouse.plugged(VM_LINK_CABLE));
  EXPECT_TRUE(mouse.state().sleeping);
  EXPECT_EQ(access(path.c_str(), F_OK), -1);  // the socket file is removed again
}

TEST_F(VirtualMouseTest, ControlLinesCheckTheirArguments) {
  std::string reply;
  EXPECT_FALSE(run_control_command(mouse, "rate 15 0", reply));
  EXPECT_FALSE(run_control_command(mouse, "corrupt 2 4", reply));
  EXPECT_FALSE(run_control_command(mouse, "battery 0", reply));
  EXPECT_FALSE(run_control_command(mouse, "links cable,moon", reply));
  EXPECT_FALSE(run_control_command(mouse, "", reply));
  EXPECT_TRUE(mouse.plugged(VM_LINK_CABLE));  // the refused links line changed nothing

  reply.clear();
  EXPECT_TRUE(run_control_command(mouse, "corrupt 1 3 0x0f", reply));
  EXPECT_TRUE(run_control_command(mouse, "  light   2 ", reply));
  EXPECT_EQ(mouse.state().light_mode, 2);
  EXPECT_EQ(mouse.counters().answers_corrupted, 1u);
  EXPECT_EQ(reply, "ok\nok\n");
}

}  // namespace
