#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "cli/command_line.h"
#include "harness/harness.h"
#include "platform/os.h"

namespace {

/// The aircraft parked on a deck of the pilot's own, far from the sample carriers: 70 ft,
/// heading 030 true with 4 degrees west variation.
constexpr const char* kParked =
    "at 0 set lat 10.0 lon 60.0 alt 70 surface 70 heading 30 magvar -4 speed 0 vs 0 bank 0\n"
    "at 0 set gear 1 brake 32767 throttle 0 engine_type 1 taildragger 0 hook 1\n";

struct OwnDeck {
  harness::Harness h{harness::Options::flying()};
  std::string error, reply;

  /// Flies the scenario text (written to a file of the program folder).
  int fly(const std::string& text, std::string& summary) {
    h.writeFile("own.scn", text);
    return h.flyScenario(h.folder + "own.scn", 120000, summary);
  }
  bool addZone(const std::string& args) {
    error.clear();
    reply.clear();
    return RunCommandLine(h.form(), "addZone " + args, error, &reply);
  }
};

}  // namespace

TEST(AddZone, AddsTheDeckWhereTheAircraftStandsAndTrapsOnIt) {
  OwnDeck d;
  std::string summary;
  ASSERT_EQ(d.fly(std::string(kParked) + "at 3 end\n", summary), 0) << summary;
  ASSERT_TRUE(d.addZone("\"CVN-80 Own Deck\"")) << d.error;
  EXPECT_EQ(d.reply,
            "Added [Zone05] \"CVN-80 Own Deck\" to Corvane.dat: 106.0 x 14.0 m, deck 69.9 ft, "
            "landing heading 034 magnetic.");
  const std::string dat = d.h.readFile("Corvane.dat");
  EXPECT_NE(dat.find("[Zone05]\r\nCarrierIdent=CVN-80 Own Deck\r\n"), std::string::npos);
  EXPECT_NE(dat.find("RunwayHeadingInDegreesMag=34.0\r\n"), std::string::npos);
  // Reloaded, and the new zone is the nearest one.
  EXPECT_EQ(d.h.form().lblNumOfCarriersLoaded.text(), "# of cable zones: 5 out of 5");
  EXPECT_EQ(d.h.form().arrest.NearestCarrierIdent, "CVN-80 Own Deck");

  // An approach along the new zone's landing heading to where the aircraft stood is caught.
  ASSERT_EQ(d.fly("at 0 set magvar -4\n"
                  "at 0 approach 10.0 60.0 70 34 3.5 1.0 0 0 130\n"
                  "at 0 set hook 1 brake 0 throttle 6144\n"
                  "at 28 set throttle 0\n"
                  "at 40 expect speed < 1\n"
                  "at 41 end\n",
                  summary),
            0)
      << summary;
  // Caught by the cables and stopped by the program's deceleration.
  EXPECT_NE(summary.find("Arrest: touchdown 130.0 kt, stopped in"), std::string::npos) << summary;
  EXPECT_NE(d.h.form().arrest.LastArrestEnd, 0);
  EXPECT_FALSE(d.h.writesTo(0x3070).empty());
}

TEST(AddZone, EachRefusalWritesNothing) {
  OwnDeck d;
  std::string summary;
  ASSERT_EQ(d.fly(std::string(kParked) + "at 3 end\n", summary), 0) << summary;
  const std::string before = d.h.readFile("Corvane.dat");
  ASSERT_FALSE(before.empty());

  struct Case {
    const char* scenario;  // moves the aircraft first ("" = stays parked)
    std::string args;
    const char* why;
  };
  const Case cases[] = {
      {"", "\"\"", "The carrier identifier is empty."},
      {"", "\"   \"", "The carrier identifier is empty."},
      {"", "\"Bad]Deck\"", "may not contain [ or ]"},
      {"", "Deck 0 14", "length must be more than 0"},
      {"", "Deck 106 5000", "width must be more than 0 and at most 1000 m"},
      {"at 0 set alt 300 surface 0 speed 200 vs 0 gear 1 brake 0 throttle 16384\nat 2 end\n",
       "\"Deck\"", "the aircraft is airborne"},
      {"at 0 set alt 70 surface 70 speed 5 brake 0 throttle 0\nat 1 end\n", "\"Deck\"",
       "the aircraft is moving ("},
  };
  for (const Case& c : cases) {
    if (*c.scenario) {
      ASSERT_EQ(d.fly(std::string(kParked) + "at 1 end\n", summary), 0) << summary;
      ASSERT_EQ(d.fly(c.scenario, summary), 0) << summary;
    }
    EXPECT_FALSE(d.addZone(c.args)) << c.args;
    EXPECT_NE(d.error.find(c.why), std::string::npos) << c.args << ": " << d.error;
    EXPECT_EQ(d.error.rfind("No zone added: ", 0), 0u) << d.error;
    EXPECT_EQ(d.reply, "");
    EXPECT_EQ(d.h.readFile("Corvane.dat"), before) << c.args;
  }

  // A file that cannot be written: the temporary file beside it cannot be made.
  ASSERT_EQ(d.fly(std::string(kParked) + "at 1 end\n", summary), 0) << summary;
  const std::string blocker =
      d.h.folder + "Corvane.dat.tmp" + std::to_string(platform::currentProcessId());
  std::filesystem::create_directory(blocker);
  EXPECT_FALSE(d.addZone("\"Deck\""));
  EXPECT_EQ(d.error, "No zone added: Corvane.dat cannot be written.");
  EXPECT_EQ(d.h.readFile("Corvane.dat"), before);
  std::filesystem::remove(blocker);
  EXPECT_TRUE(d.addZone("\"Deck\" 120 20")) << d.error;
  EXPECT_NE(d.reply.find("120.0 x 20.0 m"), std::string::npos) << d.reply;
}
