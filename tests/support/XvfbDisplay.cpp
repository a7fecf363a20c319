// Xvfb started for one test fixture.
#include "XvfbDisplay.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace {

std::string FindInPath(const char* program) {
  const char* path = getenv("PATH");
  std::string list = path ? path : "/usr/bin:/bin";
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(':', start);
    if (end == std::string::npos) end = list.size();
    const std::string candidate = list.substr(start, end - start) + "/" + program;
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
    start = end + 1;
  }
  return std::string();
}

}  // namespace

bool XvfbDisplay::IsInstalled() { return !FindInPath("Xvfb").empty(); }

namespace {
bool g_started = false;
}

bool XvfbDisplay::WasStarted() { return g_started; }

XvfbDisplay::XvfbDisplay(int width, int height) {
  g_started = true;
  const std::string program = FindInPath("Xvfb");
  if (program.empty()) {
    m_error = "Xvfb is not installed";
    return;
  }
  int fds[2];
  if (pipe(fds) != 0) {
    m_error = "no pipe";
    return;
  }
  const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
  const std::string fd = std::to_string(fds[1]);
  const pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    const int null = open("/dev/null", O_RDWR);
    if (null >= 0) {
      dup2(null, 0);
      dup2(null, 1);
      dup2(null, 2);
    }
    execl(program.c_str(), "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp",
          "-noreset", (char*)nullptr);
    _exit(127);
  }
  close(fds[1]);
  if (pid < 0) {
    close(fds[0]);
    m_error = "fork failed";
    return;
  }
  m_pid = pid;
  // The server writes its display number once it accepts connections.
  std::string number;
  pollfd p = {fds[0], POLLIN, 0};
  for (int waited = 0; waited < 100; ++waited) {
    if (poll(&p, 1, 100) <= 0) continue;
    char c = 0;
    const ssize_t n = read(fds[0], &c, 1);
    if (n <= 0) break;
    if (c == '\n') break;
    number += c;
  }
  close(fds[0]);
  if (number.empty()) {
    m_error = "Xvfb did not report a display";
    return;
  }
  m_name = ":" + number;
}

XvfbDisplay::~XvfbDisplay() {
  if (m_pid <= 0) return;
  kill(m_pid, SIGTERM);
  int status = 0;
  waitpid(m_pid, &status, 0);
}
