#include "platform/ipc_win32.h"
#include "platform/message_pump_win32.h"

#include <windows.h>

namespace platform {

namespace {

Win32ServerEndpoint* endpointOf(HWND window) {
  return reinterpret_cast<Win32ServerEndpoint*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

LRESULT CALLBACK serverWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  Win32ServerEndpoint* endpoint = endpointOf(window);
  if (endpoint && msg != 0 && msg == endpoint->messageId())
    return endpoint->answer(static_cast<uint16_t>(wParam));
  if (endpoint && msg == WM_CLOSE) {
    endpoint->requestClose();
    return 0;
  }
  return DefWindowProcA(window, msg, wParam, lParam);
}

}  // namespace

std::unique_ptr<ServerEndpoint> makeServerEndpoint(const std::string& className,
                                                   const std::string& messageName,
                                                   BlockHandler handler) {
  return std::make_unique<Win32ServerEndpoint>(className, messageName, std::move(handler));
}

Win32ServerEndpoint::Win32ServerEndpoint(std::string className, const std::string& messageName,
                                         BlockHandler handler)
    : className_(std::move(className)),
      messageId_(RegisterWindowMessageA(messageName.c_str())),
      handler_(std::move(handler)) {}

Win32ServerEndpoint::~Win32ServerEndpoint() { shutdown(); }

bool Win32ServerEndpoint::listen() {
  if (window_) return true;
  if (messageId_ == 0) {
    error_ = "cannot register the server's window message";
    return false;
  }
  if (FindWindowExA(nullptr, nullptr, className_.c_str(), nullptr)) {
    error_ = "a server window of class " + className_ + " is already running";
    return false;
  }
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  if (!classRegistered_) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = serverWindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = className_.c_str();
    if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
      error_ = "cannot register the window class " + className_;
      return false;
    }
    classRegistered_ = true;
  }
  // A hidden top-level window: clients find it with FindWindowExA(NULL, NULL, class, NULL).
  const HWND window = CreateWindowExA(0, className_.c_str(), "", WS_POPUP, 0, 0, 0, 0, nullptr,
                                      nullptr, instance, this);
  if (!window) {
    error_ = "cannot create the server window";
    return false;
  }
  window_ = window;
  closeRequested_ = false;
  error_.clear();
  return true;
}

int Win32ServerEndpoint::pollOnce(int timeoutMs) {
  if (!window_) return 0;
  const uint64_t before = served_;
  // Messages sent by clients are delivered to the window procedure inside these calls.
  MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(timeoutMs), QS_ALLINPUT,
                              MWMO_INPUTAVAILABLE);
  if (!pumpMessages()) closeRequested_ = true;
  return static_cast<int>(served_ - before);
}

uint32_t Win32ServerEndpoint::answer(uint16_t atom) {
  ++served_;
  char name[256] = {};
  if (atom == 0 || GlobalGetAtomNameA(atom, name, sizeof name) == 0) return 0;
  // The mapping is opened for this one request and closed again: holding it would keep the
  // name alive after the client closed it, and the client's next open under the same name
  // would then find it "already existing".
  const HANDLE mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, name);
  if (!mapping) return 0;
  uint32_t result = 0;
  void* view = MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0);
  if (view) {
    MEMORY_BASIC_INFORMATION info{};
    const bool bigEnough = VirtualQuery(view, &info, sizeof info) == sizeof info &&
                           info.RegionSize >= kIpcBlockSize;
    if (bigEnough && handler_) {
      try {
        result = handler_(static_cast<uint8_t*>(view), kIpcBlockSize);
      } catch (...) {
        result = 0;
      }
    }
    UnmapViewOfFile(view);
  }
  CloseHandle(mapping);
  return result;
}

void Win32ServerEndpoint::shutdown() {
  if (window_) DestroyWindow(static_cast<HWND>(window_));
  window_ = nullptr;
}

}  // namespace platform
