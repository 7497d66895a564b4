// The Corvane window program for Windows: the main window and the vertical toolbar, driven by
// the program's event loop from the thread's message pump, talking to FSUIPC through its
// window message and shared memory.

#include <windows.h>

#include <memory>
#include <string>

#include "app/form_main.h"
#include "gui/win32_front.h"
#include "platform/clock.h"
#include "platform/event_loop.h"
#include "platform/ipc_system.h"
#include "platform/os.h"
#include "platform/random.h"

namespace {

/// The machine's clock, whose blocking waits (the link's retries, the damage pauses, the
/// hot-key release) keep repainting the windows, so Windows does not report the program as
/// hung; no other message is handled meanwhile, so no handler runs inside another.
class PaintingClock final : public platform::Clock {
 public:
  int64_t nowMs() const override { return real_.nowMs(); }
  int64_t nowUs() const override { return real_.nowUs(); }
  platform::DateTime wallClock() const override { return real_.wallClock(); }
  int64_t wallClockUs() const override { return real_.wallClockUs(); }
  void sleepMs(int64_t ms) override {
    const int64_t end = real_.nowMs() + ms;
    for (int64_t left = ms; left > 0; left = end - real_.nowMs()) {
      MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(left), QS_PAINT, 0);
      MSG msg;
      while (PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessageA(&msg);
    }
  }

 private:
  platform::RealClock real_;
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  PaintingClock clock;
  platform::EventLoop loop(clock);
  platform::Random random;
  const std::unique_ptr<platform::IpcTransport> transport = platform::makeSystemTransport();
  simlink::Link link(transport.get(), &clock);

  gui::Win32Front* window = nullptr;
  TFormServices services;
  services.loop = &loop;
  services.random = &random;
  services.programFolder = platform::executableFolder();
  services.link = &link;
  services.soundPlayers = [](const std::string& name) {
    return platform::makeSystemSoundPlayer(name);
  };
  // The box comes up once the handler that raised it has returned (see Win32Front).
  services.errorBox = [&window](const std::string& text) {
    if (window)
      window->showErrorBox(text);
    else
      MessageBoxA(nullptr, text.c_str(), "Corvane", MB_OK | MB_ICONERROR);
  };

  TFormMain form(services);
  gui::Win32Front front(form);
  window = &front;
  front.onClosed = [&loop] { loop.quit(); };
  loop.onIdle = [&front] { front.showPendingErrors(); };
  loop.guard([&] { form.FormCreate(); });
  front.refreshAll();
  form.FormMain.show();
  loop.run();
  front.showPendingErrors();
  window = nullptr;
  return 0;
}
