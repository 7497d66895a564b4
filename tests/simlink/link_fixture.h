#pragma once

#include <gtest/gtest.h>

#include "platform/clock.h"
#include "platform/ipc_loopback.h"
#include "simlink/fake_server.h"
#include "simlink/sim_link.h"

// A link of its own wired to a loopback server on a virtual clock.
class LinkTest : public ::testing::Test {
 public:
  static constexpr uint32_t kGoodVersion = 0x19980005;
  static constexpr uint32_t kFs2004Check = 0xFADE0007;

  LinkTest() : transport([this](uint8_t* b, size_t n) { return server.handle(b, n); }) {}

  void SetUp() override {
    server.handshake(kGoodVersion, kFs2004Check);
    transport.setClock(&clock);
    link.SimLinkConfigure(&transport, &clock);
  }
  void TearDown() override { link.SimLinkConfigure(nullptr, nullptr); }

  // Starts again with a fresh server and a fresh transport calling handler (default: the server).
  void renew(platform::BlockHandler handler = nullptr) {
    link.SimLinkConfigure(nullptr, nullptr);
    server = FakeServer{};
    if (!handler) handler = [this](uint8_t* b, size_t n) { return server.handle(b, n); };
    transport = platform::LoopbackTransport(std::move(handler));
    LinkTest::SetUp();
  }

  uint32_t open(uint32_t requiredIndex = 0) {
    uint32_t result = 99;
    const bool ok = link.SimLinkOpen(requiredIndex, result);
    EXPECT_EQ(ok, result == 0);
    return result;
  }
  uint32_t process() {
    uint32_t result = 99;
    const bool ok = link.SimLinkProcess(result);
    EXPECT_EQ(ok, result == 0);
    return result;
  }
  // True when nothing the link acquired from the transport is still held.
  bool nothingHeld() const {
    return transport.liveAtoms() == 0 && transport.liveMappings() == 0 &&
           transport.liveViews() == 0;
  }

  FakeServer server;
  platform::VirtualClock clock{0};
  platform::LoopbackTransport transport;
  simlink::Link link;
};
