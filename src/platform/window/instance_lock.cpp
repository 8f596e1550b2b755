#include "platform/window/instance_lock.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "platform/clock.h"

namespace t4::platform {

namespace {

// A file name from any text: letters and digits kept, everything else as hex.
std::string SafeName(const std::string& name) {
  std::string out;
  char hex[4];
  for (unsigned char c : name) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
      out.push_back(static_cast<char>(c));
    } else {
      std::snprintf(hex, sizeof(hex), "%02x", c);
      out += hex;
    }
  }
  return out;
}

}  // namespace

InstanceLock::InstanceLock(const std::string& name, const std::string& folder) {
  std::string dir = folder;
  if (dir.empty()) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    dir = runtime && *runtime ? runtime : "/tmp";
  }
  m_path = dir + "/tarnwick4-" + std::to_string(getuid()) + "-" + SafeName(name) + ".lock";
}

InstanceLock::~InstanceLock() { Release(); }

bool InstanceLock::TryAcquire() {
  if (m_held) return true;
  if (m_fd < 0) {
    m_fd = open(m_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_fd < 0 && errno == ENOENT) {
      std::error_code ec;
      std::filesystem::create_directories(std::filesystem::path(m_path).parent_path(), ec);
      m_fd = open(m_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    }
  }
  m_unavailable = m_fd < 0;
  if (m_fd < 0) return false;
  if (flock(m_fd, LOCK_EX | LOCK_NB) != 0) return false;
  m_held = true;
  if (ftruncate(m_fd, 0) != 0) {
  }
  return true;
}

bool InstanceLock::AcquireWithin(int timeoutMs) {
  for (int waited = 0;; waited += 10) {
    if (TryAcquire()) return true;
    if (m_unavailable || waited >= timeoutMs) return false;
    SleepReal(10);
  }
}

int InstanceLock::RunningProcessId() const {
  const int fd = open(m_path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return 0;
  char text[32] = {};
  const ssize_t n = pread(fd, text, sizeof(text) - 1, 0);
  close(fd);
  if (n <= 0) return 0;
  const int pid = std::atoi(text);
  return pid > 0 ? pid : 0;
}

void InstanceLock::PublishProcessId() {
  if (!m_held || m_fd < 0) return;
  const std::string text = std::to_string(getpid()) + "\n";
  if (ftruncate(m_fd, 0) != 0 || pwrite(m_fd, text.data(), text.size(), 0) < 0) {
  }
}

void InstanceLock::Release() {
  if (m_fd < 0) return;
  if (m_held && ftruncate(m_fd, 0) != 0) {
  }
  close(m_fd);  // also drops the flock
  m_fd = -1;
  m_held = false;
}

bool AskProcessToClose(int pid) { return pid > 0 && pid != getpid() && kill(pid, SIGTERM) == 0; }

namespace {
void (*g_onClose)() = nullptr;
int g_signalPipe[2] = {-1, -1};
constexpr int SIGNAL_POLL_MS = 100;

void OnSignal(int) {
  const int saved = errno;
  const char c = 1;
  while (write(g_signalPipe[1], &c, 1) < 0 && errno == EINTR) {
  }
  errno = saved;
}
}  // namespace

void InstallCloseSignalHandler(void (*onClose)()) {
  if (g_signalPipe[0] >= 0 || pipe(g_signalPipe) != 0) return;
  g_onClose = onClose;
  struct sigaction sa {};
  sa.sa_handler = OnSignal;
  sigemptyset(&sa.sa_mask);
  // Calls interrupted elsewhere in the program resume instead of failing.
  sa.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &sa, nullptr);
  sigaction(SIGINT, &sa, nullptr);
  // The signals are kept away from this thread and from every thread it starts from now on, so
  // that the kernel hands them to the watcher: a thread parked in a wait of a library (or of a
  // sanitizer) could otherwise hold one back. One that comes in between stays pending until the
  // watcher lets it in.
  sigset_t closeSignals;
  sigemptyset(&closeSignals);
  sigaddset(&closeSignals, SIGTERM);
  sigaddset(&closeSignals, SIGINT);
  pthread_sigmask(SIG_BLOCK, &closeSignals, nullptr);
  std::thread([closeSignals] {
    pthread_sigmask(SIG_UNBLOCK, &closeSignals, nullptr);
    // The handler runs on this very thread while it waits here: an interrupted wait is retried,
    // since its byte is in the pipe by then; only a closed pipe ends the thread. The wait wakes
    // now and then as well, so that a signal whose handler a sanitizer put off until the thread's
    // next call still gets its turn.
    for (;;) {
      pollfd ready{g_signalPipe[0], POLLIN, 0};
      const int r = poll(&ready, 1, SIGNAL_POLL_MS);
      if (r < 0 && errno != EINTR) return;
      if (r <= 0) continue;
      char c;
      const ssize_t n = read(g_signalPipe[0], &c, 1);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return;
      if (g_onClose) g_onClose();
    }
  }).detach();
}

}  // namespace t4::platform
