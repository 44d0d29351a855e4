// The row planner against a model of each kind of host: whatever happens to the row, the
// host shows it in reading order, and a refresh that changes nothing moves nothing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/model_tray.h"
#include "tray/row_plan.h"

namespace tsukio {
namespace {

using Row = std::vector<int>;

const Row kFullRow = {100, 110, 120, 140, 150, 130};

struct Step {
  std::string what;
  Row wanted;
  bool hostRestarts = false;
};

class RowPlanOnEveryHost : public testing::TestWithParam<TrayPlacement> {};

TEST_P(RowPlanOnEveryHost, TheHostShowsTheWantedRowAfterEveryChange) {
  // A host that remembers has met every icon once, in order (the first start with them all
  // shown does that); one that meets an icon first late puts it before the others, and no
  // order of sending can mend that.
  ModelTray host{GetParam(), {}, {100, 110, 120, 140, 150, 130, 170}};
  Row shown;  // what the program believes the host shows
  const std::vector<Step> story = {
      {"start", kFullRow},
      {"a refresh of the same row", kFullRow},
      {"a late status icon", {100, 110, 120, 140, 150, 130, 170}},
      {"the status icon goes", kFullRow},
      {"the weekday taken from the middle", {100, 110, 140, 150, 130}},
      {"and put back", kFullRow},
      {"the host restarts", kFullRow, true},
      {"the clock goes while the status icon shows", {100, 110, 120, 130, 170}},
      {"only the day", {110}},
      {"everything again", {100, 110, 120, 140, 150, 130, 170}},
  };
  for (const Step& step : story) {
    SCOPED_TRACE(step.what);
    if (step.hostRestarts) {
      host.Restart();
      shown.clear();
    }
    const RowPlan plan = PlanRow(shown, step.wanted, GetParam());
    host.CarryOut(plan);
    EXPECT_EQ(host.row, step.wanted);
    shown = step.wanted;

    // Asked again at once, nothing is left to do: a refresh re-registers nothing.
    const RowPlan again = PlanRow(shown, step.wanted, GetParam());
    EXPECT_TRUE(again.remove.empty() && again.add.empty());
    EXPECT_EQ(again.keep.size(), step.wanted.size());
  }
}

INSTANTIATE_TEST_SUITE_P(Placements, RowPlanOnEveryHost,
                         testing::Values(TrayPlacement::kAppends, TrayPlacement::kPrepends,
                                         TrayPlacement::kRemembers, TrayPlacement::kSortsByTitle));

// Taking away and adding again is the price of a host that only appends or prepends; it is
// paid only from the first icon out of place, so a late icon on the host's own side costs
// one addition.
TEST(RowPlan, ALateIconOnTheSideTheHostAddsOnMovesNothingElse) {
  const Row withStatus = {100, 110, 170};
  const RowPlan appended = PlanRow(Row{100, 110}, withStatus, TrayPlacement::kAppends);
  EXPECT_TRUE(appended.remove.empty());
  EXPECT_EQ(appended.add, Row{170});

  const Row withMonth = {100, 110, 120};
  const RowPlan prepended = PlanRow(Row{110, 120}, withMonth, TrayPlacement::kPrepends);
  EXPECT_TRUE(prepended.remove.empty());
  EXPECT_EQ(prepended.add, Row{100});
}

}  // namespace
}  // namespace tsukio
