#include <gtest/gtest.h>

#include "answers/clock_choice.h"
#include "platform/clock.h"

namespace rw {

// --now takes only a real moment in the ISO form, else SOURCE_DATE_EPOCH
// (seconds, read as UTC) dates the run; either is written as a general date.
TEST(Clock, ChosenFromNowThenSourceDateEpochAndWrittenAsAGeneralDate) {
    const std::string badNow = "--now: expected a real date and time, YYYY-MM-DDTHH:MM:SS";
    const std::string badEpoch = "SOURCE_DATE_EPOCH: expected a whole number of seconds since 1970-01-01";
    const struct {
        std::optional<std::string> now, epoch;
        std::string text;  // the general date, or the message of the refusal
    } cases[] = {
        {"2026-12-05T08:17:21", {}, "12/5/2026 8:17:21 AM"},
        {"2024-02-29T23:59:59", {}, "2/29/2024 11:59:59 PM"},  // a leap year
        {"2000-02-29T00:00:00", {}, "2/29/2000"},               // every 400 years; midnight: the date alone
        {"0100-01-31T00:00:01", {}, "1/31/0100 12:00:01 AM"},
        {"9999-12-31T12:00:00", {}, "12/31/9999 12:00:00 PM"},
        {"2026-01-09T12:05:00", {}, "1/9/2026 12:05:00 PM"},
        {"2023-02-29T08:00:00", {}, badNow}, {"1900-02-29T08:00:00", {}, badNow},
        {"2026-02-30T08:00:00", {}, badNow}, {"2026-04-31T08:00:00", {}, badNow},
        {"2026-02-30T-1:-5:-9", {}, badNow}, {"2026-12-05T24:00:00", {}, badNow},
        {"2026-12-05T08:60:00", {}, badNow}, {"2026-12-05T08:17:60", {}, badNow},
        {"2026-13-05T08:17:21", {}, badNow}, {"2026-00-05T08:17:21", {}, badNow},
        {"2026-12-00T08:17:21", {}, badNow}, {"0099-12-31T23:59:59", {}, badNow},
        {"10000-01-01T00:00:00", {}, badNow}, {"2026-12-+5T08:17:21", {}, badNow},
        {"2026-12-05 08:17:21", {}, badNow}, {"2026-12-5T8:17:21", {}, badNow},
        {"2026-12-05T08:17:21Z", {}, badNow}, {"", {}, badNow},
        {{}, "1796458641", "12/5/2026 8:17:21 AM"},  // 2026-12-05 08:17:21 UTC
        {{}, "0", "1/1/1970"},
        {{}, "253402300799", "12/31/9999 11:59:59 PM"},  // the last second of 9999
        {"2031-02-03T13:04:05", "0", "2/3/2031 1:04:05 PM"},
        {{}, "253402300800", badEpoch},  // the first second of 10000
        {{}, "-5", badEpoch}, {{}, "99999999999999999999", badEpoch},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.now.value_or("-") + " " + c.epoch.value_or("-"));
        try {
            EXPECT_EQ(chooseClock(c.now, c.epoch)->nowText(), c.text);
        } catch (const ClockChoiceError& e) {
            EXPECT_EQ(e.what(), c.text);
        }
    }
}

}  // namespace rw
