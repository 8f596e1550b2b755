// A time bound on every test of the flow suite. The code under test walks command lists, loop
// expansions, expressions and key histories in loops of its own; a fault there would spin until
// ctest's limit (minutes per test) instead of failing. A test still running after the bound ends
// the run at once with a line that names it. The tests take milliseconds, sanitizers included.
#include <gtest/gtest.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

namespace {

constexpr int64_t TEST_TIME_BOUND_MS = 30000;

int64_t MonotonicMs() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<int64_t>(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

class TestTimeBound : public ::testing::EmptyTestEventListener {
 public:
  void OnTestProgramStart(const ::testing::UnitTest&) override {
    m_Watch = std::thread([this] { Watch(); });
  }
  void OnTestStart(const ::testing::TestInfo& info) override {
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_strTest = std::string(info.test_suite_name()) + "." + info.name();
    m_nDeadline = MonotonicMs() + TEST_TIME_BOUND_MS;
  }
  void OnTestEnd(const ::testing::TestInfo&) override {
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_nDeadline = 0;
  }
  void OnTestProgramEnd(const ::testing::UnitTest&) override {
    m_bStop = true;
    if (m_Watch.joinable()) m_Watch.join();
  }

 private:
  void Watch() {
    while (!m_bStop) {
      usleep(100000);
      std::lock_guard<std::mutex> lock(m_Mutex);
      if (m_nDeadline != 0 && MonotonicMs() > m_nDeadline) {
        std::fprintf(stderr, "FAILED: %s still runs after %lld s: a loop that does not end?\n", m_strTest.c_str(),
                     static_cast<long long>(TEST_TIME_BOUND_MS / 1000));
        std::fflush(stderr);
        std::_Exit(1);
      }
    }
  }

  std::thread m_Watch;
  std::atomic<bool> m_bStop{false};
  std::mutex m_Mutex;
  std::string m_strTest;
  int64_t m_nDeadline = 0;
};

// Installed before gtest's main runs the tests; gtest owns and deletes the listener.
const bool g_bTestTimeBoundInstalled = [] {
  ::testing::UnitTest::GetInstance()->listeners().Append(new TestTimeBound);
  return true;
}();

}  // namespace
