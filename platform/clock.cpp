#include "platform/clock.h"

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#ifdef _WIN32
#include <cwchar>

#include "platform/win_api.h"
#endif

namespace rw {

namespace {
// A general date shows the time unless it is midnight exactly.
bool hasTimeOfDay(const DateTime& t) { return t.hour != 0 || t.minute != 0 || t.second != 0; }
}  // namespace

std::string generalDateText(const DateTime& t) {
    char buffer[64];
    int length = std::snprintf(buffer, sizeof buffer, "%d/%d/%04d", t.month, t.day, t.year);
    if (hasTimeOfDay(t)) {
        const int hour12 = t.hour % 12 == 0 ? 12 : t.hour % 12;
        std::snprintf(buffer + length, sizeof buffer - static_cast<std::size_t>(length), " %d:%02d:%02d %s", hour12,
                      t.minute, t.second, t.hour < 12 ? "AM" : "PM");
    }
    return buffer;
}

namespace {
bool isLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int daysInMonth(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : days[month - 1];
}
}  // namespace

bool parseIsoDateTime(const std::string& text, DateTime& out) {
    // Every position holds a digit except the separators, so no sign or
    // space slips into a field.
    static const char form[] = "dddd-dd-ddTdd:dd:dd";
    if (text.size() != sizeof form - 1) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool digit = text[i] >= '0' && text[i] <= '9';
        if (form[i] == 'd' ? !digit : text[i] != form[i]) return false;
    }
    const auto field = [&](std::size_t at, std::size_t length) { return std::stoi(text.substr(at, length)); };
    DateTime t{field(0, 4), field(5, 2), field(8, 2), field(11, 2), field(14, 2), field(17, 2)};
    if (t.year < 100 || t.month < 1 || t.month > 12 || t.day < 1 || t.day > daysInMonth(t.year, t.month) ||
        t.hour > 23 || t.minute > 59 || t.second > 59)
        return false;
    out = t;
    return true;
}

DateTime localDateTime(std::time_t value) {
    std::tm tm {};
    localtime_r(&value, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

#ifdef _WIN32
namespace {
// The general date text in the user's locale: the US form under en-US (and
// when the locale cannot be read), otherwise its short date and its time.
std::string userLocaleText(const DateTime& t) {
    wchar_t locale[LOCALE_NAME_MAX_LENGTH];
    if (GetUserDefaultLocaleName(locale, LOCALE_NAME_MAX_LENGTH) == 0 || std::wcscmp(locale, L"en-US") == 0)
        return generalDateText(t);
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(t.year);
    st.wMonth = static_cast<WORD>(t.month);
    st.wDay = static_cast<WORD>(t.day);
    st.wHour = static_cast<WORD>(t.hour);
    st.wMinute = static_cast<WORD>(t.minute);
    st.wSecond = static_cast<WORD>(t.second);
    wchar_t date[128], time[128];
    if (GetDateFormatEx(locale, DATE_SHORTDATE, &st, nullptr, date, 128, nullptr) == 0) return generalDateText(t);
    std::wstring text = date;
    if (hasTimeOfDay(t)) {
        if (GetTimeFormatEx(locale, 0, &st, nullptr, time, 128) == 0) return generalDateText(t);
        text += L' ';
        text += time;
    }
    return win::narrow(text);
}

// The clock's text of the moment `now`.
std::string nowTextAt(std::time_t now) { return userLocaleText(localDateTime(now)); }
}  // namespace
#else
namespace {
bool usesUsFormat() {
    const char* names[] = {"LC_ALL", "LC_TIME", "LANG"};
    for (const char* name : names) {
        const char* value = std::getenv(name);
        if (value == nullptr || *value == '\0') continue;
        return std::strcmp(value, "C") == 0 || std::strcmp(value, "POSIX") == 0 ||
               std::strncmp(value, "C.", 2) == 0 || std::strncmp(value, "en_US", 5) == 0;
    }
    return true;
}

// The clock's text of the moment `now`.
std::string nowTextAt(std::time_t now) {
    if (usesUsFormat()) return generalDateText(localDateTime(now));
    std::tm tm {};
    localtime_r(&now, &tm);
    const std::string previous = std::setlocale(LC_TIME, nullptr);
    std::setlocale(LC_TIME, "");
    char buffer[128];
    const bool midnight = tm.tm_hour == 0 && tm.tm_min == 0 && tm.tm_sec == 0;
    const std::size_t n = std::strftime(buffer, sizeof buffer, midnight ? "%x" : "%x %X", &tm);
    std::setlocale(LC_TIME, previous.c_str());
    return n == 0 ? generalDateText(localDateTime(now)) : std::string(buffer, n);
}
}  // namespace

#endif

const std::string& SystemClock::nowText() {
    const std::time_t now = now_();
    if (now != second_) {
        text_ = nowTextAt(now);
        second_ = now;
    }
    return text_;
}

}  // namespace rw
