// A process that runs the single-instance check the way the program does, for tests,
// with the lock and socket in the program's private runtime folder.
//   single_instance_probe NAME
// First instance: prints "primary", counts activation requests, and on the line
// "quit" on its standard input prints "activations=N" and exits 0.
// Later instance: asks the first to come forward, prints "answered=1" or "answered=0"
// and exits 1.

#include <QCoreApplication>
#include <QSocketNotifier>
#include <cstdio>
#include <iostream>
#include <string>
#include <unistd.h>

#include "app/single_instance.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc < 2) return 2;
  norvane::SingleInstance instance(QString::fromLocal8Bit(argv[1]));
  if (!instance.claim()) {
    const bool answered = instance.activate_running_instance();
    std::printf("answered=%d\n", answered ? 1 : 0);
    std::fflush(stdout);
    return 1;
  }
  int activations = 0;
  instance.set_activation_handler([&activations](std::function<void()> done) {
    ++activations;
    done();
  });
  QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
  QObject::connect(&input, &QSocketNotifier::activated, [&] {
    char buffer[64];
    const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (n <= 0 || std::string(buffer, static_cast<size_t>(n)).find("quit") != std::string::npos) {
      std::printf("activations=%d\n", activations);
      std::fflush(stdout);
      app.quit();
    }
  });
  std::printf("primary\n");
  std::fflush(stdout);
  return app.exec();
}
