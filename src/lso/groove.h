#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The landing signal officer in the groove: follows one pass sample by sample (one sample per
// catch-check tick), records the errors at each phase, makes the calls, waves off an unsafe
// pass, and grades the pass when it ends. Pure logic: it is fed samples and never reads the
// simulator, the clock or any control.

/// The phases of a pass, in the order they are flown.
enum class TLsoPhase { X, IM, IC, AR, IW };
inline constexpr int LsoPhaseCount = 5;

/// The phase's name in the comment: "X", "IM", "IC", "AR", "IW".
const char* LsoPhaseName(TLsoPhase phase);

/// Distances to go to the touchdown point where X, IM and IC begin: 0.75, 0.5, 0.25 NM.
inline constexpr double LsoStartM = 0.75 * 1852.0;
inline constexpr double LsoMiddleM = 0.5 * 1852.0;
inline constexpr double LsoInCloseM = 0.25 * 1852.0;

/// The call texts.
inline constexpr const char* CallRogerBall = "Roger ball";
inline constexpr const char* CallHigh = "You're high";
inline constexpr const char* CallLow = "You're low";
inline constexpr const char* CallPower = "Power";
inline constexpr const char* CallRightForLineup = "Right for lineup";
inline constexpr const char* CallComeLeft = "Come left";
inline constexpr const char* CallWaveOff = "Wave off, wave off";
inline constexpr const char* CallBolter = "Bolter, bolter";

/// The call thresholds, degrees: high above, low below, power below (inside IC), lineup
/// beyond (either side).
inline constexpr double CallHighDeg = 0.4;
inline constexpr double CallLowDeg = -0.3;
inline constexpr double CallPowerDeg = -0.6;
inline constexpr double CallLineupDeg = 1.0;
/// The wave-off between IC and AR: glide-slope error above / below, lineup beyond, degrees.
inline constexpr double WaveOffHighDeg = 1.8;
inline constexpr double WaveOffLowDeg = -1.2;
inline constexpr double WaveOffLineupDeg = 3.0;
/// At most one call in this many milliseconds, the wave-off and the bolter excepted: they are
/// called at once. A deviation is called at the first tick it is seen (so within 0.5 s of it at
/// the catch check's 50 ms), or, when a call was made less than this long before, at the first
/// tick after the gap if it still holds.
inline constexpr std::int64_t CallGapMs = 3000;

/// One sample of the pass: the approach geometry's figures at a catch-check tick.
struct TGrooveSample {
  std::int64_t timeMs = 0;
  double distanceM = 0;  // to go to the touchdown point
  double glideSlopeDeg = 0;
  double lineupDeg = 0;
  double heightM = 0;
  bool inGroove = false;
  double groundSpeedKt = 0;
  double sinkFpm = 0;  // rate of descent, positive down
};

/// What the pass showed at one phase.
struct TPhaseRecord {
  bool seen = false;
  std::int64_t timeMs = 0;
  double glideSlopeDeg = 0;
  double lineupDeg = 0;
  double groundSpeedKt = 0;
  double sinkFpm = 0;
};

/// A call, made at timeMs.
struct TLsoCall {
  std::int64_t timeMs = 0;
  std::string text;
  bool operator==(const TLsoCall&) const = default;
};

/// Follows one pass. Feed it every catch-check tick; tell it when the cables catch (inWires)
/// or the aircraft leaves the catch area uncaught (bolter); reset it for the next pass.
class TGrooveTracker {
 public:
  /// arDistanceM: distance to go to the touchdown point at the back edge of the catch area
  /// (where AR is recorded).
  explicit TGrooveTracker(double arDistanceM);

  /// One catch-check tick. Returns the call made at this tick, if any.
  std::optional<TLsoCall> feed(const TGrooveSample& s);
  /// The cables caught the aircraft: records IW with s and the wire.
  void inWires(const TGrooveSample& s, int wire);
  /// The aircraft left the catch area uncaught. Calls "Bolter, bolter" unless the pass was
  /// waved off (then it stays a wave-off).
  std::optional<TLsoCall> bolter(std::int64_t timeMs);
  /// Forgets the pass.
  void reset();

  bool started() const { return started_; }
  bool wavedOff() const { return waveOff_.seen; }
  bool boltered() const { return boltered_; }
  int wire() const { return wire_; }
  const TPhaseRecord& phase(TLsoPhase p) const { return phases_[static_cast<int>(p)]; }
  /// The errors when the pass was waved off.
  const TPhaseRecord& waveOffRecord() const { return waveOff_; }
  const std::vector<TLsoCall>& calls() const { return calls_; }

 private:
  /// The kinds of deviation call, in the order of precedence when several are due at once.
  enum Deviation { Power, Low, High, RightForLineup, ComeLeft, DeviationCount };
  std::optional<TLsoCall> call(std::int64_t timeMs, const char* text);

  double arDistanceM_;
  bool started_ = false;
  bool boltered_ = false;
  int wire_ = 0;
  std::array<TPhaseRecord, LsoPhaseCount> phases_{};
  TPhaseRecord waveOff_;
  std::vector<TLsoCall> calls_;
  std::optional<std::int64_t> lastCallMs_;
  // When each deviation began (empty while it does not hold) and whether it has been called
  // since it began.
  std::array<std::optional<std::int64_t>, DeviationCount> since_{};
  std::array<bool, DeviationCount> called_{};
};

// ---- Grading ----

/// How far a deviation went.
enum class TSeverity { None, Little, Reasonable, Gross };

/// What a band row measures.
enum class TBandQuantity { GlideSlope, Lineup, SinkRatio };

/// One row of the deviation bands: the mark of a deviation and where its little, reasonable and
/// gross bands begin. For the negative directions (low, left) the limits are below zero and a
/// value beyond means below; a value exactly at a limit is inside the milder band.
struct TDeviationBand {
  const char* mark;
  TBandQuantity quantity;
  double little, reasonable, gross;
};

/// The bands, in the order their marks are written in a phase.
extern const std::array<TDeviationBand, 5> DeviationBands;

/// The sink rate of the glide slope itself at a ground speed, ft/min.
double GlideSlopeSinkFpm(double glideSlopeDeg, double groundSpeedKt);

/// The severity of value against one band row.
TSeverity SeverityOf(const TDeviationBand& band, double value);

/// A graded pass.
struct TLsoGrade {
  std::string grade;  // "_OK_", "OK", "(OK)", "--", "B", "WO", "CUT"
  double points = 0;
  std::string comment;  // "(H)X LUL IM _LO_IC 3 wire"
  int wire = 0;         // 0 when not caught
};

/// Grades the pass the tracker followed, on a glide slope of glideSlopeDeg.
TLsoGrade GradePass(const TGrooveTracker& pass, double glideSlopeDeg);
