#include "platform/clock.h"

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace rw {

std::string generalDateText(const DateTime& t) {
    char buffer[64];
    int length = std::snprintf(buffer, sizeof buffer, "%d/%d/%04d", t.month, t.day, t.year);
    if (t.hour != 0 || t.minute != 0 || t.second != 0) {
        const int hour12 = t.hour % 12 == 0 ? 12 : t.hour % 12;
        std::snprintf(buffer + length, sizeof buffer - static_cast<std::size_t>(length), " %d:%02d:%02d %s", hour12,
                      t.minute, t.second, t.hour < 12 ? "AM" : "PM");
    }
    return buffer;
}

bool parseIsoDateTime(const std::string& text, DateTime& out) {
    DateTime t;
    char tail = 0;
    if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' ||
        text[16] != ':')
        return false;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d%c", &t.year, &t.month, &t.day, &t.hour, &t.minute,
                    &t.second, &tail) != 6)
        return false;
    if (t.month < 1 || t.month > 12 || t.day < 1 || t.day > 31 || t.hour > 23 || t.minute > 59 || t.second > 59 ||
        t.year < 100)
        return false;
    out = t;
    return true;
}

DateTime localDateTime(std::time_t value) {
    std::tm tm {};
    localtime_r(&value, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

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
}  // namespace

std::string SystemClock::nowText() {
    const std::time_t now = std::time(nullptr);
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

}  // namespace rw
