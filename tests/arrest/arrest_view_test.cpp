#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "activity/activity.h"
#include "arrest/arrest.h"
#include "cues/cues.h"
#include "fuel/fuel_transfer_unit.h"
#include "logbook/trap_log.h"
#include "platform/clock.h"
#include "platform/event_loop.h"
#include "platform/ipc_loopback.h"
#include "sim/sim_server.h"
#include "simlink/sim_link.h"

namespace {

// The arrest built alone with its view: its own controls, timers, activity, cues, log and fuel
// transfer, one carrier zone, and callbacks that record what the arrest asks of its neighbours.
// The link goes through the loopback transport to the substitute server, on a virtual clock.
class ArrestAlone : public ::testing::Test {
 protected:
  ArrestAlone()
      : loop(clock),
        server(clock),
        transport([this](uint8_t* block, size_t size) { return server.handleBlock(block, size); }) {
    transport.setClock(&clock);
    uint32_t result = 0;
    EXPECT_TRUE(link.SimLinkOpen(0, result));
    auto z = std::make_unique<TCatchZoneData>();
    z->CarrierIdent = "CV-63";
    z->FrontRightCornerLat = z->FrontLeftCornerLat = 0.001;
    z->BackRightCornerLat = z->BackLeftCornerLat = -0.001;
    z->FrontRightCornerLon = z->BackRightCornerLon = 0.0001;
    z->FrontLeftCornerLon = z->BackLeftCornerLon = -0.0001;
    z->DeckAltM = 20;
    z->ZoneHeightM = 10;
    z->RunwayHeadingMag = 90;
    zones.push_back(std::move(z));
    // In the catch area, in the window, on the runway heading, at 120 ft/s, gear down.
    setFixed(0x0570, 25);
    server.space().set<uint32_t>(0x0580, 0x40000000);
    server.space().set<double>(0x3090, 120.0);
    server.space().set<int32_t>(0x0BE8, 16383);
    server.onClientWrite = [this](uint32_t offset, uint32_t size, const uint8_t* data) {
      if (offset == 0x3070 && size == sizeof accelWritten) std::memcpy(&accelWritten, data, size);
    };
  }
  ~ArrestAlone() override { link.SimLinkClose(); }
  void setFixed(uint32_t offset, double value) {
    const double high = std::floor(value);
    server.space().set<uint32_t>(offset, static_cast<uint32_t>((value - high) * 4294967296.0));
    server.space().set<int32_t>(offset + 4, static_cast<int32_t>(high));
  }

  platform::VirtualClock clock;
  platform::EventLoop loop;
  sim::SimServer server;
  platform::LoopbackTransport transport;
  simlink::Link link{&transport, &clock};
  platform::Label flight{"lblFlightStatus"}, caught{"lblCableCatchStatus"},
      checking{"lblActivelyCheckingStatus"}, nearest{"lblNearestCarrier"},
      magVar{"lblCurrentMagVar"}, other{"lblOtherStatus"}, fuelStatus{"lblFuelTransferStatus"};
  platform::CheckBox activeMsg{"chkbxShowCablesActiveMsg"}, reminders{"chkbxShowDisableReminders"},
      hook{"chkbxDetectTailhook"}, log{"chkbxTrapLog"}, damageSounds{"chkbxDamageSounds"},
      specialSounds{"chkbxSpecialSoundHandling"}, lsoCalls{"chkbxLsoCalls"},
      realisticGear{"chkbxRealisticGear"};
  platform::SpeedButton disable{"btnManualDisable"};
  platform::RadioGroup rate{"rdgrpFuelTransferRate"};
  platform::Timer gate{loop, "tmrIsCatchCheckNeeded", 1000, false},
      find{loop, "tmrFindNearest", 15000, false}, check{loop, "tmrCheckForCatch", 50, false},
      decel{loop, "tmrDecel", 10, false}, accel{loop, "tmrAccel", 5, false},
      keys{loop, "tmrKeystroke", 250, false}, launchCheck{loop, "tmrLaunchCheck", 7, false};
  TActivity activity{{check, decel, accel, launchCheck}};
  std::string folder = "./";
  TCues cues{{damageSounds, specialSounds, lsoCalls, other, folder, link}, {}};
  TTrapLog trapLog{{log, other, cues, clock, folder}};
  fuel::FuelTransferUnit fuel{
      {rate, fuelStatus, disable, link, [](const std::string&, int16_t) {}}};
  TCatchZoneList zones;
  TOptionValues optionValues{.CableCatchAccelFactor = -321.0};
  int64_t launchEnd = 0;
  double accelWritten = 0;
  std::vector<std::string> asked;
  TArrest arrest{{link,
                  flight,
                  caught,
                  checking,
                  nearest,
                  magVar,
                  activeMsg,
                  reminders,
                  hook,
                  log,
                  realisticGear,
                  disable,
                  gate,
                  find,
                  keys,
                  activity,
                  cues,
                  trapLog,
                  fuel,
                  clock,
                  [this] { return &zones; },
                  optionValues,
                  [this] { return launchEnd; },
                  [this](bool announce) { asked.push_back(announce ? "endLaunch+" : "endLaunch"); },
                  [this] { asked.push_back("reset"); },
                  [this] { asked.push_back("halt"); },
                  [this](const std::string& call) { asked.push_back("lso " + call); },
                  {}}};
};

TEST_F(ArrestAlone, CatchesInItsZonesWithItsFactorAndHonoursTheLaunchLockout) {
  arrest.FindNearestCarrier();
  ASSERT_EQ(arrest.NearestZoneIndex, 0);
  // A stroke that ended 30 s ago still locks the deck; one more millisecond frees it.
  launchEnd = clock.nowMs() - 30000;
  arrest.tmrCheckForCatchTimer();
  EXPECT_EQ(activity.Current(), Activity::Checking);
  launchEnd = clock.nowMs() - 30001;
  keys.setEnabled(true);
  arrest.tmrCheckForCatchTimer();
  EXPECT_EQ(activity.Current(), Activity::Arresting);
  EXPECT_TRUE(activity.Checking());
  EXPECT_FALSE(keys.enabled());
  EXPECT_EQ(caught.text(), "Cables were CAUGHT.");
  EXPECT_EQ(accelWritten, -321.0);
  server.space().set<double>(0x3090, 0.0);
  arrest.tmrDecelTimer();
  EXPECT_EQ(activity.Current(), Activity::Checking);
  EXPECT_EQ(arrest.LastArrestEnd, clock.nowMs());
  EXPECT_TRUE(keys.enabled() && find.enabled());
  EXPECT_TRUE(asked.empty());
}

TEST_F(ArrestAlone, CrashEndsTheArrestAndHandsTheLaunchToItsOwner) {
  // Both under way (a state no handler makes, but a crash must end each as its own end does):
  // the arrest's end leaves the catapult's timers to the catapult.
  decel.setEnabled(true);
  launchCheck.setEnabled(true);
  server.space().set<int16_t>(0x0840, 1);
  arrest.tmrIsCatchCheckNeededTimer();
  EXPECT_EQ(asked, std::vector<std::string>{"endLaunch"});
  EXPECT_NE(arrest.LastArrestEnd, 0);
  EXPECT_EQ(activity.Current(), Activity::Idle);
  EXPECT_FALSE(activity.Checking());
  EXPECT_EQ(flight.text(), "CRASHED");
  EXPECT_TRUE(find.enabled());
}

TEST_F(ArrestAlone, NoZoneHaltsTheProgramAndALostLinkAsksForTheReset) {
  zones.clear();
  arrest.tmrFindNearestTimer();
  EXPECT_EQ(asked, std::vector<std::string>{"halt"});
  EXPECT_TRUE(activity.programStopped);
  EXPECT_FALSE(find.enabled() || gate.enabled());
  EXPECT_EQ(nearest.text(), "Error: unable to find nearest cables. Please send a bug report.");

  asked.clear();
  activity.programStopped = false;
  link.SimLinkClose();
  arrest.tmrIsCatchCheckNeededTimer();
  EXPECT_EQ(asked, std::vector<std::string>{"reset"});
}

}  // namespace
