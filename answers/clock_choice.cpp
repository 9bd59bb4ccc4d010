#include "answers/clock_choice.h"

#include <cerrno>
#include <cstdlib>
#include <ctime>

namespace rw {

namespace {

DateTime epochDateTime(const std::string& text) {
    const char* what = "SOURCE_DATE_EPOCH: expected a whole number of seconds since 1970-01-01";
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) throw ClockChoiceError(what);
    errno = 0;
    const long long seconds = std::strtoll(text.c_str(), nullptr, 10);
    const auto value = static_cast<std::time_t>(seconds);
    std::tm tm {};
    if (errno == ERANGE || static_cast<long long>(value) != seconds || gmtime_r(&value, &tm) == nullptr ||
        tm.tm_year + 1900 > 9999)
        throw ClockChoiceError(what);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
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
