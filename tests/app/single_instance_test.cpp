// Single instance at start-up: a lock that cannot be made stops the start with a reason, and a
// running copy that does not close when asked is not joined by a second one.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

#include "platform/window/instance_lock.h"
#include "program_runner.h"

using t4::test::ProgramRun;

namespace {

class SingleInstance : public ProgramRun {};

TEST_F(SingleInstance, LockThatCannotBeMadeStopsTheStart) {
  std::ofstream(project.Path() / "in-the-way") << "x";
  EXPECT_EQ(Run("--headless --frames 5", "env TARNWICK4_LOCK_DIR='" + (project.Path() / "in-the-way").string() + "/x'"),
            1);
  EXPECT_NE(Stderr().find("cannot create the single-instance lock"), std::string::npos) << Stderr();
  EXPECT_NE(Log().find("cannot create the single-instance lock"), std::string::npos) << Log();
}

TEST_F(SingleInstance, TakeoverOfACopyThatDoesNotCloseGivesUp) {
  // The "running copy": this test holds the lock and names a process that ignores the request.
  const pid_t stubborn = fork();
  ASSERT_GE(stubborn, 0);
  if (stubborn == 0) {
    signal(SIGTERM, SIG_IGN);
    for (int i = 0; i < 300; ++i) usleep(100000);
    _exit(0);
  }
  t4::platform::InstanceLock held("ゲーム", project.Path().string());
  ASSERT_TRUE(held.TryAcquire());
  { std::ofstream(held.Path(), std::ios::trunc) << stubborn << "\n"; }
  usleep(100000);  // the child has set its signal disposition
  EXPECT_EQ(Run("--headless --frames 5", "env TARNWICK4_ANSWERS=yes"), 1);
  EXPECT_NE(Stderr().find("did not close"), std::string::npos) << Stderr();
  EXPECT_EQ(kill(stubborn, 0), 0) << "the running copy was left alone";
  kill(stubborn, SIGKILL);
  waitpid(stubborn, nullptr, 0);
}

}  // namespace
