#include "sim/scenario.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Kind = sim::ScenarioCommand::Kind;

TEST(ScenarioParser, ParsesEveryCommand) {
  const char* text =
      "# a trap\n"
      "\n"
      "at 0 set lat 36.95 lon -76.36 alt 500 speed 140   # start of the approach\n"
      "at 2.5 key SHIFT+CTRL+F9\n"
      "at 1 set tank.leftmain.level 0.25 flag.0x0B6F 1 tank.centre2.capacity 300\n"
      "at 30 expect message \"TRAPPING \\\"ACTIVE\\\" # not a comment\"\n"
      "at 31 expect no-message \"Catapult disarmed\"\n"
      "at 32 expect speed <= 0.5\n"
      "at 33 expect write 0x3070\n"
      "at 60 end\n"
      "at end expect on_ground == 1\n"
      "at end expect flag.0x0b6f >= 1\n";
  sim::Scenario s;
  std::vector<sim::ScenarioError> errors;
  ASSERT_TRUE(sim::parseScenario(text, s, errors)) << errors[0].line << ": " << errors[0].message;
  ASSERT_EQ(s.timed.size(), 8u);
  ASSERT_EQ(s.atEnd.size(), 2u);
  // Sorted by time; the 1 s line comes before the 2.5 s one.
  EXPECT_EQ(s.timed[0].line, 3);
  EXPECT_EQ(s.timed[0].sets.size(), 4u);
  EXPECT_EQ(s.timed[0].source, "at 0 set lat 36.95 lon -76.36 alt 500 speed 140");
  EXPECT_EQ(s.timed[1].line, 5);
  EXPECT_EQ(s.timed[1].sets[1].first.id, sim::FieldId::Flag);
  EXPECT_EQ(s.timed[1].sets[1].first.index, 0x0B6F);
  EXPECT_EQ(s.timed[2].kind, Kind::Key);
  EXPECT_EQ(s.timed[2].atUs, 2'500'000);
  EXPECT_EQ(s.timed[2].key.shift, 3);
  EXPECT_EQ(s.timed[3].text, "TRAPPING \"ACTIVE\" # not a comment");
  EXPECT_EQ(s.timed[4].kind, Kind::ExpectNoMessage);
  EXPECT_EQ(s.timed[5].op, sim::CompareOp::LessEqual);
  EXPECT_EQ(s.timed[6].offset, 0x3070u);
  EXPECT_EQ(s.atEnd[1].field.index, 0x0B6F);
}

TEST(ScenarioParser, BadLinesAreReportedWithTheirLineNumbers) {
  const char* bad[] = {
      "set speed 100",  // no at
      "at",             // no time
      "at -1 end",      // negative time
      "at soon end",    // not a number
      "at 1e99 end",    // far too late
      "at nan end",
      "at 0x10 end",             // hex is no time... but 16 is; see below
      "at 1",                    // no command
      "at 1 jump",               // unknown command
      "at 1 set",                // nothing to set
      "at 1 set speed",          // value missing
      "at 1 set speed fast",     // not a number
      "at 1 set speed 100 alt",  // odd pair count
      "at 1 set warp 9",         // unknown field
      "at 1 set speed -5",       // out of range
      "at 1 set lat 91",
      "at 1 set brake 40000",
      "at 1 set gear 0.5",  // whole numbers only
      "at 1 set speed inf",
      "at 1 set on_ground 1",  // read-only
      "at 1 set tank.wing.level 0.5",
      "at 1 set tank.leftmain.fuel 0.5",
      "at 1 set tank.leftmain.level 1.5",
      "at 1 set flag.0x0B63 1",  // not a failure byte
      "at 1 set flag.0B6F 1",
      "at 1 set flag.0x 1",
      "at 1 key",
      "at 1 key F9",
      "at 1 key SHIFT+F9 SHIFT+F8",
      "at 1 end now",
      "at 1 catch-area 36.9 -76.3 37 -76.2 60",       // ceiling missing
      "at 1 catch-area 36.9 -76.3 37 -76.2 64.5 60",  // floor above ceiling
      "at end catch-area 36.9 -76.3 37 -76.2 60 64.5",
      "at 1 catch-area 36.9 -76.3 37 -76.2 60 64.5 landing",      // heading missing
      "at 1 catch-area 36.9 -76.3 37 -76.2 60 64.5 landing 360",  // heading out of range
      "at 1 catch-area 36.9 -76.3 37 -76.2 60 64.5 heading 90",
      "at 1 approach 36.95 -76.3 60 90 3.5 1 0 0",         // speed missing
      "at 1 approach 36.95 -76.3 60 360 3.5 1 0 0 130",    // heading out of range
      "at 1 approach 36.95 -76.3 60 90 3.5 1 -3.5 0 130",  // no slope left
      "at 1 approach 36.95 -76.3 60 90 3.5 0 0 0 130",     // no distance
      "at 1 approach 36.95 -76.3 30001 90 3.5 1 0 0 130",  // deck too high
      "at end approach 36.95 -76.3 60 90 3.5 1 0 0 130",
      "at 1 expect",
      "at 1 expect message TRAPPING",  // text must be quoted
      "at 1 expect message \"unterminated",
      "at 1 expect message \"a\"b",
      "at 1 expect message \"a\" \"b\"",
      "at 1 expect speed",
      "at 1 expect speed ~ 3",
      "at 1 expect speed < fast",
      "at 1 expect warp < 3",
      "at 1 expect write",
      "at 1 expect write 0x10000",
      "at 1 expect write -1",
      "at end set speed 0",  // only expectations at end
      "at end key SHIFT+F9",
      "at end end",
      "at end",
      "at 1 set sp\"eed 3",
      "\"at\" 1 end",
      "at 1 end",  // good, see below
  };
  // Two entries above are deliberately good lines, to make sure the table does not pass by
  // rejecting everything: "at 0x10 end" (16 s) and "at 1 end".
  for (const char* line : bad) {
    SCOPED_TRACE(line);
    std::string text = std::string("# header\nat 0 set speed 10\n") + line + "\nat 5 end\n";
    sim::Scenario s;
    std::vector<sim::ScenarioError> errors;
    bool ok = sim::parseScenario(text, s, errors);
    bool expectGood = std::string(line) == "at 0x10 end" || std::string(line) == "at 1 end";
    EXPECT_EQ(ok, expectGood);
    if (!expectGood) {
      ASSERT_EQ(errors.size(), 1u);
      EXPECT_EQ(errors[0].line, 3);
      EXPECT_FALSE(errors[0].message.empty());
    }
  }
}

TEST(ScenarioParser, ReportsEveryBadLineAndSurvivesGarbage) {
  std::string text = "at 1 jump\nat 2 end\nat x end\n";
  text += std::string("\xFF\xFE\x01 garbage \0 zero", 18) + "\n";
  text += std::string(100000, 'a') + "\n";
  text += "at 3 expect message \"" + std::string(5000, '"') + "\n";
  sim::Scenario s;
  std::vector<sim::ScenarioError> errors;
  EXPECT_FALSE(sim::parseScenario(text, s, errors));
  ASSERT_EQ(errors.size(), 5u);
  EXPECT_EQ(errors[0].line, 1);
  EXPECT_EQ(errors[1].line, 3);
  EXPECT_EQ(errors[2].line, 4);
  EXPECT_EQ(errors[3].line, 5);
  EXPECT_EQ(errors[4].line, 6);
  EXPECT_EQ(s.timed.size(), 1u);
}

TEST(ScenarioParser, CommentsBlankLinesAndWindowsLineEnds) {
  sim::Scenario s;
  std::vector<sim::ScenarioError> errors;
  ASSERT_TRUE(sim::parseScenario(
      "  # only a comment\r\n\r\n\tat 3 end\r\nat 1 set speed 5#tight\r\n", s, errors));
  ASSERT_EQ(s.timed.size(), 2u);
  EXPECT_EQ(s.timed[0].line, 4);
  EXPECT_EQ(s.timed[0].source, "at 1 set speed 5");
  EXPECT_TRUE(sim::parseScenario("", s, errors));
  EXPECT_TRUE(s.timed.empty());
}

TEST(ScenarioParser, CompareValues) {
  EXPECT_TRUE(sim::compareValues(0.0, sim::CompareOp::Equal, 0.0));
  EXPECT_TRUE(sim::compareValues(36.95 + 1e-12, sim::CompareOp::Equal, 36.95));
  EXPECT_FALSE(sim::compareValues(36.951, sim::CompareOp::Equal, 36.95));
  EXPECT_TRUE(sim::compareValues(1, sim::CompareOp::Less, 2));
  EXPECT_FALSE(sim::compareValues(2, sim::CompareOp::Less, 2));
  EXPECT_TRUE(sim::compareValues(2, sim::CompareOp::LessEqual, 2));
  EXPECT_TRUE(sim::compareValues(3, sim::CompareOp::Greater, 2));
  EXPECT_TRUE(sim::compareValues(2, sim::CompareOp::GreaterEqual, 2));
}

}  // namespace
