#pragma once

#include <cstddef>
#include <cstdint>

namespace platform::ipcwire {

/// First word of every request and reply ("CVIP" little-endian).
inline constexpr uint32_t kMagic = 0x50495643;
/// Longest mapping name a request may carry.
inline constexpr uint32_t kMaxNameLength = 255;

/// Fixed part of a request; the mapping name (nameLength bytes, no terminator) follows.
struct Request {
  uint32_t magic;
  uint32_t messageId;
  uint64_t wParam;
  uint64_t lParam;
  uint32_t nameLength;
  uint32_t reserved;
};
static_assert(sizeof(Request) == 32);

/// The whole reply.
struct Reply {
  uint32_t magic;
  uint32_t answer;
};
static_assert(sizeof(Reply) == 8);

/// Writes all of data, waiting for the socket up to the deadline (steady-clock ms); returns
/// 0, -1 on time-out, or the errno of the failure.
int sendAll(int fd, const void* data, size_t size, int64_t deadlineMs);
/// Reads exactly size bytes up to the deadline; returns 0, -1 on time-out, or an errno
/// (ECONNRESET when the peer closed).
int receiveAll(int fd, void* data, size_t size, int64_t deadlineMs);
/// Steady-clock milliseconds for the deadlines above.
int64_t steadyNowMs();

}  // namespace platform::ipcwire
