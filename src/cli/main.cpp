// corvane-cli: the program without a window. It runs the main window's logic on the real clock
// against an FSUIPC-compatible server (on Windows FSUIPC itself, through its window message and
// shared memory; elsewhere corvane-sim through the POSIX transport), prints every change of a
// label's text as "<control>: <text>", and takes commands on its standard input.

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/form_main.h"
#include "cli/board_cli.h"
#include "cli/check_dat.h"
#include "cli/cli_args.h"
#include "cli/control_snapshot.h"
#include "cli/headless_run.h"
#include "platform/ipc_system.h"
#include "platform/os.h"
#include "platform/stdin_lines.h"

namespace {

volatile int gStop = 0;

void usage() {
  std::cout
      << "usage: corvane-cli [--duration SECONDS] [--seed N] [--no-stdin]\n"
         "       corvane-cli --check-dat FILE.dat\n"
         "       corvane-cli --board [LOG.csv] [OUT.html]\n"
         "  Runs Corvane headless against the simulator's FSUIPC-compatible server.\n"
         "  --duration SECONDS  close by itself after that time\n"
         "  --seed N            fixed seed for battle damage (repeatable runs)\n"
         "  --no-stdin          ignore the standard input\n"
         "  --check-dat FILE    check a carrier data file: every zone, and why one is\n"
         "                      rejected (exit 0: all valid, 1: one rejected, 2: unreadable)\n"
         "  --board [LOG] [OUT] build the greenie board from a trap log (default\n"
         "                      CorvaneLog.csv, its TrapSheets folder, CorvaneBoard.html)\n"
         "                      (exit 0: written, 1: no readable log, 2: page not written)\n"
         "Commands on standard input: type help.\n";
}

/// The system's sound player, reporting each play on the standard output.
class ReportingSoundPlayer final : public platform::SoundPlayer {
 public:
  explicit ReportingSoundPlayer(std::string name)
      : name_(name), player_(platform::makeSystemSoundPlayer(name)) {}
  void setFileName(const std::string& file) override {
    file_ = file;
    player_->setFileName(file);
  }
  bool open() override { return player_->open(); }
  void close() override { player_->close(); }
  bool play() override {
    std::cout << name_ << ": would play " << file_ << std::endl;
    return player_->play();
  }
  bool playing() override { return player_->playing(); }

 private:
  std::string name_;
  std::string file_;
  std::unique_ptr<platform::SoundPlayer> player_;
};

}  // namespace

int main(int argc, char** argv) {
  CliArgs args;
  std::string error;
  if (!ParseCliArgs(std::vector<std::string>(argv + 1, argv + argc), args, error)) {
    std::cerr << "corvane-cli: " << error << "\n";
    usage();
    return 2;
  }
  if (args.help) {
    usage();
    return 0;
  }
  if (!args.checkDat.empty()) return CheckDatFile(args.checkDat, std::cout);
  if (args.board) return BuildBoardCli(args.boardLog, args.boardOut, std::cout, std::cerr);

  platform::installStopHandler(&gStop);
  std::setvbuf(stdout, nullptr, _IOLBF, 0);

  platform::RealClock clock;
  platform::EventLoop loop(clock);
  platform::Random random;
  if (args.seedFixed) random.fixSeed(args.seed);
  const std::unique_ptr<platform::IpcTransport> transport = platform::makeSystemTransport();
  simlink::Link link(transport.get(), &clock);

  TFormServices services;
  services.loop = &loop;
  services.random = &random;
  services.programFolder = platform::executableFolder();
  services.soundPlayers = [](const std::string& name) {
    return std::make_unique<ReportingSoundPlayer>(name);
  };
  services.errorBox = [](const std::string& text) { std::cout << "Error: " << text << std::endl; };
  services.link = &link;

  TFormMain form(services);
  // Captions that never change are not reported.
  std::set<const platform::Label*> captions = {
      &form.lblFlightStatusCaption, &form.lblActivelyCheckingCaption, &form.lblAccelDecelNote};
  for (const TNumberControls& number : form.options.NumberControls())
    captions.insert(&number.caption);
  // Labels print their new text; any other change is printed as the state of its control.
  bool changed = false;
  for (const TControlEntry& e : form.controls()) {
    if (e.control->kind() != platform::ControlKind::Label) {
      e.control->onChange = [&changed](platform::Control&, platform::Change) { changed = true; };
    } else if (!captions.count(static_cast<platform::Label*>(e.control))) {
      e.control->onChange = [](platform::Control& c, platform::Change what) {
        if (what == platform::Change::Text)
          std::cout << c.name() << ": " << static_cast<platform::Label&>(c).text() << std::endl;
      };
    }
  }
  ControlSnapshot snapshot(form);

  form.FormCreate();
  form.FormMain.show();
  snapshot.printChanges(std::cout);

  platform::StdinLines input;
  input.open = args.useStdin;
  HeadlessRun run;
  run.endMs = args.durationMs >= 0 ? clock.nowMs() + args.durationMs : -1;
  run.stop = &gStop;
  run.changed = &changed;
  RunHeadless(form, loop, input, snapshot, std::cout, run);
  return 0;
}
