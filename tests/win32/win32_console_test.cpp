// The command-line program's input from a Windows console: a console of its own for the test
// (Wine gives one headless), with key events written into it as a user's typing would.

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "platform/event_loop.h"
#include "platform/stdin_lines.h"

namespace {

INPUT_RECORD key(bool down, WORD virtualKey, char c) {
  INPUT_RECORD r{};
  r.EventType = KEY_EVENT;
  r.Event.KeyEvent.bKeyDown = down;
  r.Event.KeyEvent.wRepeatCount = 1;
  r.Event.KeyEvent.wVirtualKeyCode = virtualKey;
  r.Event.KeyEvent.uChar.AsciiChar = c;
  return r;
}

// A new console as the standard input, for one test; the handles before it are given back.
class OwnConsole {
 public:
  OwnConsole() {
    for (int i = 0; i < 3; ++i) saved_[i] = GetStdHandle(kStd[i]);
    FreeConsole();
    if (!AllocConsole()) return;
    in_ = CreateFileA("CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                      nullptr, OPEN_EXISTING, 0, nullptr);
    // The test's own output stays where it went.
    for (int i = 1; i < 3; ++i) SetStdHandle(kStd[i], saved_[i]);
    SetStdHandle(STD_INPUT_HANDLE, in_);
  }
  ~OwnConsole() {
    // Freeing a console closes the standard handles of the moment: the console's, not ours.
    for (int i = 0; i < 3; ++i) SetStdHandle(kStd[i], nullptr);
    FreeConsole();
    for (int i = 0; i < 3; ++i) SetStdHandle(kStd[i], saved_[i]);
  }
  bool ready() const { return in_ != INVALID_HANDLE_VALUE; }
  void type(const std::vector<INPUT_RECORD>& events) {
    DWORD written = 0;
    WriteConsoleInputA(in_, events.data(), static_cast<DWORD>(events.size()), &written);
  }

 private:
  static constexpr DWORD kStd[3] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
  HANDLE saved_[3] = {};
  HANDLE in_ = INVALID_HANDLE_VALUE;
};

}  // namespace

TEST(ConsoleInput, TicksGoOnWhileAKeyIsHeldWithoutEnterAndTheLineArrivesWhole) {
  OwnConsole console;
  ASSERT_TRUE(console.ready()) << "no console could be made";
  INPUT_RECORD focus{};
  focus.EventType = FOCUS_EVENT;
  focus.Event.FocusEvent.bSetFocus = TRUE;
  INPUT_RECORD mouse{};
  mouse.EventType = MOUSE_EVENT;
  mouse.Event.MouseEvent.dwMousePosition = {3, 2};
  // A held key repeats; the console also queues focus and mouse events. No Enter yet.
  console.type({focus, key(true, 'A', 'a'), key(true, 'A', 'a'), key(true, 'A', 'a'), mouse,
                key(false, 'A', 'a')});

  // Should a read wait for the end of the line, Enter comes only from here, and then too late.
  std::mutex mutex;
  std::condition_variable cv;
  bool loopDone = false, enterNeeded = false;
  std::thread rescue([&] {
    std::unique_lock<std::mutex> lock(mutex);
    if (cv.wait_for(lock, std::chrono::seconds(10), [&] { return loopDone; })) return;
    enterNeeded = true;
    console.type({key(true, VK_RETURN, '\r')});  // no key-up: it would block the next look
  });

  platform::VirtualClock clock{0};
  platform::EventLoop loop(clock);
  platform::StdinLines input;
  std::vector<std::string> lines;
  int ticks = 0;
  platform::Timer tmrAccel(loop, "tmrAccel", 5, true, [&] { ++ticks; });
  loop.onIdle = [&] {
    for (std::string& line : input.poll()) lines.push_back(std::move(line));
  };
  loop.runUntil(100);
  {
    const std::lock_guard<std::mutex> lock(mutex);
    loopDone = true;
  }
  cv.notify_all();
  rescue.join();
  EXPECT_FALSE(enterNeeded) << "the loop waited for Enter";
  EXPECT_EQ(ticks, 20);
  EXPECT_TRUE(lines.empty());
  EXPECT_TRUE(input.open);

  // Enter ends the line; the next looks of the loop take it, whole.
  if (!enterNeeded) console.type({key(true, VK_RETURN, '\r'), key(false, VK_RETURN, '\r')});
  for (int i = 0; i < 2000 && lines.empty(); ++i) {
    for (std::string& line : input.poll()) lines.push_back(std::move(line));
    if (lines.empty()) Sleep(5);
  }
  EXPECT_EQ(lines, std::vector<std::string>{"aaa"});
}
