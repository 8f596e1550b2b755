#include "support/xvfb.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace t4::test {

Xvfb::Xvfb(int width, int height) {
  const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
  const int first = 300 + static_cast<int>(getpid() % 400);
  // The next number is tried only when a server exited at once (its number was taken); one that
  // is merely slow on a busy machine is not replaced by another just as slow.
  for (int n = first; n < first + 20 && m_display.empty() && !m_bSlow; ++n) {
    if (access(("/tmp/.X" + std::to_string(n) + "-lock").c_str(), F_OK) == 0) continue;
    Start(n, screen);
  }
}

Xvfb::~Xvfb() { Stop(); }

std::string Xvfb::Status() {
  int status = 0;
  if (m_bSlow) return "the server did not accept clients within 30 s";
  if (m_pid <= 0) return "no server";
  if (waitpid(m_pid, &status, WNOHANG) == 0) return "server up";
  m_pid = -1;
  return WIFSIGNALED(status) ? "server killed by signal " + std::to_string(WTERMSIG(status))
                             : "server exited " + std::to_string(WEXITSTATUS(status));
}

void Xvfb::Start(int n, const std::string& screen) {
  // Everything the child needs is made before the fork: the test process has other threads.
  std::string display = ":";
  display += std::to_string(n);
  const std::string socket = "/tmp/.X11-unix/X" + std::to_string(n);
  m_pid = fork();
  if (m_pid == 0) {
    const int quiet = open("/dev/null", O_WRONLY);
    if (quiet >= 0) dup2(quiet, 2);
    execlp("Xvfb", "Xvfb", display.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp", "-noreset",
           static_cast<char*>(nullptr));
    _exit(127);
  }
  // Ready once its socket exists; a server that could not start has exited by then.
  for (int i = 0; i < 600; ++i, usleep(50000)) {
    if (waitpid(m_pid, nullptr, WNOHANG) != 0) {
      m_pid = -1;
      return;
    }
    if (access(socket.c_str(), F_OK) == 0) {
      usleep(100000);
      m_display = display;
      return;
    }
  }
  m_bSlow = true;
  Stop();
}

void Xvfb::Stop() {
  if (m_pid > 0) {
    kill(m_pid, SIGTERM);
    waitpid(m_pid, nullptr, 0);
  }
  m_pid = -1;
}

}  // namespace t4::test
