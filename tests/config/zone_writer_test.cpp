#include "config/zone_writer.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "arrest/geometry.h"
#include "config/zone_file.h"
#include "platform/ini_reader.h"

namespace {

std::string sampleDat() {
  std::ifstream in(std::string(CORVANE_SOURCE_DIR) + "/samples/Corvane.dat", std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

TZoneSpot spotAt(double lat, double lon, double heading, double magVar, double altFt) {
  TZoneSpot s;
  s.lat = lat;
  s.lon = lon;
  s.trueHeadingDeg = heading;
  s.magVarDeg = magVar;
  s.altitudeM = altFt / FeetPerMetre;
  return s;
}

}  // namespace

TEST(ZoneAroundSpot, RectangleAlongTheHeadingAroundTheAircraft) {
  // Heading east: the front is east of the aircraft, the right side south of it.
  const TCatchZoneData z =
      ZoneAroundSpot(spotAt(36.95, -76.30, 90, -10, 60.37), "  CVN-80 Deck ", 106, 14);
  EXPECT_EQ(z.CarrierIdent, "CVN-80 Deck");
  EXPECT_GT(z.FrontRightCornerLon, -76.30);
  EXPECT_LT(z.BackLeftCornerLon, -76.30);
  EXPECT_LT(z.FrontRightCornerLat, 36.95);
  EXPECT_GT(z.FrontLeftCornerLat, 36.95);
  // 106 m along the deck at 36.95 N is 0.0012 degrees of longitude, 14 m across 0.000126 of
  // latitude: the sample carrier's landing area.
  EXPECT_NEAR(z.FrontRightCornerLon - z.BackRightCornerLon, 0.0012, 0.00002);
  EXPECT_NEAR(z.FrontLeftCornerLat - z.FrontRightCornerLat, 0.000126, 0.000002);
  EXPECT_NEAR(z.RunwayHeadingMag, 100, 1e-9);          // 90 true with 10 degrees west variation
  EXPECT_NEAR(z.DeckAltM * FeetPerMetre, 60.3, 1e-9);  // rounded down: the aircraft is inside
  EXPECT_NEAR(z.ZoneHeightM * FeetPerMetre, 4.5, 1e-9);
  EXPECT_TRUE(z.IsValid());
  EXPECT_TRUE(IsInCatchZone(z, 36.95, -76.30));
  EXPECT_FALSE(IsInCatchZone(z, 36.95, -76.2990));  // past the bow end

  // Heading 045 true across the date line: corners wrap, the heading folds into one turn.
  const TCatchZoneData d = ZoneAroundSpot(spotAt(0, 179.9999, 45, 50, 40), "X", 106, 14);
  EXPECT_TRUE(d.IsValid());
  EXPECT_LT(d.FrontRightCornerLon, -179.99);
  EXPECT_NEAR(d.RunwayHeadingMag, 355, 1e-9);
}

TEST(InsertZoneSection, SampleFileKeepsEveryByteAndReadsTheNewZoneLast) {
  const std::string before = sampleDat();
  ASSERT_FALSE(before.empty());
  const TCatchZoneData z = ZoneAroundSpot(spotAt(10, 60, 30, 0, 70), "CVN-80 Deck", 106, 14);
  const TZoneInsertion r = InsertZoneSection(before, z);
  ASSERT_EQ(r.error, "");
  EXPECT_EQ(r.number, 5);
  // Right after Zone04's keys, before the commented-out example that follows them.
  // The sample file ends its lines with CR LF, and so do the new lines.
  const std::size_t at = before.find("RunwayHeadingInDegreesMag=177\r\n") + 31;
  ASSERT_EQ(r.text.substr(0, at), before.substr(0, at));
  const std::string added = "\r\n[Zone05]\r\nCarrierIdent=CVN-80 Deck\r\nFrontRightCornerLat=";
  ASSERT_EQ(r.text.substr(at, added.size()), added);
  EXPECT_EQ(before.substr(at, 4), "\r\n; ");
  const std::size_t end = r.text.find("RunwayHeadingInDegreesMag=30.0\r\n") + 32;
  EXPECT_EQ(r.text.substr(end), before.substr(at));
  EXPECT_EQ(r.text.size(), before.size() + (end - at));

  TCatchZoneList zones;
  std::vector<int> rejected;
  EXPECT_EQ(ReadCatchZones(platform::IniReader::fromText(r.text), FeetPerMetre, zones, rejected),
            5);
  ASSERT_EQ(zones.size(), 5u);
  EXPECT_EQ(zones[4]->CarrierIdent, "CVN-80 Deck");
  EXPECT_NEAR(zones[4]->FrontRightCornerLat, z.FrontRightCornerLat, 1e-9);
  EXPECT_NEAR(zones[4]->DeckAltM, z.DeckAltM, 1e-9);
}

TEST(InsertZoneSection, FollowsTheFilesStyleAndRefusesWhatTheLoaderWouldNotRead) {
  const TCatchZoneData z = ZoneAroundSpot(spotAt(10, 60, 30, 0, 70), "New", 106, 14);

  // Lower-case keys in their own order, " = ", CRLF, a last line without a line end, and a
  // second [zone02] that the loader ignores.
  const std::string own =
      "[zone01]\r\nrunwayheadingindegreesmag = 90\r\ncarrierident = A\r\nfrontrightcornerlat = 1"
      "\r\nfrontrightcornerlon = 1\r\nfrontleftcornerlat = 1\r\nfrontleftcornerlon = 1\r\n"
      "backleftcornerlat = 1\r\nbackleftcornerlon = 1\r\nbackrightcornerlat = 1\r\n"
      "backrightcornerlon = 1\r\ndeckaltinfeet = 60\r\ncablecatchzoneheightinfeet = 4.5\r\n"
      "[Other]\r\nx=1";
  const TZoneInsertion r = InsertZoneSection(own, z);
  ASSERT_EQ(r.error, "");
  EXPECT_EQ(r.number, 2);
  EXPECT_NE(r.text.find("4.5\r\n\r\n[Zone02]\r\nrunwayheadingindegreesmag = 30.0\r\n"
                        "carrierident = New\r\n"),
            std::string::npos)
      << r.text;
  EXPECT_EQ(r.text.substr(r.text.size() - 12), "[Other]\r\nx=1");

  // A file without zones gets Zone01 at its end.
  const TZoneInsertion none = InsertZoneSection("; carriers\n", z);
  ASSERT_EQ(none.error, "");
  EXPECT_EQ(none.text.substr(0, 22), "; carriers\n\n[Zone01]\nC");

  struct Refusal {
    std::string file;
    std::string why;
  };
  const Refusal refusals[] = {
      {"[Zone01]\nCarrierIdent=A\n[Zone03]\nCarrierIdent=B\n", "stop before Zone02"},
      {"[Zone01]\n[Zone02]\nCarrierIdent=B\n", "stop before Zone01"},
  };
  for (const Refusal& c : refusals) {
    const TZoneInsertion bad = InsertZoneSection(c.file, z);
    EXPECT_NE(bad.error.find(c.why), std::string::npos) << bad.error;
    EXPECT_EQ(bad.text, "");
  }
  TCatchZoneData low = z;
  low.DeckAltM = -1;
  EXPECT_NE(InsertZoneSection("", low).error.find("DeckAltInFeet"), std::string::npos);
}

TEST(NewZoneIdentProblem, RefusesWhatWouldBreakTheFile) {
  EXPECT_EQ(NewZoneIdentProblem("CVN-80 Deck (mine)"), "");
  for (const char* bad : {"", "   ", "a\nb", "a\rb", "[Zone09]", "a]", "\"quoted\"",
                          "0123456789012345678901234567890123456789012345678901234567890"})
    EXPECT_NE(NewZoneIdentProblem(bad), "") << bad;
}
