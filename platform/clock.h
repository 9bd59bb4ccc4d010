#pragma once
// The clock that dates generated comments and the report.
#include <ctime>
#include <string>

namespace rw {

struct DateTime {
    int year = 1970, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

// The general date text: under the C/POSIX and en_US locales
// "M/d/yyyy h:mm:ss AM" without leading zeros on month, day and hour, and
// the date alone at exactly midnight.
std::string generalDateText(const DateTime& t);

// Parses "YYYY-MM-DDTHH:MM:SS"; false when the text is not of that form or
// names no real moment: a year from 100 to 9999, a month from 1 to 12, a day
// that the month has (29 February in leap years only), hours 0-23, minutes
// and seconds 0-59.
bool parseIsoDateTime(const std::string& text, DateTime& out);

// Local time of a POSIX time value.
DateTime localDateTime(std::time_t t);

class Clock {
public:
    virtual ~Clock() = default;
    // The current date and time as general date text, valid until the next
    // call. Callers that date several things read it for each.
    virtual const std::string& nowText() = 0;
};

// Always the same moment.
class FixedClock final : public Clock {
public:
    explicit FixedClock(DateTime t) : text_(generalDateText(t)) {}
    const std::string& nowText() override { return text_; }

private:
    std::string text_;
};

// The machine's clock, in local time. Under locales other than C, POSIX
// and en_US the text follows the locale's own date and time formats. The
// text is made again only when the second has changed: a run dates
// thousands of procedures within a few seconds.
class SystemClock final : public Clock {
public:
    // `now` reads the machine's time in seconds; a test may give its own.
    explicit SystemClock(std::time_t (*now)() = [] { return std::time(nullptr); }) : now_(now) {}
    const std::string& nowText() override;

private:
    std::time_t (*now_)();
    std::time_t second_ = -1;  // the second `text_` was made for
    std::string text_;
};

}  // namespace rw
