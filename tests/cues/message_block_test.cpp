#include <gtest/gtest.h>

#include <string>

#include "cues/message_block.h"

namespace {

TEST(SimMessageBlock, CutsAt100AndPadsWithZeros) {
  struct Case {
    size_t length;
    size_t kept;
  };
  const Case cases[] = {{0, 0}, {5, 5}, {100, 100}, {101, 100}, {300, 100}};
  for (const auto& c : cases) {
    std::string text;
    for (size_t i = 0; i < c.length; ++i) text.push_back(static_cast<char>('A' + i % 26));
    const auto block = BuildSimMessageBlock(text);
    ASSERT_EQ(block.size(), 128u);
    for (size_t i = 0; i < c.kept; ++i) ASSERT_EQ(block[i], static_cast<uint8_t>(text[i])) << i;
    for (size_t i = c.kept; i < block.size(); ++i)
      ASSERT_EQ(block[i], 0) << c.length << " at " << i;
  }
}

TEST(DamageSoundFileName, KindsAndOutOfRange) {
  EXPECT_STREQ(DamageSoundFileName(0), "DamageFarExplosion.wav");
  EXPECT_STREQ(DamageSoundFileName(1), "DamageNearExplosion.wav");
  EXPECT_STREQ(DamageSoundFileName(2), "DamageRadio.wav");
  EXPECT_STREQ(DamageSoundFileName(3), "DamageElectricalSystem.wav");
  EXPECT_EQ(DamageSoundFileName(4), nullptr);
  EXPECT_EQ(DamageSoundFileName(255), nullptr);
}

TEST(SoundFilesStatusText, MissingFilesNamedInOrder) {
  EXPECT_EQ(SoundFilesStatusText("/p/", false, false), "Sound files found");
  EXPECT_EQ(SoundFilesStatusText("/p/", true, false), "   (/p/CableCatch.wav not found)");
  EXPECT_EQ(SoundFilesStatusText("/p/", false, true), "   (/p/Catapult.wav not found)");
  EXPECT_EQ(SoundFilesStatusText("/p/", true, true),
            "   (/p/CableCatch.wav not found)   (/p/Catapult.wav not found)");
}

}  // namespace
