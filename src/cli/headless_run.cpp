#include "cli/headless_run.h"

#include <ostream>
#include <string>

#include "app/form_main.h"
#include "cli/command_line.h"
#include "cli/control_snapshot.h"
#include "platform/event_loop.h"
#include "platform/stdin_lines.h"

void RunHeadless(TFormMain& form, platform::EventLoop& loop, platform::StdinLines& input,
                 ControlSnapshot& snapshot, std::ostream& out, const HeadlessRun& run) {
  platform::Clock& clock = loop.clock();
  loop.onIdle = [&] {
    if ((run.stop != nullptr && *run.stop) || (run.endMs >= 0 && clock.nowMs() >= run.endMs)) {
      loop.quit();
      return;
    }
    // Buttons and options changed by hot keys or ticks.
    if (run.changed != nullptr && *run.changed) {
      *run.changed = false;
      snapshot.printChanges(out);
    }
    for (const std::string& line : input.poll()) {
      if (line == "quit") {
        loop.quit();
        return;
      }
      if (line == "help") {
        out << CommandHelp(form) << std::endl;
        continue;
      }
      std::string error, reply;
      bool ok = true;
      loop.guard([&] { ok = RunCommandLine(form, line, error, &reply); });
      if (!ok) out << "Error: " << error << std::endl;
      if (!reply.empty()) out << reply << std::endl;
      if (run.changed != nullptr) *run.changed = false;
      snapshot.printChanges(out);
    }
  };
  loop.run();
  loop.onIdle = nullptr;

  form.FormClose();
  snapshot.printChanges(out);
}
