#include "sim/simulator.h"

#include <algorithm>
#include <cstdio>

#include "sim/log_check.h"
#include "sim/sim_offsets.h"

namespace sim {
namespace {

SimulatorOptions sane(SimulatorOptions o) {
  o.stepHz = std::clamp(o.stepHz, 1, 10000);
  return o;
}

std::string number(double v) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "%.6g", v);
  return buf;
}

}  // namespace

Simulator::Simulator(platform::Clock& clock, SimulatorOptions options)
    : options_(sane(options)),
      server_(clock, options_.server),
      model_(options_.tuning),
      hotKeys_(server_.space(), options_.hotKeySlots),
      originMs_(clock.nowMs()) {
  installHooks();
  model_.state().windKt = options_.windKt;
  model_.state().windFromDeg = options_.windFromDeg;
  model_.publish(server_.space());
}

void Simulator::installHooks() {
  server_.beforeBlock = [this](int64_t nowMs) { advanceTo(nowMs); };
  server_.onHandshake = [this](int64_t) {
    if (loaded_) startScenario();
    observer_.note(observationUs(),
                   "HANDSHAKE client library " + std::to_string(server_.clientLibraryVersion()));
  };
  server_.onClientWrite = [this](uint32_t offset, uint32_t size, const uint8_t* data) {
    observer_.addWrite(observationUs(), offset, size, data);
  };
  OffsetSpace& sp = server_.space();

  server_.onWrite(off::kAccel, 8, [this, &sp](uint32_t, uint32_t) {
    const double fps2 = sp.get<double>(off::kAccel);
    if (!model_.setPendingAccel(fps2))
      observer_.note(observationUs(), "IGNORED acceleration that is not a number");
    else
      reaction_.onAccel(observationUs(), fps2, observer_);
  });
  server_.onWrite(off::kMessageText, off::kMessageSize,
                  [this](uint32_t, uint32_t) { messagePending_ = true; });
  server_.onWrite(off::kMessageSeconds, 2, [this](uint32_t, uint32_t) {
    messagePending_ = true;
    flushMessage();
  });
  server_.onWrite(off::kSoundControl, 2, [this, &sp](uint32_t, uint32_t) {
    model_.state().soundControl = sp.get<uint16_t>(off::kSoundControl);
    observer_.note(observationUs(), "SOUND " + std::to_string(model_.state().soundControl));
  });
  server_.onWrite(off::kSmoke, 2, [this, &sp](uint32_t, uint32_t) {
    model_.state().smoke = sp.get<uint16_t>(off::kSmoke);
    observer_.note(observationUs(), "SMOKE " + std::to_string(model_.state().smoke));
  });
  server_.onWrite(off::kFirstFailureFlag, 16, [this, &sp](uint32_t, uint32_t) {
    AircraftState& s = model_.state();
    for (uint32_t i = 0; i < 16; ++i) {
      uint8_t now = sp.get<uint8_t>(off::kFirstFailureFlag + i);
      uint8_t was = s.flags[i];
      if (now == was) continue;
      s.flags[i] = now;
      uint32_t offset = off::kFirstFailureFlag + i;
      if (offset == off::kEngineFailures) {
        for (int e = 0; e < 8; ++e) {
          bool a = was & (1u << e), b = now & (1u << e);
          if (a != b)
            observer_.note(observationUs(),
                           "ENGINE " + std::to_string(e + 1) + (b ? " FAILED" : " RESTORED"));
        }
      } else {
        char buf[64];
        std::snprintf(buf, sizeof buf, "FLAG 0x%04X %u -> %u", offset, was, now);
        observer_.note(observationUs(), buf);
      }
    }
  });
  for (int i = 0; i < 6; ++i) {
    server_.onWrite(off::kTankLevel[i], 4, [this, &sp, i](uint32_t, uint32_t) {
      Tank& t = model_.state().tanks[i];
      uint32_t now = sp.get<uint32_t>(off::kTankLevel[i]);
      if (now == t.level) return;
      char buf[96];
      std::snprintf(buf, sizeof buf, "TANK %s %.4f -> %.4f", kTankNames[i],
                    double(t.level) / off::kTankFull, double(now) / off::kTankFull);
      t.level = now;
      observer_.note(observationUs(), buf);
    });
  }
  // Values the client only reads are served from the model whatever a client writes there.
  server_.onWrite(off::kHotKeyCount, 4, [this, &sp](uint32_t, uint32_t) {
    sp.set<uint32_t>(off::kHotKeyCount, hotKeys_.slotCount());
  });
}

std::function<uint32_t(uint8_t*, size_t)> Simulator::handler() {
  return [this](uint8_t* block, size_t size) { return handleBlock(block, size); };
}

uint32_t Simulator::handleBlock(uint8_t* block, size_t size) {
  uint32_t answer = server_.handleBlock(block, size);
  flushMessage();
  return answer;
}

void Simulator::flushMessage() {
  if (!messagePending_) return;
  messagePending_ = false;
  const OffsetSpace& sp = server_.space();
  observer_.addMessage(observationUs(), sp.text(off::kMessageText, off::kMessageSize),
                       sp.get<int16_t>(off::kMessageSeconds));
}

int64_t Simulator::simUs() const { return stepUs(steps_); }

int64_t Simulator::obsTime(int64_t usSinceOrigin) const {
  return usSinceOrigin - (startUs_ ? *startUs_ : 0);
}

int64_t Simulator::observationUs() const { return obsTime(std::max(clockUs(), simUs())); }

void Simulator::advanceTo(int64_t ms) {
  int64_t target = (ms - originMs_) * 1000;
  while (stepUs(steps_ + 1) <= target) doStep();
}

void Simulator::doStep() {
  ++steps_;
  int64_t t = stepUs(steps_);
  double dt = 1.0 / options_.stepHz;  // a fixed step, whatever the rounding of its time stamp
  if (approach_) steerOnApproach(*approach_, model_.state());
  AircraftState before = model_.state();
  StepEvents ev = model_.step(dt);
  if (approach_ && (model_.state().onGround || model_.state().crashed)) approach_.reset();
  if (approach_ && obsTime(t) - approachNotedUs_ >= 1'000'000) noteApproach(obsTime(t));
  motion_.onStep(obsTime(t), dt, before, model_.state(), ev, observer_);
  reaction_.onStep(obsTime(t), model_.state());
  catchEntries_.onStep(obsTime(t), dt, before, model_.state(), observer_);
  runDue(t);
  model_.publish(server_.space());
  if (trace_) traceRow(t);
}

void Simulator::noteApproach(int64_t when) {
  const FlownErrors e = flownErrors(*approach_, model_.state());
  char text[128];
  std::snprintf(text, sizeof text, "APPROACH %.3f NM, %.0f ft, glide slope %+.3f, lineup %+.3f",
                e.distanceNm, e.heightFt, e.slopeErrorDeg, e.lineupErrorDeg);
  observer_.note(when, text);
  approachNotedUs_ = when;
}

void Simulator::runDue(int64_t usSinceOrigin) {
  if (!startUs_ || finished_) return;
  int64_t scenarioUs = usSinceOrigin - *startUs_;
  while (!finished_ && next_ < scenario_.timed.size() && scenario_.timed[next_].atUs <= scenarioUs)
    execute(scenario_.timed[next_++], usSinceOrigin);
}

void Simulator::execute(const ScenarioCommand& c, int64_t usSinceOrigin) {
  using Kind = ScenarioCommand::Kind;
  int64_t when = obsTime(usSinceOrigin);
  std::string where = "line " + std::to_string(c.line) + ": ";
  switch (c.kind) {
    case Kind::Set:
      for (const auto& [f, v] : c.sets) {
        // Moving the aircraft takes it off the approach; the hook, the gear and the rest do not.
        if (f.id <= FieldId::Vs || f.id == FieldId::Slew || f.id == FieldId::Crashed)
          approach_.reset();
        setField(model_.state(), f, v);
      }
      model_.publish(server_.space());
      reaction_.onControls(when, model_.state());
      observer_.note(when, "SCENARIO " + where + c.source);
      break;
    case Kind::Key: {
      int n = hotKeys_.press(c.key);
      observer_.note(when, "KEY " + hotKeyName(c.key) +
                               (n > 0 ? " (" + std::to_string(n) + " slot" + (n > 1 ? "s)" : ")")
                                      : " (no slot registered)"));
      break;
    }
    case Kind::End:
      observer_.note(when, "SCENARIO " + where + c.source);
      finishScenario();
      break;
    case Kind::CatchArea:
      reaction_.setCatchArea(c.area);
      catchEntries_.setCatchArea(c.area);
      observer_.note(when, "SCENARIO " + where + c.source);
      break;
    case Kind::Approach:
      approach_ = c.approach;
      placeOnApproach(c.approach, model_.tuning(), model_.state());
      model_.publish(server_.space());
      reaction_.onControls(when, model_.state());
      observer_.note(when, "SCENARIO " + where + c.source);
      noteApproach(when);
      break;
    default: {
      ExpectationResult r = check(c);
      observer_.note(when, std::string(r.passed ? "EXPECT ok " : "EXPECT FAILED ") + where +
                               c.source + (r.detail.empty() ? "" : " (" + r.detail + ")"));
      results_.push_back(std::move(r));
    }
  }
}

ExpectationResult Simulator::check(const ScenarioCommand& c) const {
  using Kind = ScenarioCommand::Kind;
  ExpectationResult r;
  r.line = c.line;
  r.source = c.source;
  switch (c.kind) {
    case Kind::ExpectMessage:
      r.passed = observer_.sawMessage(c.text);
      if (!r.passed) r.detail = "no such message was shown";
      break;
    case Kind::ExpectNoMessage:
      r.passed = !observer_.sawMessage(c.text);
      if (!r.passed) r.detail = "the message was shown";
      break;
    case Kind::ExpectWrite:
      r.passed = observer_.sawWrite(c.offset);
      if (!r.passed) r.detail = "the client never wrote it";
      break;
    case Kind::ExpectLog:
      r.passed = logHasLine(logFile_, c.text, r.detail);
      break;
    case Kind::ExpectField: {
      double v = getField(model_.state(), c.field);
      r.passed = compareValues(v, c.op, c.value);
      if (!r.passed) r.detail = fieldName(c.field) + " is " + number(v);
      break;
    }
    default:
      r.passed = true;
  }
  return r;
}

void Simulator::loadScenario(Scenario scenario) {
  scenario_ = std::move(scenario);
  loaded_ = true;
  next_ = 0;
  finished_ = false;
  startUs_.reset();
  results_.clear();
  if (server_.handshakeDone()) startScenario();
}

void Simulator::startScenario() {
  if (startUs_) return;
  startUs_ = std::max(clockUs(), simUs());
  observer_.note(0, "SCENARIO started");
}

void Simulator::finishScenario() {
  if (finished_) return;
  finished_ = true;
  int64_t when = observationUs();
  finishedUs_ = when;
  motion_.flush(observer_);
  for (size_t i = next_; i < scenario_.timed.size(); ++i) {
    const ScenarioCommand& c = scenario_.timed[i];
    if (!c.isExpectation()) continue;
    results_.push_back({c.line, false, c.source, "not reached"});
    observer_.note(
        when, "EXPECT FAILED line " + std::to_string(c.line) + ": " + c.source + " (not reached)");
  }
  next_ = scenario_.timed.size();
  for (const ScenarioCommand& c : scenario_.atEnd) {
    ExpectationResult r = check(c);
    observer_.note(when, std::string(r.passed ? "EXPECT ok " : "EXPECT FAILED ") + "line " +
                             std::to_string(c.line) + ": " + c.source +
                             (r.detail.empty() ? "" : " (" + r.detail + ")"));
    results_.push_back(std::move(r));
  }
  observer_.note(when, "SCENARIO ended");
}

int Simulator::failedExpectations() const {
  return static_cast<int>(std::count_if(results_.begin(), results_.end(),
                                        [](const ExpectationResult& r) { return !r.passed; }));
}

std::string Simulator::summaryText() const {
  int failed = failedExpectations();
  int met = static_cast<int>(results_.size()) - failed;
  std::string out;
  if (loaded_) {
    out += "Scenario ";
    out += finished_ ? "ended at t=" + formatSeconds(finishedUs_) : std::string("did not end");
    out += ": " + std::to_string(met) + " expectation" + (met == 1 ? "" : "s") + " met, " +
           std::to_string(failed) + " failed\n";
    for (const ExpectationResult& r : results_)
      if (!r.passed)
        out +=
            "  FAILED line " + std::to_string(r.line) + ": " + r.source + " (" + r.detail + ")\n";
  }
  out += motion_.text();
  out += reaction_.text();
  out += catchEntries_.text();
  return out;
}

std::string Simulator::set(const std::string& field, double value) {
  auto f = parseField(field);
  if (!f) return "unknown field '" + field + "'";
  if (!fieldSettable(*f)) return "field '" + field + "' can only be tested, not set";
  std::string bad = checkFieldValue(*f, value);
  if (!bad.empty()) return bad;
  // As a scenario's set line: moving the aircraft takes it off the approach.
  if (f->id <= FieldId::Vs || f->id == FieldId::Slew || f->id == FieldId::Crashed)
    approach_.reset();
  setField(model_.state(), *f, value);
  publish();
  return {};
}

int Simulator::pressKey(HotKey key) {
  int n = hotKeys_.press(key);
  observer_.note(observationUs(),
                 "KEY " + hotKeyName(key) +
                     (n > 0 ? " (" + std::to_string(n) + " slot" + (n > 1 ? "s)" : ")")
                            : " (no slot registered)"));
  return n;
}

void Simulator::publish() { model_.publish(server_.space()); }

void Simulator::setTrace(std::ostream* out) {
  trace_ = out;
  if (trace_)
    *trace_ << "t,lat,lon,alt_ft,surface_ft,heading,bank,speed_kt,vs_fpm,on_ground,crashed,gear,"
               "brake,throttle,hook,accel_fps2,smoke,sound\n";
}

void Simulator::traceRow(int64_t usSinceOrigin) {
  const AircraftState& s = model_.state();
  char buf[512];
  std::snprintf(buf, sizeof buf,
                "%s,%.7f,%.7f,%.2f,%.2f,%.3f,%.3f,%.3f,%.1f,%d,%d,%d,%d,%d,%.2f,%.3f,%u,%u\n",
                formatSeconds(obsTime(usSinceOrigin)).c_str(), s.latDeg, s.lonDeg, s.altFt,
                s.surfaceFt, s.headingDeg, s.bankDeg, s.speedFps / kFpsPerKnot, s.vsFps * 60.0,
                s.onGround ? 1 : 0, s.crashed ? 1 : 0, s.gearDown ? 1 : 0, s.brake, s.throttle,
                s.hook, s.lastAccelFps2, s.smoke, s.soundControl);
  *trace_ << buf;
}

}  // namespace sim
