#pragma once

// corvane-sim in a child process and the program in this process talking to it over the
// system's own transport: Unix-domain sockets and shared memory on Linux, window messages and
// named shared memory on Windows (under Wine in CI). Each run has a private folder of its
// own for the program's files and, on Linux, the server's sockets.

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/form_main.h"
#include "edition/edition.h"
#include "platform/child_process.h"
#include "platform/clock.h"
#include "platform/event_loop.h"
#include "platform/ipc_system.h"
#include "platform/os.h"
#include "platform/random.h"
#include "simlink/sim_link.h"

namespace systemtest {

namespace fs = std::filesystem;

/// corvane-sim's arguments for this edition's simulator, then extra.
inline std::vector<std::string> editionSim(std::vector<std::string> extra = {}) {
  if constexpr (!IsFS2004Edition) extra.insert(extra.begin(), {"--sim-index", "6"});
  return extra;
}

struct SystemRun {
  explicit SystemRun(std::vector<std::string> simArgs)
      : dir(fs::temp_directory_path() /
            ("corvane_system_" + std::to_string(platform::currentProcessId()) + "_" +
             std::to_string(++serial))) {
    fs::remove_all(dir);
    fs::create_directories(dir / "prog");
    for (const char* f : {"Corvane.dat", "Corvane.INI"})
      fs::copy_file(fs::path(CORVANE_SAMPLES_DIR) / f, dir / "prog" / f);
    // The transport and every server started here look for each other in this folder.
    platform::setEnvironmentVariable("CORVANE_IPC_DIR", (dir / "ipc").string());
    transport = platform::makeSystemTransport();
    link.SimLinkConfigure(transport.get(), &clock);
    startServer(std::move(simArgs));
  }
  ~SystemRun() {
    form.reset();
    link.SimLinkConfigure(nullptr, nullptr);
    sim.reset();
    fs::remove_all(dir);
  }
  SystemRun(const SystemRun&) = delete;
  SystemRun& operator=(const SystemRun&) = delete;

  /// Starts corvane-sim with args in place of the server before (which must have ended) and
  /// waits until clients can find it; false when it refused to start.
  bool startServer(std::vector<std::string> args) {
    sim = std::make_unique<platform::ChildProcess>(platform::executableFolder() + CORVANE_SIM_NAME,
                                                   args);
    for (int i = 0; i < 1200 && sim->running(); ++i) {  // a cold Wine may take seconds
      if (transport->findWindow("UIPCMAIN")) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    return false;
  }

  TFormMain& start() {
    TFormServices s;
    s.loop = &loop;
    s.random = &random;
    s.programFolder = (dir / "prog").string();
    s.link = &link;
    form = std::make_unique<TFormMain>(std::move(s));
    form->FormCreate();
    return *form;
  }

  static inline int serial = 0;
  fs::path dir;
  platform::RealClock clock;
  platform::EventLoop loop{clock};
  platform::Random random;
  std::unique_ptr<platform::IpcTransport> transport;
  /// The program's link, over transport.
  simlink::Link link;
  std::unique_ptr<platform::ChildProcess> sim;
  std::unique_ptr<TFormMain> form;
};

/// The connection line once the program is connected to corvane-sim of this edition.
inline std::string connectedLine() {
  return std::string(IsFS2004Edition ? "FS2004" : "FS2002") +
         " connection status : Okay,  FSUIPC Ver : 3.630";
}

inline const std::string kNoServer = "FSUIPC/WideClient not currently available -- Is FS running?";

/// Runs the program's loop until done() or limitMs of real time; true when done() came.
inline bool runUntil(SystemRun& run, int64_t limitMs, const std::function<bool()>& done) {
  const int64_t end = run.clock.nowMs() + limitMs;
  while (!done()) {
    if (run.clock.nowMs() >= end) return false;
    run.loop.runUntil(std::min(end, run.clock.nowMs() + 20));
  }
  return true;
}

}  // namespace systemtest
