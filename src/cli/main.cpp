// corvane-cli: the program without a window. It runs the main window's logic on the real clock
// against an FSUIPC-compatible server reached through the POSIX transport, prints every change
// of a label's text as "<control>: <text>", and takes commands on its standard input.

#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>
#include <set>
#include <string>

#include "app/form_main.h"
#include "cli/command_line.h"
#include "cli/control_snapshot.h"
#include "platform/ipc_posix.h"
#include "simlink/sim_link.h"

namespace {

volatile std::sig_atomic_t gStop = 0;

void onSignal(int) { gStop = 1; }

std::string programFolder() {
  std::error_code ec;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return "./";
  return exe.parent_path().string() + "/";
}

void usage() {
  std::cout << "usage: corvane-cli [--duration SECONDS] [--seed N] [--no-stdin]\n"
               "  Runs Corvane headless against the server in $CORVANE_IPC_DIR.\n"
               "  --duration SECONDS  close by itself after that time\n"
               "  --seed N            fixed seed for battle damage (repeatable runs)\n"
               "  --no-stdin          ignore the standard input\n"
               "Commands on standard input: type help.\n";
}

/// Reads whole lines from standard input without blocking the event loop.
class StdinLines {
 public:
  bool open = true;
  /// Returns the complete lines that have arrived since the last call.
  std::vector<std::string> poll() {
    std::vector<std::string> lines;
    if (!open) return lines;
    pollfd p{STDIN_FILENO, POLLIN, 0};
    while (::poll(&p, 1, 0) > 0 && (p.revents & (POLLIN | POLLHUP))) {
      char buf[512];
      const ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
      if (n <= 0) {
        open = false;
        break;
      }
      pending_.append(buf, static_cast<size_t>(n));
    }
    size_t nl;
    while ((nl = pending_.find('\n')) != std::string::npos) {
      lines.push_back(pending_.substr(0, nl));
      pending_.erase(0, nl + 1);
    }
    if (!open && !pending_.empty()) {
      lines.push_back(pending_);
      pending_.clear();
    }
    return lines;
  }

 private:
  std::string pending_;
};

}  // namespace

int main(int argc, char** argv) {
  double duration = -1;
  bool useStdin = true;
  bool seedFixed = false;
  uint64_t seed = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&](const char* what) -> std::string {
      if (i + 1 >= argc) {
        std::cerr << "corvane-cli: " << a << " needs " << what << "\n";
        std::exit(2);
      }
      return argv[++i];
    };
    try {
      if (a == "--duration") {
        duration = std::stod(value("a number of seconds"));
        if (!(duration >= 0)) throw std::invalid_argument("negative");
      } else if (a == "--seed") {
        seed = std::stoull(value("a number"));
        seedFixed = true;
      } else if (a == "--no-stdin") {
        useStdin = false;
      } else if (a == "--help" || a == "-h") {
        usage();
        return 0;
      } else {
        std::cerr << "corvane-cli: unknown option " << a << "\n";
        usage();
        return 2;
      }
    } catch (const std::exception&) {
      std::cerr << "corvane-cli: bad value for " << a << "\n";
      return 2;
    }
  }

  struct sigaction sa {};
  sa.sa_handler = onSignal;
  sigemptyset(&sa.sa_mask);
  sigaction(SIGINT, &sa, nullptr);
  sigaction(SIGTERM, &sa, nullptr);
  std::signal(SIGPIPE, SIG_IGN);
  std::setvbuf(stdout, nullptr, _IOLBF, 0);

  platform::RealClock clock;
  platform::EventLoop loop(clock);
  platform::Random random;
  if (seedFixed) random.fixSeed(seed);
  platform::PosixTransport transport;
  SimLinkConfigure(&transport, &clock);

  TFormServices services;
  services.loop = &loop;
  services.random = &random;
  services.programFolder = programFolder();
  services.soundPlayers = [](const std::string& name) {
    return std::make_unique<platform::RecordingSoundPlayer>(
        name, nullptr, [](const platform::SoundEvent& e) {
          if (e.what == "play") std::cout << e.player << ": would play " << e.file << std::endl;
        });
  };
  services.errorBox = [](const std::string& text) { std::cout << "Error: " << text << std::endl; };

  TFormMain form(services);
  // Captions that never change are not reported.
  const std::set<const platform::Label*> captions = {
      &form.lblFlightStatusCaption, &form.lblActivelyCheckingCaption,
      &form.lblCatapultCutoff,      &form.lblCatapultHoldFactor,
      &form.lblAccelFactor,         &form.lblDecelFactor,
      &form.lblTimingResolution,    &form.lblAccelDecelNote};
  for (platform::Label* label : form.labels()) {
    if (captions.count(label)) continue;
    label->onTextChange = [](const platform::Label& l) {
      std::cout << l.name() << ": " << l.text() << std::endl;
    };
  }
  ControlSnapshot snapshot(form);

  form.FormCreate();
  form.FormMain.show();
  snapshot.printChanges(std::cout);

  StdinLines input;
  input.open = useStdin;
  const int64_t endMs = duration >= 0 ? clock.nowMs() + static_cast<int64_t>(duration * 1000) : -1;
  int64_t nextLook = 0;
  loop.onIdle = [&] {
    if (gStop || (endMs >= 0 && clock.nowMs() >= endMs)) {
      loop.quit();
      return;
    }
    if (clock.nowMs() >= nextLook) {  // buttons and options changed by hot keys or ticks
      snapshot.printChanges(std::cout);
      nextLook = clock.nowMs() + 250;
    }
    for (const std::string& line : input.poll()) {
      if (line == "quit") {
        loop.quit();
        return;
      }
      if (line == "help") {
        std::cout << CommandHelp() << std::endl;
        continue;
      }
      std::string error;
      if (!RunCommandLine(form, line, error)) std::cout << "Error: " << error << std::endl;
      snapshot.printChanges(std::cout);
    }
  };
  loop.run();

  form.FormClose();
  snapshot.printChanges(std::cout);
  SimLinkConfigure(nullptr, &clock);
  return 0;
}
