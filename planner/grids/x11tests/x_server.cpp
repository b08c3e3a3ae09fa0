#include "x_server.h"

#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

namespace kelvo_test {

namespace {

bool exists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

}  // namespace

XServer::XServer() {
  for (int number = 73; number < 120 && display_.isEmpty(); ++number) {
    const std::string name = ":" + std::to_string(number);
    const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
    if (exists(socket) || exists("/tmp/.X" + std::to_string(number) + "-lock")) continue;
    const pid_t pid = fork();
    if (pid < 0) return;
    if (pid == 0) {
      // The server goes with the test program, even when that crashes.
      prctl(PR_SET_PDEATHSIG, SIGTERM);
      execlp("Xvfb", "Xvfb", name.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
             static_cast<char*>(nullptr));
      _exit(127);
    }
    // Ready when its socket appears; gone when it lost the race for the
    // number (try the next one).
    for (int i = 0; i < 200; ++i) {
      if (waitpid(pid, nullptr, WNOHANG) == pid) break;
      if (exists(socket)) {
        pid_ = pid;
        display_ = QString::fromStdString(name);
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    if (display_.isEmpty() && waitpid(pid, nullptr, WNOHANG) == 0) {
      kill(pid, SIGTERM);
      waitpid(pid, nullptr, 0);
    }
  }
}

XServer::~XServer() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  waitpid(pid_, nullptr, 0);
}

}  // namespace kelvo_test
