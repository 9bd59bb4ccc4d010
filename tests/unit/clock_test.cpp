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

TEST(Clock, ParsesOnlyARealMomentInTheIsoForm) {
    const struct {
        const char* text;
        const char* general;  // nullptr: refused
    } cases[] = {
        {"2026-12-05T08:17:21", "12/5/2026 8:17:21 AM"},
        {"2024-02-29T23:59:59", "2/29/2024 11:59:59 PM"},  // a leap year
        {"2000-02-29T00:00:00", "2/29/2000"},               // every 400 years
        {"0100-01-31T00:00:01", "1/31/0100 12:00:01 AM"},
        {"9999-12-31T12:00:00", "12/31/9999 12:00:00 PM"},
        {"2023-02-29T08:00:00", nullptr},
        {"1900-02-29T08:00:00", nullptr},
        {"2026-02-30T08:00:00", nullptr},
        {"2026-04-31T08:00:00", nullptr},
        {"2026-02-30T-1:-5:-9", nullptr},
        {"2026-12-05T24:00:00", nullptr},
        {"2026-12-05T08:60:00", nullptr},
        {"2026-12-05T08:17:60", nullptr},
        {"2026-13-05T08:17:21", nullptr},
        {"2026-00-05T08:17:21", nullptr},
        {"2026-12-00T08:17:21", nullptr},
        {"0099-12-31T23:59:59", nullptr},
        {"10000-01-01T00:00:00", nullptr},
        {"2026-12-+5T08:17:21", nullptr},
        {"2026-12-05 08:17:21", nullptr},
        {"2026-12-5T8:17:21", nullptr},
        {"2026-12-05T08:17:21Z", nullptr},
        {"", nullptr},
    };
    for (const auto& c : cases) {
        DateTime t;
        ASSERT_EQ(parseIsoDateTime(c.text, t), c.general != nullptr) << c.text;
        if (c.general) {
            EXPECT_EQ(generalDateText(t), c.general) << c.text;
        }
    }
}

}  // namespace rw
