// The program against a server frozen in the middle of its exchanges, then let go on, over
// the system's own transport with corvane-sim in a child process. Runs in real time.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "system/system_run.h"

namespace {

using namespace systemtest;

TEST(ServerStopped, ThirtySecondsThenResumedTheProgramRidesItOut) {
  SystemRun run(editionSim());
  TFormMain& form = run.start();
  ASSERT_EQ(form.lblConnectionInfo.text(), connectedLine());
  // The program blocks in its exchange while the server is stopped, as it would for real:
  // the server is resumed from another thread. The first exchange retries for about 21 s and
  // the server is lost; the program reconnects once it answers again.
  std::atomic<bool> resumed{false};
  run.sim->pause();
  std::thread resume([&] {
    std::this_thread::sleep_for(std::chrono::seconds(30));
    run.sim->resume();
    resumed = true;
  });
  bool cleared = false;
  EXPECT_TRUE(runUntil(run, 75000, [&] {
    if (!resumed) return false;
    if (!cleared) {  // from here on a new gate tick must bring the status back
      form.lblFlightStatus.setText("");
      cleared = true;
    }
    return form.lblFlightStatus.text() == "LANDED";
  }));
  resume.join();
  EXPECT_TRUE(run.link.SimLinkIsOpen());
  EXPECT_EQ(form.lblConnectionInfo.text(), connectedLine()) << "reconnected without a restart";
  EXPECT_TRUE(form.tmrIsCatchCheckNeeded.enabled());
  form.FormClose();
}

}  // namespace
