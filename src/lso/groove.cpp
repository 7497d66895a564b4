#include "lso/groove.h"

#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;
/// Feet per minute in one knot.
constexpr double kFpmPerKnot = 1852.0 / 0.3048 / 60.0;

const char* const kPhaseNames[LsoPhaseCount] = {"X", "IM", "IC", "AR", "IW"};

}  // namespace

const char* LsoPhaseName(TLsoPhase phase) { return kPhaseNames[static_cast<int>(phase)]; }

// ---- The tracker ----

TGrooveTracker::TGrooveTracker(double arDistanceM) : arDistanceM_(arDistanceM) {}

void TGrooveTracker::reset() { *this = TGrooveTracker(arDistanceM_); }

std::optional<TLsoCall> TGrooveTracker::call(std::int64_t timeMs, const char* text) {
  lastCallMs_ = timeMs;
  calls_.push_back({timeMs, text});
  return calls_.back();
}

namespace {

TPhaseRecord recordOf(const TGrooveSample& s) {
  return {true, s.timeMs, s.glideSlopeDeg, s.lineupDeg, s.groundSpeedKt, s.sinkFpm};
}

}  // namespace

std::optional<TLsoCall> TGrooveTracker::feed(const TGrooveSample& s) {
  if (!started_) {
    if (!s.inGroove) return std::nullopt;
    started_ = true;
  }
  if (wavedOff() || boltered_ || wire_ != 0) return std::nullopt;

  auto& x = phases_[static_cast<int>(TLsoPhase::X)];
  auto& im = phases_[static_cast<int>(TLsoPhase::IM)];
  auto& ic = phases_[static_cast<int>(TLsoPhase::IC)];
  auto& ar = phases_[static_cast<int>(TLsoPhase::AR)];

  // A tick may pass more than one phase when samples are sparse: each gets this sample.
  const bool newX = !x.seen && s.distanceM <= LsoStartM;
  if (newX) x = recordOf(s);
  if (!im.seen && s.distanceM <= LsoMiddleM) im = recordOf(s);
  if (!ic.seen && s.distanceM <= LsoInCloseM) ic = recordOf(s);
  if (!ar.seen && s.distanceM <= arDistanceM_) ar = recordOf(s);
  // Between IC and AR an unsafe pass is waved off at once.
  if (s.distanceM <= LsoInCloseM && s.distanceM > arDistanceM_ &&
      (s.glideSlopeDeg > WaveOffHighDeg || s.glideSlopeDeg < WaveOffLowDeg ||
       std::fabs(s.lineupDeg) > WaveOffLineupDeg)) {
    waveOff_ = recordOf(s);
    return call(s.timeMs, CallWaveOff);
  }
  if (newX) return call(s.timeMs, CallRogerBall);
  if (!x.seen) return std::nullopt;

  // The deviations that hold now; each is called once until it clears.
  std::array<bool, DeviationCount> holds{};
  holds[Power] = ic.seen && s.glideSlopeDeg < CallPowerDeg;
  holds[Low] = s.glideSlopeDeg < CallLowDeg;
  holds[High] = s.glideSlopeDeg > CallHighDeg;
  holds[RightForLineup] = s.lineupDeg < -CallLineupDeg;
  holds[ComeLeft] = s.lineupDeg > CallLineupDeg;
  for (int d = 0; d < DeviationCount; ++d) {
    if (!holds[d]) {
      since_[d].reset();
      called_[d] = false;
    } else if (!since_[d]) {
      since_[d] = s.timeMs;
    }
  }
  if (lastCallMs_ && s.timeMs - *lastCallMs_ < CallGapMs) return std::nullopt;
  static const char* const kTexts[DeviationCount] = {CallPower, CallLow, CallHigh,
                                                     CallRightForLineup, CallComeLeft};
  for (int d = 0; d < DeviationCount; ++d) {
    if (holds[d] && !called_[d]) {
      called_[d] = true;
      if (d == Power) called_[Low] = holds[Low];  // "Power" says the aircraft is low as well
      return call(s.timeMs, kTexts[d]);
    }
  }
  return std::nullopt;
}

void TGrooveTracker::inWires(const TGrooveSample& s, int wire) {
  wire_ = wire;
  phases_[static_cast<int>(TLsoPhase::IW)] = recordOf(s);
}

std::optional<TLsoCall> TGrooveTracker::bolter(std::int64_t timeMs) {
  if (wavedOff() || boltered_ || wire_ != 0) return std::nullopt;
  boltered_ = true;
  return call(timeMs, CallBolter);
}

// ---- Grading ----

// The deviation bands. The little bands begin at the call thresholds, so a deviation the LSO
// called is marked; the gross bands lie inside the wave-off limits, so a pass that came close to a
// wave-off is marked gross. Sink is the sink rate in the wires against the glide slope's own.
const std::array<TDeviationBand, 5> DeviationBands = {{
    {"H", TBandQuantity::GlideSlope, CallHighDeg, 0.8, 1.2},
    {"LO", TBandQuantity::GlideSlope, CallLowDeg, CallPowerDeg, -0.9},
    {"LUL", TBandQuantity::Lineup, -CallLineupDeg, -2.0, -WaveOffLineupDeg},
    {"LUR", TBandQuantity::Lineup, CallLineupDeg, 2.0, WaveOffLineupDeg},
    {"SINK", TBandQuantity::SinkRatio, 1.15, 1.3, 1.5},
}};

double GlideSlopeSinkFpm(double glideSlopeDeg, double groundSpeedKt) {
  return groundSpeedKt * kFpmPerKnot * std::tan(glideSlopeDeg * kPi / 180.0);
}

TSeverity SeverityOf(const TDeviationBand& band, double value) {
  const bool below = band.little < 0;
  auto beyond = [&](double limit) { return below ? value < limit : value > limit; };
  if (beyond(band.gross)) return TSeverity::Gross;
  if (beyond(band.reasonable)) return TSeverity::Reasonable;
  if (beyond(band.little)) return TSeverity::Little;
  return TSeverity::None;
}

namespace {

struct TMarks {
  std::vector<std::string> pieces;
  int little = 0, reasonable = 0, gross = 0;
};

/// Adds the marks of one record to the comment and the counts. The glide slope and lineup are
/// not judged in the wires (the angles from the touchdown point mean nothing there), the sink
/// only there.
void markRecord(const TPhaseRecord& r, bool inWires, double glideSlopeDeg, TMarks& m) {
  for (const TDeviationBand& band : DeviationBands) {
    if ((band.quantity == TBandQuantity::SinkRatio) != inWires) continue;
    double value = 0;
    switch (band.quantity) {
      case TBandQuantity::GlideSlope:
        value = r.glideSlopeDeg;
        break;
      case TBandQuantity::Lineup:
        value = r.lineupDeg;
        break;
      case TBandQuantity::SinkRatio: {
        const double own = GlideSlopeSinkFpm(glideSlopeDeg, r.groundSpeedKt);
        value = own > 0 ? r.sinkFpm / own : 0;
        break;
      }
    }
    switch (SeverityOf(band, value)) {
      case TSeverity::None:
        break;
      case TSeverity::Little:
        ++m.little;
        m.pieces.push_back(std::string("(") + band.mark + ")");
        break;
      case TSeverity::Reasonable:
        ++m.reasonable;
        m.pieces.push_back(band.mark);
        break;
      case TSeverity::Gross:
        ++m.gross;
        m.pieces.push_back(std::string("_") + band.mark + "_");
        break;
    }
  }
}

/// Joins the pieces: a piece ending in a letter is kept apart from the next by a space, one
/// ending in ')' or '_' runs into it ("(H)X", "LUL IM", "_LO_IC").
std::string joined(const std::vector<std::string>& pieces) {
  std::string out;
  for (const std::string& p : pieces) {
    if (!out.empty()) {
      const char last = out.back();
      if (last != ')' && last != '_') out += ' ';
    }
    out += p;
  }
  return out;
}

}  // namespace

TLsoGrade GradePass(const TGrooveTracker& pass, double glideSlopeDeg) {
  TMarks m;
  auto phaseMarks = [&](const TPhaseRecord& r, bool inWires, const char* name) {
    if (!r.seen) return;
    const std::size_t before = m.pieces.size();
    markRecord(r, inWires, glideSlopeDeg, m);
    if (m.pieces.size() == before && name != std::string("WO")) return;
    m.pieces.push_back(name);
  };
  for (int p = 0; p < LsoPhaseCount; ++p) {
    const auto phase = static_cast<TLsoPhase>(p);
    phaseMarks(pass.phase(phase), phase == TLsoPhase::IW, LsoPhaseName(phase));
    if (phase == TLsoPhase::IC) phaseMarks(pass.waveOffRecord(), false, "WO");
  }
  TLsoGrade g;
  g.wire = pass.wire();
  if (g.wire != 0) m.pieces.push_back(std::to_string(g.wire) + " wire");
  if (pass.boltered()) m.pieces.push_back("bolter");
  g.comment = joined(m.pieces);

  if (pass.wavedOff()) {
    g.grade = g.wire != 0 ? "CUT" : "WO";
    g.points = g.wire != 0 ? 0 : 1;
  } else if (pass.boltered()) {
    g.grade = "B";
    g.points = 2.5;
  } else if (g.wire == 0 || m.gross > 0 || m.reasonable > 2) {
    g.grade = "--";
    g.points = 2;
  } else if (m.reasonable > 0 || g.wire == 1) {
    g.grade = "(OK)";
    g.points = 3;
  } else if (m.little > 0 || g.wire != 3) {
    g.grade = "OK";
    g.points = 4;
  } else {
    g.grade = "_OK_";
    g.points = 5;
  }
  return g;
}
