// The page's settings from its address: the Linux program's names and limits, an address's encoding, and
// one line for whatever is refused.
#include <gtest/gtest.h>

#include "web/PageSettings.h"

namespace orlinde {
namespace {

struct Accepted {
  const char* query;
  std::int32_t rainInterval;
  bool showFps;
};

class PageSettingsAccepted : public testing::TestWithParam<Accepted> {};

TEST_P(PageSettingsAccepted, GivesTheProgramsValues) {
  const ParsedPageSettings parsed = ParsePageSettings(GetParam().query);
  ASSERT_TRUE(parsed.settings) << parsed.error;
  EXPECT_EQ(GetParam().rainInterval, parsed.settings->rainInterval);
  EXPECT_EQ(GetParam().showFps, parsed.settings->showFps);
}

INSTANTIATE_TEST_SUITE_P(
    Queries, PageSettingsAccepted,
    testing::Values(Accepted{"", 1000, false}, Accepted{"?", 1000, false}, Accepted{"?rain-interval=500", 500, false},
                    Accepted{"rain-interval=500", 500, false},  // without its '?'
                    Accepted{"?rain-interval=10", 25, false},   // below the floor: the floor
                    Accepted{"?rain-interval=2147483647", 2147483647, false}, Accepted{"?fps", 1000, true},
                    Accepted{"?fps=", 1000, true}, Accepted{"?fps&rain-interval=300", 300, true},
                    Accepted{"?&&rain-interval=300&", 300, false},                   // empty pieces
                    Accepted{"?rain%2Dinterval=3%30%30", 300, false},                // percent-encoded
                    Accepted{"?rain-interval=100&rain-interval=200", 200, false}));  // the last one holds

struct Refused {
  const char* query;
  const char* error;
};

class PageSettingsRefused : public testing::TestWithParam<Refused> {};

TEST_P(PageSettingsRefused, SaysWhyInOneLine) {
  const ParsedPageSettings parsed = ParsePageSettings(GetParam().query);
  EXPECT_FALSE(parsed.settings);
  EXPECT_EQ(GetParam().error, parsed.error);
}

INSTANTIATE_TEST_SUITE_P(
    Queries, PageSettingsRefused,
    testing::Values(Refused{"?rain-interval=abc", "rain-interval: \"abc\" is no number of milliseconds"},
                    Refused{"?rain-interval=", "rain-interval: \"\" is no number of milliseconds"},
                    Refused{"?rain-interval=2147483648", "rain-interval: \"2147483648\" is no number of milliseconds"},
                    Refused{"?rain-interval=5+0", "rain-interval: \"5 0\" is no number of milliseconds"},
                    Refused{"?rain-interval", "rain-interval needs a value"}, Refused{"?fps=1", "fps takes no value"},
                    Refused{"?texture=x.bmp", "\"texture\" is no setting of this page (rain-interval, fps)"},
                    Refused{"?window", "\"window\" is no setting of this page (rain-interval, fps)"},
                    Refused{"?--fps", "\"--fps\" is no setting of this page (rain-interval, fps)"},
                    Refused{"?rain-interval=%4", "\"rain-interval=%4\" is not written as an address writes a setting"},
                    Refused{"?rain-interval=%zz1",
                            "\"rain-interval=%zz1\" is not written as an address writes a setting"}));

}  // namespace
}  // namespace orlinde
