#include <gtest/gtest.h>

#include "arrest/formatting.h"
#include "edition/edition.h"
#include "text/number_format.h"

namespace {

TEST(FormatGeneral, ShortestFormWithPoint) {
  struct Case {
    double value;
    const char* text;
  };
  const Case cases[] = {
      {90, "90"},         {187.5, "187.5"},
      {0, "0"},           {-0.0, "0"},
      {359.99, "359.99"}, {0.1, "0.1"},
      {-12.25, "-12.25"}, {1.0 / 3, "0.333333333333333"},
      {1e-7, "1E-7"},     {123456789012345.0, "123456789012345"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatGeneral(c.value), c.text) << c.value;
}

TEST(FormatFixed, ThreeDigitsOneDecimal) {
  struct Case {
    double value;
    const char* text;
  };
  const Case cases[] = {
      {12.34, "12.3"}, {-12.34, "-12.3"},  {-5, "-5.0"},     {123.4, "123.0"}, {123.6, "124.0"},
      {12.35, "12.4"}, {0.05, "0.1"},      {0.04, "0.0"},    {-0.04, "0.0"},   {99.96, "100.0"},
      {0, "0.0"},      {-1.40625, "-1.4"}, {179.5, "180.0"}, {-180, "-180.0"}, {0.96, "1.0"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatFixed(c.value, 3, 1), c.text) << c.value;
}

TEST(ArrestLabels, Texts) {
  EXPECT_EQ(MagVarLabel(-12.34), "Current Mag Var: -12.3 deg");
  EXPECT_EQ(MagVarLabel(0), "Current Mag Var: 0.0 deg");
  EXPECT_EQ(NearestCarrierLabel("CVN-68 Nimitz", 187.5),
            "Nearest cables: CVN-68 Nimitz (rwy hdg 187.5)");
  const std::string prefix =
      IsFS2004Edition ? "Nearest cables: (rwy hdg " : "NEAREST CABLES: (rwy hdg ";
  EXPECT_EQ(NearestCarrierAnnouncement("CV-63", 90), prefix + "90) \"CV-63\"");
}

}  // namespace
