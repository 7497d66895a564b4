#include "sim/hot_keys.h"

#include <gtest/gtest.h>

#include "block_builder.h"
#include "platform/clock.h"
#include "sim/simulator.h"

namespace {

constexpr uint32_t kSlots = 0x3210;

// Registers a key the way the program does: find the first free slot, write the value.
uint32_t registerKey(sim::Simulator& s, uint32_t value) {
  uint32_t count = simtest::readOne<uint32_t>(s, 0x320C);
  for (uint32_t i = 0; i < count; ++i) {
    uint32_t at = kSlots + 4 * i;
    if (simtest::readOne<uint32_t>(s, at) == 0) {
      simtest::writeOne<uint32_t>(s, at, value);
      return at;
    }
  }
  return 0;
}

TEST(HotKeys, RegistrationPressAndAcknowledge) {
  platform::VirtualClock clock;
  sim::Simulator s(clock);
  EXPECT_EQ(simtest::readOne<uint32_t>(s, 0x320C), 56u);
  uint32_t f12 = registerKey(s, 65915);           // SHIFT+F12
  uint32_t f9 = registerKey(s, 65912);            // SHIFT+F9
  uint32_t f9ctrl = registerKey(s, 65912 + 512);  // SHIFT+CTRL+F9
  EXPECT_EQ(f12, kSlots);
  EXPECT_EQ(f9, kSlots + 4);
  EXPECT_EQ(f9ctrl, kSlots + 8);

  uint8_t before = simtest::readOne<uint8_t>(s, 0x32FE);
  EXPECT_EQ(s.pressKey({0x78, 1}), 1);
  EXPECT_EQ(simtest::readOne<uint8_t>(s, 0x32FE), uint8_t(before + 1));
  EXPECT_EQ(simtest::readOne<uint32_t>(s, f9), 65912u | 0x01000000u);
  EXPECT_EQ(simtest::readOne<uint32_t>(s, f9ctrl), 65912u + 512);  // other modifiers untouched
  EXPECT_EQ(simtest::readOne<uint32_t>(s, f12), 65915u);

  // The program acknowledges by writing the registration value back.
  simtest::writeOne<uint32_t>(s, f9, 65912);
  EXPECT_EQ(simtest::readOne<uint32_t>(s, f9), 65912u);

  // A key nobody registered marks nothing and leaves the counter.
  EXPECT_EQ(s.pressKey({0x70, 1}), 0);
  EXPECT_EQ(simtest::readOne<uint8_t>(s, 0x32FE), uint8_t(before + 1));
  EXPECT_EQ(s.pressKey({0x78, 3}), 1);
  EXPECT_EQ(simtest::readOne<uint32_t>(s, f9ctrl), (65912u + 512) | 0x01000000u);
}

TEST(HotKeys, SameKeyInTwoSlotsMarksBoth) {
  platform::VirtualClock clock;
  sim::Simulator s(clock);
  uint32_t a = registerKey(s, 65904);
  uint32_t b = registerKey(s, 65904);
  EXPECT_EQ(s.pressKey({0x70, 1}), 2);
  EXPECT_EQ(simtest::readOne<uint32_t>(s, a) >> 24, 1u);
  EXPECT_EQ(simtest::readOne<uint32_t>(s, b) >> 24, 1u);
}

TEST(HotKeys, CounterWrapsInItsLowByteOnly) {
  platform::VirtualClock clock;
  sim::Simulator s(clock);
  registerKey(s, 65915);
  s.server().space().set<uint32_t>(0x32FE, 0x123456FF);
  s.pressKey({0x7B, 1});
  EXPECT_EQ(simtest::readOne<uint32_t>(s, 0x32FE), 0x12345600u);
  EXPECT_EQ(s.hotKeys().counter(), 0);
}

TEST(HotKeys, PressSetsByteThreeToExactlyOne) {
  platform::VirtualClock clock;
  sim::Simulator s(clock);
  // A slot whose byte 3 already holds 2 is still the same key; a press makes it exactly 1.
  uint32_t at = registerKey(s, 65912 | 0x02000000u);
  EXPECT_EQ(simtest::readOne<uint32_t>(s, at) >> 24, 2u);
  EXPECT_EQ(s.pressKey({0x78, 1}), 1);
  EXPECT_EQ(simtest::readOne<uint32_t>(s, at) >> 24, 1u);
}

TEST(HotKeys, SlotCountIsConfigurableAndServedWhateverTheClientWrites) {
  platform::VirtualClock clock;
  sim::SimulatorOptions o;
  o.hotKeySlots = 6;
  sim::Simulator s(clock, o);
  for (int i = 0; i < 6; ++i) EXPECT_NE(registerKey(s, 65904 + i), 0u);
  EXPECT_EQ(registerKey(s, 65915), 0u);
  simtest::writeOne<uint32_t>(s, 0x320C, 99);
  EXPECT_EQ(simtest::readOne<uint32_t>(s, 0x320C), 6u);
  o.hotKeySlots = 500;
  sim::Simulator big(clock, o);
  EXPECT_EQ(big.hotKeys().slotCount(), sim::HotKeyTable::kMaxSlots);
}

TEST(HotKeys, ParseKeyNames) {
  struct Case {
    const char* text;
    bool ok;
    uint8_t vk, shift;
  } cases[] = {
      {"SHIFT+F9", true, 0x78, 1}, {"shift+ctrl+f12", true, 0x7B, 3},
      {"SHIFT+F1", true, 0x70, 1}, {"SHIFT+F13", false, 0, 0},
      {"SHIFT+F0", false, 0, 0},   {"SHIFT+F01", false, 0, 0},
      {"CTRL+F9", false, 0, 0},    {"F9", false, 0, 0},
      {"SHIFT+", false, 0, 0},     {"SHIFT+CTRL+", false, 0, 0},
      {"SHIFT+F9x", false, 0, 0},  {"", false, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    auto k = sim::parseHotKey(c.text);
    ASSERT_EQ(k.has_value(), c.ok);
    if (c.ok) {
      EXPECT_EQ(k->vk, c.vk);
      EXPECT_EQ(k->shift, c.shift);
    }
  }
  EXPECT_EQ(sim::hotKeyName({0x7B, 3}), "SHIFT+CTRL+F12");
}

}  // namespace
