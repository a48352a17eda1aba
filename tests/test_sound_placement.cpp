// Where a queued sound plays after the server's answer on its default output.
#include "stream_placement.h"

#include <gtest/gtest.h>

namespace {

using tolvex::Placement;

struct PlacementCase {
    const char* name;
    const char* lastDefault;
    const char* nowDefault;
    const char* streamOutput;
    Placement expected;
};

class PlacementTest : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(PlacementTest, FollowsOnlyAChangeOfTheDefault)
{
    const PlacementCase& c = GetParam();
    EXPECT_EQ(tolvex::placeSound(c.lastDefault, c.nowDefault, c.streamOutput), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, PlacementTest,
    ::testing::Values(PlacementCase{"FirstAnswer", "", "speakers", "headset", Placement::StartHere},
                      PlacementCase{"Unchanged", "speakers", "speakers", "speakers", Placement::StartHere},
                      PlacementCase{"ChangedAndMoved", "speakers", "headset", "headset", Placement::StartHere},
                      PlacementCase{"ChangedNotMoved", "speakers", "headset", "speakers",
                                    Placement::ReopenOnNewDefault},
                      PlacementCase{"MovedByAMixer", "speakers", "speakers", "headset", Placement::StartHere},
                      PlacementCase{"NoDefaultNamed", "speakers", "", "speakers", Placement::StartHere},
                      PlacementCase{"StreamOutputUnknown", "speakers", "headset", "", Placement::StartHere}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
