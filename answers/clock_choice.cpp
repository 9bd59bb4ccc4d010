#include "answers/clock_choice.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>

namespace rw {

namespace {

// Seconds since 1970-01-01 00:00:00 UTC as a date and time, by the calendar
// rather than the C library, whose range on some systems ends in 3000.
DateTime epochDateTime(const std::string& text) {
    using namespace std::chrono;
    const char* what = "SOURCE_DATE_EPOCH: expected a whole number of seconds since 1970-01-01";
    constexpr long long kLastSecondOf9999 = 253402300799;
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) throw ClockChoiceError(what);
    errno = 0;
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    if (errno == ERANGE || value > kLastSecondOf9999) throw ClockChoiceError(what);
    const sys_seconds moment{seconds(value)};
    const sys_days day = floor<days>(moment);
    const year_month_day date(day);
    const hh_mm_ss time(moment - day);
    return {static_cast<int>(date.year()), static_cast<int>(static_cast<unsigned>(date.month())),
            static_cast<int>(static_cast<unsigned>(date.day())), static_cast<int>(time.hours().count()),
            static_cast<int>(time.minutes().count()), static_cast<int>(time.seconds().count())};
}

}  // namespace

std::unique_ptr<Clock> chooseClock(const std::optional<std::string>& now,
                                   const std::optional<std::string>& sourceDateEpoch) {
    if (now) {
        DateTime t;
        if (!parseIsoDateTime(*now, t))
            throw ClockChoiceError("--now: expected a real date and time, YYYY-MM-DDTHH:MM:SS");
        return std::make_unique<FixedClock>(t);
    }
    if (sourceDateEpoch && !sourceDateEpoch->empty()) return std::make_unique<FixedClock>(epochDateTime(*sourceDateEpoch));
    return std::make_unique<SystemClock>();
}

}  // namespace rw
