#include "sim/reaction.h"

#include <algorithm>
#include <cstdio>

namespace sim {

namespace {

std::string milliseconds(int64_t us) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f ms", static_cast<double>(us) / 1000.0);
  return buf;
}

std::string figures(const char* what, const char* from, std::vector<int64_t> us) {
  if (us.empty()) return {};
  std::sort(us.begin(), us.end());
  std::string out = std::string(what) + " reaction (" + from + "): ";
  out += std::to_string(us.size()) + (us.size() == 1 ? " time, " : " times, ");
  out += "median " + milliseconds(us[us.size() / 2]) + ", max " + milliseconds(us.back()) + "\n";
  return out;
}

}  // namespace

bool CatchArea::contains(const AircraftState& s) const {
  return s.latDeg >= latMin && s.latDeg <= latMax && s.lonDeg >= lonMin && s.lonDeg <= lonMax &&
         s.altFt >= floorFt && s.altFt <= ceilingFt;
}

void ReactionTracker::setCatchArea(const CatchArea& area) {
  area_ = area;
  inside_ = false;
  enteredUs_.reset();
}

void ReactionTracker::onStep(int64_t timeUs, const AircraftState& after) {
  const bool inside = area_ && area_->contains(after);
  if (inside && !inside_) enteredUs_ = timeUs;
  if (!inside) enteredUs_.reset();  // left the area uncaught: a bolter, nothing to measure
  inside_ = inside;
  onControls(timeUs, after);
}

void ReactionTracker::onControls(int64_t timeUs, const AircraftState& now) {
  if (lastBrake_ > 0 && now.brake == 0) releasedUs_ = timeUs;
  if (now.brake > 0) releasedUs_.reset();
  lastBrake_ = now.brake;
}

void ReactionTracker::onAccel(int64_t timeUs, double fps2, Observer& obs) {
  if (fps2 < 0 && enteredUs_) {
    trapUs_.push_back(timeUs - *enteredUs_);
    obs.note(timeUs, "REACTION trap " + milliseconds(trapUs_.back()) +
                         " from entering the catch area to the first deceleration");
    enteredUs_.reset();
  }
  if (fps2 > 0 && releasedUs_) {
    launchUs_.push_back(timeUs - *releasedUs_);
    obs.note(timeUs, "REACTION launch " + milliseconds(launchUs_.back()) +
                         " from the brake release to the first acceleration");
    releasedUs_.reset();
  }
}

std::string ReactionTracker::text() const {
  return figures("Trap", "catch area to first deceleration", trapUs_) +
         figures("Launch", "brake release to first acceleration", launchUs_);
}

}  // namespace sim
