#include <gtest/gtest.h>

#include "platform/clock.h"

namespace rw {

TEST(Clock, GeneralDateText) {
    EXPECT_EQ(generalDateText({2026, 12, 5, 8, 17, 21}), "12/5/2026 8:17:21 AM");
    EXPECT_EQ(generalDateText({2026, 1, 9, 0, 0, 0}), "1/9/2026");  // midnight: the date alone
    EXPECT_EQ(generalDateText({2026, 1, 9, 0, 0, 1}), "1/9/2026 12:00:01 AM");
    EXPECT_EQ(generalDateText({2026, 1, 9, 12, 5, 0}), "1/9/2026 12:05:00 PM");
    EXPECT_EQ(generalDateText({2026, 1, 9, 23, 59, 59}), "1/9/2026 11:59:59 PM");
}

TEST(Clock, ParsesOnlyTheIsoForm) {
    DateTime t;
    ASSERT_TRUE(parseIsoDateTime("2026-12-05T08:17:21", t));
    EXPECT_EQ(generalDateText(t), "12/5/2026 8:17:21 AM");
    for (const char* bad : {"2026-12-05 08:17:21", "2026-13-05T08:17:21", "2026-12-05T24:00:00", "2026-12-5T8:17:21",
                            "2026-12-05T08:17:21Z", ""}) {
        EXPECT_FALSE(parseIsoDateTime(bad, t)) << bad;
    }
}

}  // namespace rw
