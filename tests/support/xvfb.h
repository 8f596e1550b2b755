// A private X server for the tests that open real windows. Display numbers start at a per-process
// point far from the usual ones, so that servers of tests running at the same time do not race
// for the same number.
#pragma once

#include <sys/types.h>

#include <string>

namespace t4::test {

class Xvfb {
 public:
  // One screen of `width` x `height` at 24 bits; Display() is empty when no server came up.
  Xvfb(int width, int height);
  ~Xvfb();
  Xvfb(const Xvfb&) = delete;
  Xvfb& operator=(const Xvfb&) = delete;

  const std::string& Display() const { return m_display; }
  // Whether the server still runs, or how it ended or why none came up (for failure messages).
  std::string Status();

 private:
  void Start(int n, const std::string& screen);
  void Stop();

  pid_t m_pid = -1;
  bool m_bSlow = false;
  std::string m_display;
};

}  // namespace t4::test
