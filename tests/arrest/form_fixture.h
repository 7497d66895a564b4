#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "app/form_main.h"
#include "platform/clock.h"
#include "platform/event_loop.h"
#include "platform/ipc_loopback.h"
#include "platform/random.h"
#include "platform/sound_player.h"
#include "sim/offset_space.h"
#include "sim/sim_server.h"
#include "simlink/sim_link.h"

/// One write the program sent to the server.
struct ClientWrite {
  int64_t atMs = 0;
  uint32_t offset = 0;
  std::vector<uint8_t> data;
};

/// A bare main window on a virtual clock, linked through the loopback transport to the
/// substitute server; no start-up runs, the test sets the state it needs.
class FormFixture : public ::testing::Test {
 public:
  FormFixture()
      : loop(clock),
        server(clock),
        transport([this](uint8_t* block, size_t size) { return server.handleBlock(block, size); }) {
    // The process id keeps test processes that run side by side (and may place the fixture at
    // the same address) out of each other's folders.
    folder = std::filesystem::temp_directory_path() /
             ("corvane_arrest_" + std::to_string(::getpid()) + "_" +
              std::to_string(reinterpret_cast<uintptr_t>(this)));
    std::filesystem::create_directories(folder);
    server.onClientWrite = [this](uint32_t offset, uint32_t size, const uint8_t* data) {
      writes.push_back({clock.nowMs(), offset, std::vector<uint8_t>(data, data + size)});
    };
    transport.setClock(&clock);
    TFormServices services;
    services.link = &link;
    services.loop = &loop;
    services.random = &random;
    services.programFolder = folder.string() + "/";
    services.soundPlayers = [this](const std::string& name) {
      auto p = std::make_unique<platform::RecordingSoundPlayer>(
          name, &sounds, [this](const platform::SoundEvent& e) {
            if (e.what == "play") playsAtWrite.push_back(writes.size());
          });
      players.push_back(p.get());
      return p;
    };
    form = std::make_unique<TFormMain>(services);
    form->ProgramFolder = services.programFolder;
    form->carrierData.CatchZones = std::make_unique<TCatchZoneList>();
    form->tmrIsCatchCheckNeeded.setEnabled(false);
    uint32_t result = 0;
    opened = link.SimLinkOpen(0, result);
    writes.clear();
  }

  ~FormFixture() override {
    form.reset();
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
  }

  /// A zone around (lat, lon): front-right corner at (lat + 0.001, lon + 0.0001), 0.002 long
  /// and 0.0002 wide, deck at 20 m, window 10 m, runway heading 90.
  TCatchZoneData& addZone(const std::string& ident, double lat = 0, double lon = 0,
                          double heading = 90) {
    auto z = std::make_unique<TCatchZoneData>();
    z->CarrierIdent = ident;
    z->FrontRightCornerLat = lat + 0.001;
    z->FrontRightCornerLon = lon + 0.0001;
    z->FrontLeftCornerLat = lat + 0.001;
    z->FrontLeftCornerLon = lon - 0.0001;
    z->BackLeftCornerLat = lat - 0.001;
    z->BackLeftCornerLon = lon - 0.0001;
    z->BackRightCornerLat = lat - 0.001;
    z->BackRightCornerLon = lon + 0.0001;
    z->DeckAltM = 20;
    z->ZoneHeightM = 10;
    z->RunwayHeadingMag = heading;
    form->carrierData.CatchZones->push_back(std::move(z));
    return *form->carrierData.CatchZones->back();
  }

  /// Puts the aircraft at (lat, lon) degrees in the server's offsets.
  void setPosition(double lat, double lon) {
    setFixed(0x0560, lat / (90.0 / 10001750.0));
    setFixed(0x0568, lon / (360.0 / 4294967296.0));
  }
  void setAltitude(double metres) { setFixed(0x0570, metres); }
  /// Writes a 64-bit fixed-point value: low half at offset, high half at offset + 4.
  void setFixed(uint32_t offset, double value) {
    const double high = std::floor(value);
    server.space().set<uint32_t>(offset, static_cast<uint32_t>((value - high) * 4294967296.0));
    server.space().set<int32_t>(offset + 4, static_cast<int32_t>(high));
  }
  void setHeadingTrue(double deg) {
    server.space().set<uint32_t>(
        0x0580, static_cast<uint32_t>(std::fmod(deg, 360.0) / 360.0 * 4294967296.0));
  }
  void setBank(double deg) {
    server.space().set<int32_t>(0x057C, static_cast<int32_t>(deg / 360.0 * 4294967296.0));
  }
  template <typename T>
  void set(uint32_t offset, T value) {
    server.space().set<T>(offset, value);
  }

  /// Writes to one offset, in order.
  std::vector<ClientWrite> writesTo(uint32_t offset) const {
    std::vector<ClientWrite> out;
    for (const auto& w : writes)
      if (w.offset == offset) out.push_back(w);
    return out;
  }
  /// Texts of the in-simulator messages sent, in order.
  std::vector<std::string> messages() const {
    std::vector<std::string> out;
    for (const auto& w : writes)
      if (w.offset == 0x3380)
        out.emplace_back(reinterpret_cast<const char*>(w.data.data()),
                         strnlen(reinterpret_cast<const char*>(w.data.data()), w.data.size()));
    return out;
  }
  /// Sound events of one player, as "what:file".
  std::vector<std::string> soundsOf(const std::string& player) const {
    std::vector<std::string> out;
    for (const auto& e : sounds)
      if (e.player == player) out.push_back(e.what + ":" + e.file);
    return out;
  }

  platform::VirtualClock clock;
  platform::EventLoop loop;
  platform::Random random;
  sim::SimServer server;
  platform::LoopbackTransport transport;
  /// The window's link, over transport.
  simlink::Link link{&transport, &clock};
  std::filesystem::path folder;
  std::vector<ClientWrite> writes;
  std::vector<platform::SoundEvent> sounds;
  /// For each sound played, how many writes the server had received by then.
  std::vector<size_t> playsAtWrite;
  std::vector<platform::RecordingSoundPlayer*> players;
  std::unique_ptr<TFormMain> form;
  bool opened = false;
};
