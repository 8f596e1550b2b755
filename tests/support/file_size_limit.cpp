#include "support/file_size_limit.h"

namespace t4::test {

ScopedFileSizeLimit::ScopedFileSizeLimit(rlim_t bytes) {
  if (getrlimit(RLIMIT_FSIZE, &m_previous) != 0) return;
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  if (sigaction(SIGXFSZ, &ignore, &m_previousAction) != 0) return;
  rlimit limit = m_previous;
  limit.rlim_cur = bytes;
  if (setrlimit(RLIMIT_FSIZE, &limit) != 0) {
    sigaction(SIGXFSZ, &m_previousAction, nullptr);
    return;
  }
  m_active = true;
}

ScopedFileSizeLimit::~ScopedFileSizeLimit() {
  if (!m_active) return;
  setrlimit(RLIMIT_FSIZE, &m_previous);
  sigaction(SIGXFSZ, &m_previousAction, nullptr);
}

}  // namespace t4::test
