#include <cstdint>

#include <gtest/gtest.h>

#include "simlink/offsets.h"

namespace {

using namespace simlink;

TEST(OffsetsTest, LowHalfIsAnUnsignedFractionOfTheHighHalf) {
  EXPECT_DOUBLE_EQ(joinPosition({0x80000000u, 5}), 5.5);
  EXPECT_DOUBLE_EQ(joinPosition({0x80000000u, -5}), -4.5);
  EXPECT_DOUBLE_EQ(joinPosition({0x80000000u, -1}), -0.5);
  EXPECT_DOUBLE_EQ(joinPosition({0xFFFFFFFFu, 0}), 0xFFFFFFFFu / 4294967296.0);
  EXPECT_DOUBLE_EQ(altitudeMetres({0x40000000u, 12}), 12.25);
  EXPECT_DOUBLE_EQ(latitudeDegrees({0, 10001750}), 90.0);
  EXPECT_DOUBLE_EQ(latitudeDegrees({0x80000000u, 0}), 0.5 * DegreesPerLatUnit);
  EXPECT_DOUBLE_EQ(longitudeDegrees({0, 0x40000000}), 90.0);
  EXPECT_DOUBLE_EQ(longitudeDegrees({0, static_cast<int32_t>(0xC0000000u)}), -90.0);
}

TEST(OffsetsTest, HeadingAndMagneticVariation) {
  EXPECT_DOUBLE_EQ(angleDegrees(0xC0000000u), 270.0);
  EXPECT_DOUBLE_EQ(angleDegrees(static_cast<int32_t>(0xC0000000u)), -90.0);
  EXPECT_DOUBLE_EQ(magneticHeading(angleDegrees(0xC0000000u), 10.0), 260.0);
  EXPECT_DOUBLE_EQ(magneticHeading(angleDegrees(static_cast<int32_t>(0xC0000000u)), 10.0), 260.0);
  EXPECT_DOUBLE_EQ(magVarDegrees(static_cast<int16_t>(0xFF00)), -1.40625);
  EXPECT_DOUBLE_EQ(magVarDegrees(0x4000), 90.0);
  EXPECT_DOUBLE_EQ(angleDegrees(static_cast<int32_t>(0x80000000u)), -180.0);
}

TEST(OffsetsTest, CatalogueEntriesThatAreEasyToMistype) {
  EXPECT_EQ(kFuelFull, 1u << 23);
  EXPECT_EQ(hotKeySlot(3).offset, 0x321Cu);
  EXPECT_EQ(kFuelTanks[1].level.offset, 0x1244u);
  EXPECT_EQ(kFuelTanks[5].capacity.offset, 0x0BA0u);
  EXPECT_EQ(kLatitude.high.offset, kLatitude.low.offset + 4);
  EXPECT_EQ(kLatitude.low.offset, 0x0560u);
  EXPECT_EQ(kMessageText.size, 128u);
}

}  // namespace
