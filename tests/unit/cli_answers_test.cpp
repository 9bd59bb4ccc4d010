#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "answers/answers.h"
#include "answers/clock_choice.h"
#include "platform/clock.h"
#include "support/golden.h"

namespace rw::cli {
namespace {

const char* const kMinimal = R"({
  "target": {"mode": "new", "kind": "OleDll", "name": "Orders", "store": "/out"},
  "connection": {"kind": "dsn", "dsn": "Northwind"},
  "rows": [{"table": "Orders", "field": "OrderID", "primary": true, "auto": true, "dataType": 3}]
})";

// The message of the fault parseAnswers reports, or "" when it accepts the text.
std::string faultOf(const std::string& text, const std::optional<std::string>& store = std::nullopt) {
    try {
        parseAnswers(text, "answers.json", store);
    } catch (const AnswersError& e) {
        return e.what();
    }
    return "";
}

// Each text's fault, written after it, names its JSON path.
TEST(CliAnswers, EveryKindOfFaultNamesItsJsonPath) {
    const std::string target = R"("target": {"mode": "new", "kind": "Exe", "name": "P", "store": "/out"})";
    const std::string conn = R"("connection": {"kind": "string", "string": "DSN=x"})";
    const auto doc = [&](const std::string& more) { return "{" + target + ", " + conn + more + "}"; };
    const auto withTarget = [&](const std::string& t) { return R"({"target": {)" + t + "}, " + conn + "}"; };
    const auto newTarget = [&](const std::string& name, const std::string& store) {
        return withTarget(R"("mode": "new", "kind": "Exe", "name": ")" + name + R"(", "store": ")" + store + "\"");
    };
    const auto rows = [&](const std::string& r) { return doc(R"(, "rows": [)" + r + "]"); };
    const std::vector<std::string> texts = {
        "{\"target\": {\n  \"mode\": new}", "{\"options\": 1e400}", "[]",
        withTarget(R"("mode": "new", "kind": "Dll", "name": "P", "store": "/out")"), withTarget(R"("mode": "old")"),
        "{" + conn + "}", withTarget(R"("mode": "existing", "store": "/out")"),
        withTarget(R"("mode": "new", "kind": "Exe", "name": 7, "store": "/out")"),
        "{" + target + R"(, "connection": {"kind": "odbc"}})", doc(R"(, "options": {"code": "yes"})"),
        doc(R"(, "options": {"errorhandler": false})"), doc(R"(, "tables": ["A", 3])"),
        rows(R"({"table": "T", "field": "F", "dataType": 3}, {"table": "T", "field": "G"})"),
        rows(R"({"table": "T", "field": "F", "dataType": 32768})"),
        rows(R"({"table": "T", "field": "F", "dataType": -32769})"),
        rows(R"({"table": "T", "field": "F", "dataType": 3.5})"),
        rows(R"({"table": "T", "field": false, "dataType": 3})"),
        rows(R"({"table": "T", "field": "F", "dataType": 3}, {"table": "T", "field": "G", "auto": 1})"),
        doc(R"(, "marks": {"Order Details.ID": {"auto": 1}})"), doc(R"(, "marks": {"Orders": {"primary": true}})"),
        doc(R"(, "marks": {"T.F": {"primary": false, "auto": true}})"), doc(R"(, "dbmsName": 5)"),
        rows(R"({"table": "T\u0000x", "field": "F", "dataType": 3})"),
        withTarget(R"("mode": "loaded", "project": "a.vbp", "kind": "Exe")"),
        // The target is checked as the project page does.
        newTarget("", ""), newTarget("", "/out"),
        withTarget(R"("mode": "existing", "project": "", "store": "/out")"), newTarget("P", "/out/*"),
        newTarget("P", "/o?t"), newTarget("P", R"(\\\\server\\share)"), newTarget("../../x", "/out"),
        newTarget("..", "/out"), newTarget("a\\\"b", "/out"), newTarget("P\\r\\nModule=E; E.bas", "/out"),
        newTarget("\\u9867", "/out"),
    };
    std::string faults;
    const auto show = [&](const std::string& text, const std::optional<std::string>& store) {
        const std::string fault = faultOf(text, store);  // the JSON parser's own words after the position left out
        faults += text + "\n  -> " + fault.substr(0, fault.find(": syntax")) + "\n";
    };
    for (const std::string& text : texts) show(text, std::nullopt);
    show(newTarget("P", "/out"), "");  // --store stands in for the file's store, and is checked the same way
    test::expectGolden("answers_faults.txt", faults);
}

// Options left out are on, rows are not nullable, a data source without a
// name of its own is named by its DSN, and a DBMS name left out does not
// exist. The password is never written; a data source name left out on
// purpose stays out. Each text is read back the same, its mode's members
// checked; the target fills the project page (the store from --store when given).
TEST(CliAnswers, WrittenAnswersTakeTheDefaultsAndReadBackTheSame) {
    const std::string texts[] = {
        kMinimal,
        R"({"options": {"devNotes": false, "code": false},
            "target": {"mode": "new", "kind": "Exe", "name": "P", "store": "/o"},
            "connection": {"kind": "dsn", "dsn": "D"}, "dataSourceName": null, "dbmsName": "ACCESS"})",
        R"({"options": {"moduleHeaders": false, "errorHandler": false},
            "target": {"mode": "new", "kind": "OleExe", "name": "Sales \u00e9", "store": "/out/s"},
            "connection": {"kind": "dsn", "dsn": "D", "user": "sa", "password": "pw"},
            "tables": ["Order Details", "Orders"],
            "marks": {"Orders.OrderID": {"primary": true, "auto": true}, "Order Details.Qty": {"primary": false}},
            "rows": [{"table": "Orders", "field": "OrderID", "dataType": -32768, "nullable": true}],
            "dbmsName": "Oracle", "dataSourceName": null})",
        R"({"target": {"mode": "loaded", "project": "L.vbp"}, "connection": {"kind": "string", "string": "x"}})",
        R"({"target": {"mode": "loaded", "project": "L.vbp"}, "connection": {"kind": "string", "string": "x"},
            "rows": [{"table": "T", "field": "F", "dataType": -5, "primary": true}], "dbmsName": null})",
        R"({"target": {"mode": "existing", "project": "/p/E.vbp", "store": "/p"},
            "connection": {"kind": "string", "string": "x"}})",
    };
    std::string all;
    for (const std::string& text : texts) {
        for (const auto& store : {std::optional<std::string>(), std::optional<std::string>("q")}) {
            const Answers a = parseAnswers(text, "a.json", store);
            const ProjectPageValues& p = a.project;
            all += std::string("page:") + (p.optNew ? " new" : "") + (p.optProjectExisting ? " existing" : "") +
                   (p.optLoaded ? " loaded" : "") + (p.optProjectStdExe ? " Exe" : "") +
                   (p.optProjectActiveXExe ? " OleExe" : "") + (p.optProjectActiveXDLL ? " OleDll" : "") + ", name " +
                   p.txtProjName + ", project " + p.txtExistProject + a.loadedProject + ", store " + p.msStoreDir + "\n";
        }
        const std::string json = answersToJson(parseAnswers(text, "a.json"));
        EXPECT_EQ(answersToJson(parseAnswers(json, "b.json")), json);
        all += json;
    }
    test::expectGolden("answers_json.txt", all);
}

TEST(CliAnswers, MarksFollowTheGridClickRule) {
    FieldGrid grid({{"Orders", "OrderID", false, false, 3, false},
                    {"Orders", "Code", true, true, 129, false},
                    {"Orders", "Note", true, true, 129, true},
                    {"Order.Lines", "ID", false, false, 3, false}});
    applyMarks(grid,
               {{"Orders.OrderID", std::nullopt, true},   // ticking Auto ticks Primary
                {"Orders.Code", false, std::nullopt},     // clearing Primary clears Auto
                {"Orders.Note", std::nullopt, false},     // clearing Auto leaves Primary
                {"Order.Lines.ID", true, std::nullopt}},  // the key is the table, a dot and the field
               "a.json");
    std::string marks;
    for (const FieldRow& r : grid.rows()) marks += std::string(r.primary ? "P" : "-") + (r.autoNumber ? "A " : "- ");
    EXPECT_EQ(marks, "PA -- P- P- ");
}

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

// The machine's clock makes its text again when the second changes.
TEST(Clock, MachineClockTextFollowsTheSecond) {
    static std::time_t now = 1796458641;
    SystemClock clock([] { return now; });
    const std::string first = clock.nowText();
    ++now;
    EXPECT_NE(clock.nowText(), first);
    --now;
    EXPECT_EQ(clock.nowText(), first);
}

}  // namespace
}  // namespace rw::cli
