#include "config/options.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "config_fixture.h"

using configtest::ConfigTest;

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
  const std::pair<double, int> cases[] = {
      {-712.5, -712}, {-713.5, -714}, {2.5, 2},     {3.5, 4},
      {-0.5, 0},      {0.5, 0},       {1.5, 2},     {-700.4, -700},
      {-700.6, -701}, {699.99, 700},  {1500, 1500}, {-1e300, INT32_MIN},
  };
  for (const auto& [value, rounded] : cases) EXPECT_EQ(RoundHalfEven(value), rounded) << value;
}

using Options = ConfigTest;

TEST_F(Options, UpDownControlsGiveTheBoundsAndShowTheStoredValue) {
  form->options.SetCableCatchAccelFactor(-1500);
  EXPECT_EQ(form->edtDecelFactor.text(), "-1500");
  form->options.SetCableCatchAccelFactor(-99.9);
  EXPECT_DOUBLE_EQ(form->options.CableCatchAccelFactor, -700);
  EXPECT_EQ(form->updwnDecelFactor.position(), -700);
  form->options.SetCatapultAccelFactor(349.99);
  EXPECT_DOUBLE_EQ(form->options.CatapultAccelFactor, 700);
  form->options.SetCatapultHoldFactor(200);
  EXPECT_EQ(form->options.CatapultHoldFactor, -200);
  EXPECT_EQ(form->edtCatapultHoldFactor.text(), "200");
  form->options.SetCatapultHoldFactor(-75);
  EXPECT_EQ(form->options.CatapultHoldFactor, -50);
  EXPECT_EQ(form->edtCatapultHoldFactor.text(), "50");
  form->options.SetTimingResolution(21);
  EXPECT_EQ(form->options.TimingResolutionFactor, 1);
  EXPECT_EQ(form->edtTimingResolution.text(), "1");
}

TEST_F(Options, DecelerationUpArrowMakesTheFactorMoreNegative) {
  form->options.SetCableCatchAccelFactor(-700);
  form->updwnDecelFactor.clickUp();
  EXPECT_DOUBLE_EQ(form->options.CableCatchAccelFactor, -750);
  EXPECT_EQ(form->edtDecelFactor.text(), "-750");
  form->options.SetCableCatchAccelFactor(-1500);
  form->updwnDecelFactor.clickUp();  // no wrap at the end of the range
  EXPECT_DOUBLE_EQ(form->options.CableCatchAccelFactor, -1500);
  form->updwnDecelFactor.clickDown();
  EXPECT_DOUBLE_EQ(form->options.CableCatchAccelFactor, -1450);
}

TEST_F(Options, FractionEndsAsTheWholeNumberShown) {
  form->options.SetCableCatchAccelFactor(-700);
  form->options.SetCableCatchAccelFactor(-712.5);
  EXPECT_EQ(form->edtDecelFactor.text(), "-712");
  EXPECT_DOUBLE_EQ(form->options.CableCatchAccelFactor, -712);
  form->options.SetCatapultAccelFactor(700);
  form->options.SetCatapultAccelFactor(701.5);
  EXPECT_DOUBLE_EQ(form->options.CatapultAccelFactor, 702);
}

TEST_F(Options, TypedTextGoesThroughTheSetters) {
  struct Case {
    const char* edit;
    const char* text;
    const char* shown;  // the edit's text afterwards
  };
  const Case cases[] = {
      {"edtDecelFactor", "-800", "-800"},      {"edtDecelFactor", " -850 ", "-850"},
      {"edtDecelFactor", "-50", "-700"},       {"edtAccelFactor", "1e3", "1000"},
      {"edtAccelFactor", "2000", "700"},       {"edtCatapultCutoff", "150", "150"},
      {"edtCatapultCutoff", "0x96", "150"},    {"edtCatapultCutoff", "5", "120"},
      {"edtCatapultHoldFactor", "125", "125"}, {"edtTimingResolution", "20", "20"},
  };
  for (const Case& c : cases) {
    auto& edit = static_cast<platform::Edit&>(*form->findControl("FormMain", c.edit));
    edit.setText(c.text);
    EXPECT_EQ(edit.text(), c.shown) << c.text;
  }
  EXPECT_DOUBLE_EQ(form->options.CatapultAccelFactor, 700);
  EXPECT_EQ(form->options.CatapultCutoffKnots, 120);
  EXPECT_EQ(form->options.CatapultHoldFactor, -125);
  EXPECT_EQ(form->tmrDecel.interval(), 200);
  EXPECT_TRUE(errorBoxes.empty());
}

TEST_F(Options, TextThatIsNotANumberLeavesTheOptionAndIsReported) {
  form->options.SetCableCatchAccelFactor(-800);
  form->options.SetCatapultCutoffKnots(150);
  form->edtDecelFactor.setText("abc");
  form->edtDecelFactor.setText("");
  form->edtDecelFactor.setText("-800,5");
  form->edtCatapultCutoff.setText("12.5");
  form->edtTimingResolution.setText("x");
  EXPECT_DOUBLE_EQ(form->options.CableCatchAccelFactor, -800);
  EXPECT_EQ(form->options.CatapultCutoffKnots, 150);
  EXPECT_EQ(form->options.TimingResolutionFactor, 1);
  EXPECT_EQ(errorBoxes, (std::vector<std::string>{"'abc' is not a valid floating point value",
                                                  "'' is not a valid floating point value",
                                                  "'-800,5' is not a valid floating point value",
                                                  "'12.5' is not a valid integer value",
                                                  "'x' is not a valid integer value"}));
}
