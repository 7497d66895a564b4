#include "config/zone_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "config/catch_zone.h"
#include "config_fixture.h"
#include "edition/edition.h"
#include "platform/ini_reader.h"

using configtest::ZoneKeys;
using configtest::zoneSection;

namespace {

TCatchZoneData zoneWith(const ZoneKeys& overrides) {
  const platform::IniReader ini = platform::IniReader::fromText(zoneSection("Zone01", overrides));
  TCatchZoneData z;
  EXPECT_TRUE(ReadCatchZone(ini, "Zone01", 3.2808, z));
  return z;
}

}  // namespace

TEST(ZoneSectionName, OneLeadingZeroBelowTen) {
  const std::pair<int, const char*> cases[] = {{1, "Zone01"},   {7, "Zone07"},  {9, "Zone09"},
                                               {10, "Zone10"},  {99, "Zone99"}, {100, "Zone100"},
                                               {120, "Zone120"}};
  for (const auto& [n, name] : cases) EXPECT_EQ(ZoneSectionName(n), name);
}

TEST(ReadCatchZone, StoresFileValuesWithHeightsInMetres) {
  const TCatchZoneData z = zoneWith({});
  EXPECT_EQ(z.CarrierIdent, "CVN-99 Test");
  EXPECT_DOUBLE_EQ(z.FrontRightCornerLat, 36.95012);
  EXPECT_DOUBLE_EQ(z.BackLeftCornerLon, -76.30020);
  EXPECT_DOUBLE_EQ(z.DeckAltM, 60 / 3.2808);
  EXPECT_DOUBLE_EQ(z.ZoneHeightM, 4.5 / 3.2808);
  EXPECT_DOUBLE_EQ(z.RunwayHeadingMag, 90);
  EXPECT_TRUE(z.IsValid());
}

TEST(ReadCatchZone, AcceptedRangesAtTheirBounds) {
  struct Case {
    const char* key;
    const char* value;
    bool valid;
  };
  const Case cases[] = {
      {"CableCatchZoneHeightInFeet", "4.98", true},
      {"CableCatchZoneHeightInFeet", "4.99", false},
      {"CableCatchZoneHeightInFeet", "5", false},
      {"CableCatchZoneHeightInFeet", "0", false},
      {"CableCatchZoneHeightInFeet", "0.01", true},
      {"DeckAltInFeet", "0", true},
      {"DeckAltInFeet", "-1", false},
      {"DeckAltInFeet", "29999", true},
      {"DeckAltInFeet", "30000", false},
      {"RunwayHeadingInDegreesMag", "0", true},
      {"RunwayHeadingInDegreesMag", "359.99", true},
      {"RunwayHeadingInDegreesMag", "360", false},
      {"RunwayHeadingInDegreesMag", "-0.5", false},
      {"FrontRightCornerLat", "90", false},
      {"FrontLeftCornerLat", "-90", false},
      {"BackRightCornerLat", "89.9999", true},
      {"BackLeftCornerLat", "-89.9999", true},
      {"FrontRightCornerLon", "180", false},
      {"FrontLeftCornerLon", "-180", false},
      {"BackRightCornerLon", "179.9999", true},
      {"BackLeftCornerLon", "-179.9999", true},
      {"FrontRightCornerLat", "36,95012", false},  // comma decimal is not a number
      {"DeckAltInFeet", "60,5", false},
      {"RunwayHeadingInDegreesMag", "nan", false},
      {"RunwayHeadingInDegreesMag", "abc", false},
      {"RunwayHeadingInDegreesMag", "", false},
      {"RunwayHeadingInDegreesMag", "9e1", true},
      {"CarrierIdent", "", false},
      {"CarrierIdent", "\"  Quoted Name  \"", true},
      {"GlideSlopeDeg", "2.5", true},
      {"GlideSlopeDeg", "4.5", true},
      {"GlideSlopeDeg", "2.49", false},
      {"GlideSlopeDeg", "4.51", false},
      {"GlideSlopeDeg", "3,5", false},
      {"GlideSlopeDeg", "nan", false},
      {"GlideSlopeDeg", "", false},
      {"RunoutFeet", "150", true},
      {"RunoutFeet", "600", true},
      {"RunoutFeet", "149.9", false},
      {"RunoutFeet", "601", false},
      {"CatapultStrokeFeet", "400", true},
      {"CatapultStrokeFeet", "401", false},
      {"CatapultStrokeFeet", "x", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(zoneWith({{c.key, c.value}}).IsValid(), c.valid) << c.key << "=" << c.value;
}

TEST(ReadCatchZone, GlideSlopeIsOptionalAndKeptAsRead) {
  EXPECT_DOUBLE_EQ(zoneWith({}).GlideSlopeDeg, 3.5);
  EXPECT_DOUBLE_EQ(zoneWith({{"GlideSlopeDeg", "4.25"}}).GlideSlopeDeg, 4.25);
  EXPECT_DOUBLE_EQ(zoneWith({}).RunoutFeet, 340);
  EXPECT_DOUBLE_EQ(zoneWith({}).CatapultStrokeFeet, 310);
  EXPECT_DOUBLE_EQ(zoneWith({{"RunoutFeet", "420"}}).RunoutFeet, 420);
  // A bad slope rejects its zone alone, and the failure log names it like any other.
  const platform::IniReader ini = platform::IniReader::fromText(
      zoneSection("Zone01") + zoneSection("Zone02", {{"GlideSlopeDeg", "5"}}) +
      zoneSection("Zone03", {{"GlideSlopeDeg", "2.5"}}));
  TCatchZoneList zones;
  std::vector<int> rejected;
  EXPECT_EQ(ReadCatchZones(ini, 3.2808, zones, rejected), 3);
  ASSERT_EQ(zones.size(), 2u);
  EXPECT_EQ(zones[1]->SectionNumber, 3);
  EXPECT_EQ(rejected, std::vector<int>{2});
}

TEST(ReadCatchZone, EveryKeyIsRequired) {
  for (const auto& [key, value] : configtest::validZoneKeys())
    EXPECT_FALSE(zoneWith({{key, std::nullopt}}).IsValid()) << key << " missing";
}

TEST(CatchZoneData, NotANumberInAnyFieldIsInvalid) {
  const TCatchZoneData good = zoneWith({});
  double TCatchZoneData::*fields[] = {&TCatchZoneData::DeckAltM,
                                      &TCatchZoneData::ZoneHeightM,
                                      &TCatchZoneData::RunwayHeadingMag,
                                      &TCatchZoneData::BackRightCornerLat,
                                      &TCatchZoneData::FrontLeftCornerLon,
                                      &TCatchZoneData::FrontLeftCornerLat,
                                      &TCatchZoneData::BackRightCornerLon,
                                      &TCatchZoneData::FrontRightCornerLat,
                                      &TCatchZoneData::FrontRightCornerLon,
                                      &TCatchZoneData::BackLeftCornerLon,
                                      &TCatchZoneData::BackLeftCornerLat,
                                      &TCatchZoneData::GlideSlopeDeg};
  for (auto field : fields) {
    TCatchZoneData z = good;
    z.*field = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(z.IsValid());
  }
  EXPECT_FALSE(TCatchZoneData{}.IsValid());
}

TEST(ReadCatchZones, StopsAtTheFirstMissingOrEmptySection) {
  struct Case {
    const char* name;
    std::string text;
    int read;
    size_t valid;
  };
  const Case cases[] = {
      {"gap at Zone03", zoneSection("Zone01") + zoneSection("Zone02") + zoneSection("Zone04"), 2,
       2},
      {"no leading zero", zoneSection("Zone1") + zoneSection("Zone2"), 0, 0},
      {"empty Zone02", zoneSection("Zone01") + "[Zone02]\r\n; none\r\n" + zoneSection("Zone03"), 1,
       1},
      {"other sections ignored", "[Info]\r\nx=1\r\n" + zoneSection("Zone01") + "[Notes]\r\ny=2\r\n",
       1, 1},
      {"empty file", "", 0, 0},
      {"names ignore case", zoneSection("ZONE01") + zoneSection("zone02"), 2, 2},
  };
  for (const Case& c : cases) {
    const platform::IniReader ini = platform::IniReader::fromText(c.text);
    TCatchZoneList zones;
    std::vector<int> rejected;
    EXPECT_EQ(ReadCatchZones(ini, 3.2808, zones, rejected), c.read) << c.name;
    EXPECT_EQ(zones.size(), c.valid) << c.name;
  }
}

TEST(ReadCatchZones, ReadsPastZone99AndKeepsFileOrder) {
  std::string text;
  for (int n = 1; n <= 120; ++n) {
    ZoneKeys k{{"CarrierIdent", "Z" + std::to_string(n)}};
    if (n % 50 == 7) k["DeckAltInFeet"] = "-5";
    text += zoneSection(ZoneSectionName(n), k);
  }
  text += zoneSection("Zone122");
  const platform::IniReader ini = platform::IniReader::fromText(text);
  TCatchZoneList zones;
  std::vector<int> rejected;
  EXPECT_EQ(ReadCatchZones(ini, 3.2808, zones, rejected), 120);
  EXPECT_EQ(rejected, (std::vector<int>{7, 57, 107}));
  ASSERT_EQ(zones.size(), 117u);
  EXPECT_EQ(zones.front()->CarrierIdent, "Z1");
  EXPECT_EQ(zones[6]->CarrierIdent, "Z8");
  EXPECT_EQ(zones.back()->CarrierIdent, "Z120");
  // Each zone keeps the number of its section, past the rejected ones.
  EXPECT_EQ(zones.front()->SectionNumber, 1);
  EXPECT_EQ(zones[6]->SectionNumber, 8);
  EXPECT_EQ(zones.back()->SectionNumber, 120);
}

TEST(DatLoadFailureLog, ExactLinesWithCrLf) {
  const platform::DateTime when{2026, 12, 7, 9, 5, 3};
  const std::string zone = IsFS2004Edition ? "Zone #" : "Zone";
  EXPECT_EQ(DatLoadFailureLogText("/p/Corvane.dat", when, {7, 12}, true),
            "Corvane .dat load failure log for file : \r\n"
            "  /p/Corvane.dat\r\n"
            "Run/Reset time: 2026-12-07  09:05:03\r\n"
            "\r\n"
            "  -- Failed to load " +
                zone +
                "07.\r\n"
                "  -- Failed to load " +
                zone +
                "12.\r\n"
                "\r\n"
                "Verify that the failed zones contain all the required data fields\r\n"
                "and that the values fall within acceptable ranges.  See Corvane*.txt.\r\n");
  EXPECT_EQ(DatLoadFailureLogText("/p/x.dat", when, {100}, false),
            "Corvane .dat load failure log for file : \r\n"
            "  /p/x.dat\r\n"
            "Run/Reset time: 2026-12-07  09:05:03\r\n"
            "\r\n"
            "  -- Failed to load " +
                zone + "100.\r\n");
}
