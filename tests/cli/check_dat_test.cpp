#include "cli/check_dat.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/os.h"

namespace {

const char* kValid =
    "CarrierIdent=CVN-99 Test\nFrontRightCornerLat=36.95012\nFrontRightCornerLon=-76.29900\n"
    "FrontLeftCornerLat=36.95025\nFrontLeftCornerLon=-76.29900\nBackLeftCornerLat=36.95025\n"
    "BackLeftCornerLon=-76.30020\nBackRightCornerLat=36.95012\nBackRightCornerLon=-76.30020\n"
    "DeckAltInFeet=60\nCableCatchZoneHeightInFeet=4.5\nRunwayHeadingInDegreesMag=90\n";

/// A valid zone with one key's line replaced (nullptr: the line left out).
std::string zoneWith(const std::string& key, const char* value) {
  std::istringstream in(kValid);
  std::string line, out;
  bool replaced = false;
  while (std::getline(in, line)) {
    if (line.rfind(key + "=", 0) == 0) {
      replaced = true;
      if (value) out += key + "=" + value + "\n";
    } else {
      out += line + "\n";
    }
  }
  if (!replaced && value) out += key + "=" + value + "\n";
  return out;
}

struct DatFile {
  std::string path =
      (std::filesystem::temp_directory_path() /
       ("corvane_check_dat_" + std::to_string(platform::currentProcessId()) + ".dat"))
          .string();
  explicit DatFile(const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
  ~DatFile() { std::filesystem::remove(path); }
};

}  // namespace

TEST(CheckDat, NamesEveryFaultyKeyWithItsAcceptedRange) {
  struct Case {
    std::string key;
    const char* value;
    std::string expected;  // the line printed for the key
  };
  const Case cases[] = {
      {"DeckAltInFeet", nullptr, "  DeckAltInFeet   <-- missing; accepted: 0 to 29999.6 ft"},
      {"FrontLeftCornerLon", "-76,2990",
       "  FrontLeftCornerLon=-76,2990   <-- not a number; accepted: more than -180 and less than "
       "180"},
      {"BackRightCornerLat", "90",
       "  BackRightCornerLat=90   <-- out of range; accepted: more than -90 and less than 90"},
      {"CableCatchZoneHeightInFeet", "5",
       "  CableCatchZoneHeightInFeet=5   <-- out of range; accepted: more than 0 and less than "
       "4.98682 ft"},
      {"RunwayHeadingInDegreesMag", "360",
       "  RunwayHeadingInDegreesMag=360   <-- out of range; accepted: 0 or more and less than 360 "
       "degrees"},
      {"CarrierIdent", "", "  CarrierIdent=   <-- out of range; accepted: not empty"},
      {"GlideSlopeDeg", "", "  GlideSlopeDeg=   <-- not a number; accepted: 2.5 to 4.5 degrees"},
      {"GlideSlopeDeg", "5", "  GlideSlopeDeg=5   <-- out of range; accepted: 2.5 to 4.5 degrees"},
  };
  for (const Case& c : cases) {
    // Zone02 holds the fault between two valid zones.
    DatFile f("[Zone01]\n" + std::string(kValid) + "[Zone02]\n" + zoneWith(c.key, c.value) +
              "[Zone03]\n" + kValid);
    std::ostringstream out;
    EXPECT_EQ(CheckDatFile(f.path, out), 1) << c.key;
    const std::string text = out.str();
    EXPECT_NE(text.find("Zone02: REJECTED\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\n" + c.expected + "\n"), std::string::npos) << text;
    // Only that key is named, and the other zones are valid.
    EXPECT_EQ(text.find("<--"), text.rfind("<--")) << text;
    EXPECT_NE(text.find("Zone01: valid\n"), std::string::npos);
    EXPECT_NE(text.find("Zone03: valid\n"), std::string::npos);
    EXPECT_NE(text.find("3 zones read (Zone01 on, up to the first missing or empty section): 2 "
                        "valid, 1 rejected.\n"),
              std::string::npos)
        << text;
  }
}

TEST(CheckDat, ExitCodes) {
  {
    DatFile f("[Zone01]\n" + std::string(kValid));
    std::ostringstream out;
    EXPECT_EQ(CheckDatFile(f.path, out), 0) << out.str();
    EXPECT_NE(out.str().find("  GlideSlopeDeg not given (3.5)\n"), std::string::npos);
    EXPECT_NE(out.str().find("  CarrierIdent=CVN-99 Test\n"), std::string::npos);
  }
  {
    DatFile f("; no zones\n[Zone1]\n" + std::string(kValid));
    std::ostringstream out;
    EXPECT_EQ(CheckDatFile(f.path, out), 1);
    EXPECT_NE(out.str().find("No zone is read"), std::string::npos) << out.str();
  }
  std::ostringstream out;
  EXPECT_EQ(CheckDatFile("/nonexistent/corvane.dat", out), 2);
  EXPECT_EQ(out.str(), "Cannot read /nonexistent/corvane.dat: no such file.\n");
  std::ostringstream dir;
  EXPECT_EQ(CheckDatFile(std::filesystem::temp_directory_path().string(), dir), 2);
}
