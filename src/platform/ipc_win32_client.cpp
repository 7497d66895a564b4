#include "platform/ipc_win32.h"

#include <windows.h>

namespace platform {

namespace {
HANDLE asHandle(IpcHandle h) { return reinterpret_cast<HANDLE>(static_cast<uintptr_t>(h)); }
IpcHandle fromHandle(const void* h) { return static_cast<IpcHandle>(reinterpret_cast<uintptr_t>(h)); }
}  // namespace

std::unique_ptr<IpcTransport> makeSystemTransport() { return std::make_unique<Win32Transport>(); }

IpcHandle Win32Transport::findWindow(const char* className) {
  return fromHandle(FindWindowExA(nullptr, nullptr, className, nullptr));
}

uint32_t Win32Transport::registerWindowMessage(const char* name) {
  const UINT id = RegisterWindowMessageA(name);
  if (id == 0) lastError_ = GetLastError();
  return id;
}

uint16_t Win32Transport::addAtom(const char* name) {
  const ATOM atom = GlobalAddAtomA(name);
  if (atom == 0) lastError_ = GetLastError();
  return atom;
}

void Win32Transport::deleteAtom(uint16_t atom) { GlobalDeleteAtom(atom); }

IpcHandle Win32Transport::createMapping(const char* name, size_t size, bool& alreadyExisted) {
  SetLastError(0);
  const HANDLE h = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                      static_cast<DWORD>(size), name);
  const DWORD error = GetLastError();
  alreadyExisted = error == ERROR_ALREADY_EXISTS;
  if (!h || alreadyExisted) lastError_ = error;
  return fromHandle(h);
}

uint8_t* Win32Transport::mapView(IpcHandle mapping, size_t size) {
  void* view = MapViewOfFile(asHandle(mapping), FILE_MAP_WRITE, 0, 0, size);
  if (!view) lastError_ = GetLastError();
  return static_cast<uint8_t*>(view);
}

void Win32Transport::unmapView(uint8_t* view, size_t) {
  if (view) UnmapViewOfFile(view);
}

void Win32Transport::closeMapping(IpcHandle mapping) {
  if (mapping) CloseHandle(asHandle(mapping));
}

bool Win32Transport::sendMessageTimeout(IpcHandle window, uint32_t msgId, uint64_t wParam,
                                        uint64_t lParam, uint32_t timeoutMs, uint32_t& answer) {
  DWORD_PTR result = 0;
  SetLastError(0);
  const LRESULT sent = SendMessageTimeoutA(
      reinterpret_cast<HWND>(static_cast<uintptr_t>(window)), msgId, static_cast<WPARAM>(wParam),
      static_cast<LPARAM>(lParam), SMTO_BLOCK, timeoutMs, &result);
  if (sent == 0) {
    const DWORD error = GetLastError();
    lastError_ = error == ERROR_TIMEOUT ? 0 : error;
    return false;
  }
  answer = static_cast<uint32_t>(result);
  return true;
}

uint32_t Win32Transport::processId() const { return GetCurrentProcessId(); }

}  // namespace platform
