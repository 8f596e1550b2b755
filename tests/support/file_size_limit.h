// Makes every write past `bytes` in any file of this process fail (as on a full disk), for the
// lifetime of the object. The signal such a write raises is ignored meanwhile, so the write
// returns an error instead of ending the process.
#pragma once

#include <csignal>
#include <sys/resource.h>

namespace t4::test {

class ScopedFileSizeLimit {
 public:
  explicit ScopedFileSizeLimit(rlim_t bytes);
  ~ScopedFileSizeLimit();
  ScopedFileSizeLimit(const ScopedFileSizeLimit&) = delete;
  ScopedFileSizeLimit& operator=(const ScopedFileSizeLimit&) = delete;
  // False when the limit could not be set (the test then cannot make writes fail).
  bool Active() const { return m_active; }

 private:
  rlimit m_previous{};
  struct sigaction m_previousAction {};
  bool m_active = false;
};

}  // namespace t4::test
