#include "platform/ipc_loopback.h"

#include <cstring>
#include <string>

namespace platform {

namespace {

constexpr IpcHandle kFsuipcWindow = 0x0100;
constexpr IpcHandle kWideWindow = 0x0200;
constexpr uint32_t kMessageId = 0xC0DE;
constexpr uint32_t kErrorNotEnoughMemory = 8;
constexpr uint32_t kErrorInvalidHandle = 6;

uint32_t loadU32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

}  // namespace

void zeroReadResults(uint8_t* block, size_t size) {
  size_t pos = 0;
  while (pos + 4 <= size) {
    const uint32_t id = loadU32(block + pos);
    if ((id & 0xFF) == 0 || (id != 1 && id != 2)) return;
    const size_t header = id == 1 ? 16 : 12;
    if (pos + header > size) return;
    const uint64_t length = loadU32(block + pos + 8);
    if (length > size - pos - header) return;
    if (id == 1) std::memset(block + pos + header, 0, length);
    pos += header + length;
  }
}

LoopbackTransport::LoopbackTransport(BlockHandler handler) : handler_(std::move(handler)) {}

IpcHandle LoopbackTransport::findWindow(const char* className) {
  const std::string name = className;
  if (name == "UIPCMAIN" && server_ == Server::Fsuipc) return kFsuipcWindow;
  if (name == "FS98MAIN" && server_ != Server::None) return kWideWindow;
  return 0;
}

uint32_t LoopbackTransport::registerWindowMessage(const char* name) {
  if (failRegistration_ || name == nullptr || *name == '\0') {
    lastError_ = kErrorNotEnoughMemory;
    return 0;
  }
  return kMessageId;
}

uint16_t LoopbackTransport::addAtom(const char* name) {
  if (failAtom_ || name == nullptr || *name == '\0') {
    lastError_ = kErrorNotEnoughMemory;
    return 0;
  }
  const uint16_t atom = nextAtom_++;
  atoms_[atom] = name;
  return atom;
}

void LoopbackTransport::deleteAtom(uint16_t atom) { atoms_.erase(atom); }

void LoopbackTransport::addForeignMapping(const std::string& name) {
  Mapping& m = mappings_[name];
  m.bytes.resize(kIpcBlockSize);
  ++m.holders;
}

IpcHandle LoopbackTransport::createMapping(const char* name, size_t size, bool& alreadyExisted) {
  lastMappingName_ = name;
  alreadyExisted = false;
  if (failMapping_) {
    lastError_ = kErrorNotEnoughMemory;
    return 0;
  }
  Mapping& m = mappings_[name];
  alreadyExisted = m.holders > 0;
  if (!alreadyExisted) m.bytes.assign(size, 0);
  ++m.holders;
  const IpcHandle handle = nextHandle_++;
  handles_[handle] = name;
  return handle;
}

uint8_t* LoopbackTransport::mapView(IpcHandle mapping, size_t size) {
  const auto it = handles_.find(mapping);
  if (failView_ || it == handles_.end() || mappings_[it->second].bytes.size() < size) {
    lastError_ = failView_ ? kErrorNotEnoughMemory : kErrorInvalidHandle;
    return nullptr;
  }
  ++views_;
  return mappings_[it->second].bytes.data();
}

void LoopbackTransport::unmapView(uint8_t* view, size_t) {
  if (view != nullptr) --views_;
}

void LoopbackTransport::closeMapping(IpcHandle mapping) {
  const auto it = handles_.find(mapping);
  if (it == handles_.end()) return;
  const auto m = mappings_.find(it->second);
  if (m != mappings_.end() && --m->second.holders <= 0) mappings_.erase(m);
  handles_.erase(it);
}

void LoopbackTransport::failSends(int count, uint32_t error) {
  failSendsLeft_ = count;
  failSendError_ = error;
}

uint8_t* LoopbackTransport::block(const std::string& name) {
  const auto it = mappings_.find(name);
  return it == mappings_.end() ? nullptr : it->second.bytes.data();
}

bool LoopbackTransport::sendMessageTimeout(IpcHandle window, uint32_t msgId, uint64_t wParam,
                                           uint64_t, uint32_t timeoutMs, uint32_t& answer) {
  ++sends_;
  if (failSendsLeft_ > 0) {
    --failSendsLeft_;
    lastError_ = failSendError_;
    if (clock_ != nullptr && failSendError_ == 0) clock_->sleepMs(timeoutMs);
    return false;
  }
  if (window != kFsuipcWindow && window != kWideWindow) {
    lastError_ = 1400;  // invalid window handle
    return false;
  }
  answer = 0;
  const auto atom = wParam <= 0xFFFF ? atoms_.find(static_cast<uint16_t>(wParam)) : atoms_.end();
  if (msgId != kMessageId || atom == atoms_.end()) return true;
  const auto m = mappings_.find(atom->second);
  if (m == mappings_.end()) return true;
  uint8_t* data = m->second.bytes.data();
  const size_t size = m->second.bytes.size();
  ++batches_;
  if (onBatch) onBatch(data, size);
  if (relayZeros_) {
    zeroReadResults(data, size);
    answer = 1;
  } else {
    answer = handler_ ? handler_(data, size) : 0;
  }
  if (answerOverride_) answer = *answerOverride_;
  return true;
}

}  // namespace platform
