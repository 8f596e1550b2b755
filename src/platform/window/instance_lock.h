// The single-instance lock: one lock file per user (and per game name), held with flock() for the
// whole run. The running copy writes its process id into it once its window exists, so a second
// copy can ask it to close in order (SIGTERM, which the running copy treats as a close without
// the question) and take its place.
#pragma once

#include <string>

namespace t4::platform {

class InstanceLock {
 public:
  // `name` names the lock (Shift-JIS or UTF-8); the file lives in $XDG_RUNTIME_DIR or /tmp, or in
  // `folder` when one is given.
  explicit InstanceLock(const std::string& name, const std::string& folder = {});
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  // True when this copy holds the lock; false when another copy holds it ("already existed") or
  // when the lock cannot be made (Unavailable()). A missing lock folder is created first.
  bool TryAcquire();
  // The lock file could not be created: start-up must not run unguarded.
  bool Unavailable() const { return m_unavailable; }
  // Blocks up to `timeoutMs` real milliseconds for the lock.
  bool AcquireWithin(int timeoutMs);
  // The process id the running copy wrote (0 when none: it has no window yet).
  int RunningProcessId() const;
  // Writes this process's id (the window exists now).
  void PublishProcessId();
  void Release();
  bool Held() const { return m_held; }
  const std::string& Path() const { return m_path; }

 private:
  std::string m_path;
  int m_fd = -1;
  bool m_held = false;
  bool m_unavailable = false;
};

// Asks the copy with process id `pid` to close in order (the caller then waits for the lock).
// False when it cannot be asked (no such process, not ours).
bool AskProcessToClose(int pid);

// Installs SIGTERM / SIGINT handling that calls `onClose` from a watcher thread (never from the
// signal handler itself). Called once, before the program starts its own threads: the signals are
// blocked in the calling thread and so in every thread it starts afterwards, and the watcher alone
// takes them.
void InstallCloseSignalHandler(void (*onClose)());

}  // namespace t4::platform
