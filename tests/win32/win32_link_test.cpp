// The link over the real Windows calls, against corvane-sim.exe in a child process.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/child_process.h"
#include "platform/ipc_win32.h"
#include "platform/os.h"
#include "simlink/sim_link.h"

namespace {

std::string ownPath() {
  char path[MAX_PATH + 1] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return path;
}

/// corvane-sim.exe serving in a child process and a link over the Windows transport on the
/// real clock.
struct Win32Run {
  explicit Win32Run(const std::vector<std::string>& simArgs, const char* serverClass = "UIPCMAIN")
      : sim(platform::executableFolder() + CORVANE_SIM_NAME, simArgs) {
    for (int i = 0; i < 1200 && sim.running(); ++i) {  // a cold Wine may take seconds
      if (FindWindowExA(nullptr, nullptr, serverClass, nullptr)) break;
      Sleep(25);
    }
  }
  ~Win32Run() {
    link.SimLinkClose();
    sim.stop();
  }
  platform::ChildProcess sim;
  platform::Win32Transport transport;
  platform::RealClock clock;
  simlink::Link link{&transport, &clock};
};

TEST(Win32Link, OpenAcceptsOrRefusesAsTheServerPresentsItself) {
  struct Case {
    std::vector<std::string> simArgs;
    const char* serverClass;
    uint32_t required;
    uint32_t expected;
  };
  const Case cases[] = {
      {{}, "UIPCMAIN", 0, kSimLinkOk},
      {{"--sim-index", "6"}, "UIPCMAIN", 7, kSimLinkWrongSim},
      {{"--fsuipc-version", "0x19980004"}, "UIPCMAIN", 0, kSimLinkBadVersion},
      {{"--server-class", "FS98MAIN", "--relay-no-sim"}, "FS98MAIN", 0, kSimLinkWideNoSim},
  };
  for (const Case& c : cases) {
    Win32Run run(c.simArgs, c.serverClass);
    ASSERT_TRUE(run.sim.running());
    uint32_t result = 99;
    EXPECT_EQ(run.link.SimLinkOpen(c.required, result), c.expected == kSimLinkOk);
    EXPECT_EQ(result, c.expected) << SimLinkErrorTexts[result];
    if (c.expected == kSimLinkOk) {
      EXPECT_EQ(run.link.SimLinkSimIndex, 7u);
    }
  }
  platform::Win32Transport transport;
  simlink::Link link(&transport, nullptr);
  uint32_t result = 99;
  EXPECT_FALSE(link.SimLinkOpen(0, result));
  EXPECT_EQ(result, kSimLinkNoServer);
}

TEST(Win32Link, BatchFillingTheWholeBlockComesBack) {
  Win32Run run({});
  uint32_t result = 0;
  ASSERT_TRUE(run.link.SimLinkOpen(0, result)) << SimLinkErrorTexts[result];
  uint32_t version = 0;
  std::vector<uint8_t> bulk(kSimLinkCapacity - 40, 0xAA);
  auto queueFullBatch = [&] {
    return run.link.SimLinkRead(0x3304, 4, &version, result) &&
           run.link.SimLinkRead(0x0000, static_cast<uint32_t>(bulk.size()), bulk.data(), result);
  };
  ASSERT_TRUE(queueFullBatch()) << "a batch of exactly the capacity must be accepted";
  ASSERT_TRUE(run.link.SimLinkProcess(result)) << SimLinkErrorTexts[result];
  EXPECT_EQ(version, 0x36300000u);
  EXPECT_NE(bulk[0], 0xAA) << "the bulk read was not filled in";

  ASSERT_TRUE(queueFullBatch());
  uint8_t none = 0;
  EXPECT_FALSE(run.link.SimLinkRead(0x0000, 0, &none, result)) << "one byte header more than fits";
  EXPECT_EQ(result, kSimLinkFull);
}

TEST(Win32Link, ServerAnswersBrokenRequestsWithZeroAndKeepsServing) {
  Win32Run run({});
  platform::Win32Transport& t = run.transport;
  const platform::IpcHandle window = t.findWindow("UIPCMAIN");
  ASSERT_NE(window, 0u);
  const uint32_t msg = t.registerWindowMessage("FSASMLIB:IPC");

  // An atom that names no mapping.
  const uint16_t orphan = t.addAtom("FSASMLIB:IPC:0:99");
  uint32_t answer = 7;
  ASSERT_TRUE(t.sendMessageTimeout(window, msg, orphan, 0, 2000, answer));
  EXPECT_EQ(answer, 0u);
  t.deleteAtom(orphan);

  // A block whose record runs past its end.
  bool existed = false;
  const platform::IpcHandle mapping = t.createMapping("CorvaneBrokenBlock", 0x8000, existed);
  uint8_t* view = t.mapView(mapping, 0x8000);
  ASSERT_NE(view, nullptr);
  const uint32_t record[] = {1, 0x3304, 0x7FFF0, 0};
  std::memcpy(view, record, sizeof record);
  const uint16_t atom = t.addAtom("CorvaneBrokenBlock");
  answer = 7;
  ASSERT_TRUE(t.sendMessageTimeout(window, msg, atom, 0, 2000, answer));
  EXPECT_EQ(answer, 0u);
  t.deleteAtom(atom);
  t.unmapView(view, 0x8000);
  t.closeMapping(mapping);

  uint32_t result = 0;
  EXPECT_TRUE(run.link.SimLinkOpen(0, result)) << SimLinkErrorTexts[result];
}

TEST(Win32Link, HungServerGivesTheTimeOutCodeAfterTheRetries) {
  Win32Run run({"--hang-after", "1"});  // answers the handshake, then stops pumping messages
  uint32_t result = 0;
  ASSERT_TRUE(run.link.SimLinkOpen(0, result)) << SimLinkErrorTexts[result];
  uint32_t version = 0;
  ASSERT_TRUE(run.link.SimLinkRead(0x3304, 4, &version, result));
  const int64_t start = run.clock.nowMs();
  EXPECT_FALSE(run.link.SimLinkProcess(result));
  EXPECT_EQ(result, kSimLinkTimedOut) << SimLinkErrorTexts[result];
  EXPECT_GE(run.clock.nowMs() - start, 10 * 2000) << "ten attempts of 2000 ms each";
  EXPECT_EQ(version, 0u);
}

// Run by the next test in a process of its own; skipped in the test program itself.
TEST(Win32Link, ChildClient) {
  if (!std::getenv("CORVANE_CHILD_CLIENT")) GTEST_SKIP() << "runs only as the second client";
  platform::Win32Transport transport;
  platform::RealClock clock;
  simlink::Link link(&transport, &clock);
  uint32_t result = 0;
  ASSERT_TRUE(link.SimLinkOpen(0, result)) << SimLinkErrorTexts[result];
  for (int i = 0; i < 20; ++i) {
    uint32_t version = 0;
    ASSERT_TRUE(link.SimLinkRead(0x3304, 4, &version, result) && link.SimLinkProcess(result));
    ASSERT_EQ(version, 0x36300000u);
    Sleep(20);
  }
  link.SimLinkClose();
}

TEST(Win32Link, TwoClientProcessesAreServedAtTheSameTime) {
  Win32Run run({});
  uint32_t result = 0;
  ASSERT_TRUE(run.link.SimLinkOpen(0, result)) << SimLinkErrorTexts[result];
  platform::ChildProcess child(ownPath(), {"--gtest_filter=Win32Link.ChildClient"},
                               {"CORVANE_CHILD_CLIENT=1"});
  int rounds = 0;
  while (child.running() && rounds < 2000) {
    uint32_t version = 0;
    ASSERT_TRUE(run.link.SimLinkRead(0x3304, 4, &version, result) &&
                run.link.SimLinkProcess(result))
        << SimLinkErrorTexts[result];
    ++rounds;
    Sleep(5);
  }
  EXPECT_EQ(child.wait(30000), 0) << "the second client failed (same mapping name?)";
  EXPECT_GT(rounds, 0);
}

}  // namespace
