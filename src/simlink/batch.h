#pragma once

#include <concepts>
#include <cstdint>
#include <type_traits>

#include "simlink/offsets.h"
#include "simlink/sim_link.h"

namespace simlink {

/// One exchange with the simulator: catalogued variables are queued in order and process()
/// sends them. A destination or value must have exactly the variable's type, so a request
/// can never copy more or fewer bytes than its variable holds. The first refused request
/// ends the batch: later requests are not queued and process() sends nothing, reporting the
/// refusal's result code.
class Batch {
 public:
  /// A batch on link.
  explicit Batch(Link& link) : link_(link) {}

  /// Queues a read into dest, which is filled by a successful process() and must stay valid
  /// until then.
  template <typename T>
  Batch& read(const Var<T>& var, std::type_identity_t<T>& dest) {
    if (queued_) queued_ = link_.SimLinkRead(var.offset, var.size, &dest, result_);
    return *this;
  }
  /// Queues the two halves of a 64-bit position, low half first.
  Batch& read(const PositionVar& var, FixedPoint& dest) {
    return read(var.low, dest.low).read(var.high, dest.high);
  }
  /// Queues a write of value (copied at once).
  template <typename T, typename U>
  requires std::same_as<std::remove_cvref_t<U>, T> Batch& write(const Var<T>& var, const U& value) {
    if (queued_) queued_ = link_.SimLinkWrite(var.offset, var.size, &value, result_);
    return *this;
  }
  /// Sends what was queued and stores the reads; true when every request was queued and the
  /// exchange succeeded. Blocks like SimLinkProcess. Once sent, the batch can queue the next.
  bool process() { return queued_ && link_.SimLinkProcess(result_); }
  /// True while every request so far has been queued.
  bool queued() const { return queued_; }
  /// Result code of the refused request or of the exchange (kSimLinkOk until one fails).
  uint32_t result() const { return result_; }

 private:
  Link& link_;
  bool queued_ = true;
  uint32_t result_ = kSimLinkOk;
};

}  // namespace simlink
