#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "answers/answers.h"
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

TEST(CliAnswers, EveryKindOfFaultNamesItsJsonPath) {
    const std::string target = R"("target": {"mode": "new", "kind": "Exe", "name": "P", "store": "/out"})";
    const std::string conn = R"("connection": {"kind": "string", "string": "DSN=x"})";
    const auto doc = [&](const std::string& more) { return "{" + target + ", " + conn + more + "}"; };
    const auto newTarget = [&](const std::string& name, const std::string& store) {
        return R"({"target": {"mode": "new", "kind": "Exe", "name": ")" + name + R"(", "store": ")" + store + "\"}, " +
               conn + "}";
    };
    const std::string notChosen = "  Rowwright can not proceed until you do.";
    const std::string badStore = "answers.json: $.target.store: You have chosen an invalid directory name.  Please try again.";
    struct Case {
        std::string text;
        std::string message;
        std::optional<std::string> store = std::nullopt;  // --store
    };
    const std::vector<Case> cases = {
        {"{\"target\": {\n  \"mode\": new}", "answers.json: parse error at line 2, column 12"},
        {"{\"options\": 1e400}", "answers.json: number overflow parsing '1e400'"},
        {"[]", "answers.json: $: expected an object"},
        {R"({"target": {"mode": "new", "kind": "Dll", "name": "P", "store": "/out"}, )" + conn + "}",
         R"(answers.json: $.target.kind: expected one of "Exe", "OleExe", "OleDll")"},
        {R"({"target": {"mode": "old"}, )" + conn + "}",
         R"(answers.json: $.target.mode: expected one of "new", "existing", "loaded")"},
        {"{" + conn + "}", "answers.json: $.target: required member is missing"},
        {R"({"target": {"mode": "existing", "store": "/out"}, )" + conn + "}",
         "answers.json: $.target.project: required member is missing"},
        {R"({"target": {"mode": "new", "kind": "Exe", "name": 7, "store": "/out"}, )" + conn + "}",
         "answers.json: $.target.name: expected a string"},
        {"{" + target + R"(, "connection": {"kind": "odbc"}})",
         R"(answers.json: $.connection.kind: expected one of "dsn", "string")"},
        {doc(R"(, "options": {"code": "yes"})"), "answers.json: $.options.code: expected true or false"},
        {doc(R"(, "options": {"errorhandler": false})"), "answers.json: $.options.errorhandler: unknown member"},
        {doc(R"(, "tables": ["A", 3])"), "answers.json: $.tables[1]: expected a string"},
        {doc(R"(, "rows": [{"table": "T", "field": "F", "dataType": 3}, {"table": "T", "field": "G"}])"),
         "answers.json: $.rows[1].dataType: required member is missing"},
        {doc(R"(, "rows": [{"table": "T", "field": "F", "dataType": 32768}])"),
         "answers.json: $.rows[0].dataType: expected an integer from -32768 to 32767"},
        {doc(R"(, "rows": [{"table": "T", "field": "F", "dataType": -32769}])"),
         "answers.json: $.rows[0].dataType: expected an integer from -32768 to 32767"},
        {doc(R"(, "rows": [{"table": "T", "field": "F", "dataType": 3.5}])"),
         "answers.json: $.rows[0].dataType: expected an integer"},
        {doc(R"(, "rows": [{"table": "T", "field": false, "dataType": 3}])"),
         "answers.json: $.rows[0].field: expected a string"},
        {doc(R"(, "rows": [{"table": "T", "field": "F", "dataType": 3}, {"table": "T", "field": "G", "auto": 1}])"),
         "answers.json: $.rows[1].auto: expected true or false"},
        {doc(R"(, "marks": {"Order Details.ID": {"auto": 1}})"),
         R"(answers.json: $.marks["Order Details.ID"].auto: expected true or false)"},
        {doc(R"(, "marks": {"Orders": {"primary": true}})"),
         R"(answers.json: $.marks.Orders: expected a key of the form "Table.Field")"},
        {doc(R"(, "marks": {"T.F": {"primary": false, "auto": true}})"),
         "answers.json: $.marks[\"T.F\"]: a field marked auto is also primary"},
        {doc(R"(, "dbmsName": 5)"), "answers.json: $.dbmsName: expected a string or null"},
        {doc(R"(, "rows": [{"table": "T\u0000x", "field": "F", "dataType": 3}])"),
         "answers.json: $.rows[0].table: must not contain a NUL character"},
        {R"({"target": {"mode": "loaded", "project": "a.vbp", "kind": "Exe"}, )" + conn + "}",
         R"(answers.json: $.target.kind: not used when mode is "loaded")"},
        // The target is checked as the project page does.
        {newTarget("", ""), "answers.json: $.target.store: You have not chosen a directory in which to store your "
                            "generated files." + notChosen},
        {newTarget("", "/out"), "answers.json: $.target.name: You have not chosen a name for your new project." + notChosen},
        {R"({"target": {"mode": "existing", "project": "", "store": "/out"}, )" + conn + "}",
         "answers.json: $.target.project: You have not chosen a project to add your generated files to." + notChosen},
        {newTarget("P", "/out/*"), badStore},
        {newTarget("P", "/o?t"), badStore},
        {newTarget("P", R"(\\\\server\\share)"), badStore},
        // --store stands in for the file's store, and is checked the same way.
        {newTarget("P", "/out"), "answers.json: --store: You have not chosen a directory in which to store your "
                                 "generated files." + notChosen, ""},
    };
    for (const Case& c : cases) {
        const std::string fault = faultOf(c.text, c.store);
        EXPECT_EQ(fault.rfind(c.message, 0), 0u) << "text: " << c.text << "\nfault: " << fault;
        if (c.message.ends_with(".")) {
            EXPECT_EQ(fault, c.message);
        }
    }
}

TEST(CliAnswers, TargetModesFillTheProjectPage) {
    const struct {
        const char* target;
        std::optional<std::string> store;  // --store, which replaces the file's
        const char* page;
    } cases[] = {
        {R"({"mode": "new", "kind": "Exe", "name": "Orders", "store": "out"})", std::nullopt, "new Exe Orders  out"},
        {R"({"mode": "new", "kind": "OleExe", "name": "O", "store": "o"})", std::nullopt, "new OleExe O  o"},
        {R"({"mode": "new", "kind": "OleDll", "name": "O", "store": "o"})", std::nullopt, "new OleDll O  o"},
        {R"({"mode": "existing", "project": "p/E.vbp", "store": "p"})", "q", "existing  p/E.vbp q"},
        {R"({"mode": "loaded", "project": "p/L.vbp"})", std::nullopt, "loaded   p/L.vbp"},
    };
    for (const auto& c : cases) {
        const Answers a = parseAnswers(R"({"target": )" + std::string(c.target) +
                                           R"(, "connection": {"kind": "dsn", "dsn": "D"}})", "a.json", c.store);
        const ProjectPageValues& p = a.project;
        const std::string page = std::string(p.optNew ? "new" : "") + (p.optProjectExisting ? "existing" : "") +
                                 (p.optLoaded ? "loaded" : "") + (p.optProjectStdExe ? " Exe" : "") +
                                 (p.optProjectActiveXExe ? " OleExe" : "") + (p.optProjectActiveXDLL ? " OleDll" : "") +
                                 " " + p.txtProjName + " " + p.txtExistProject + " " + p.msStoreDir + a.loadedProject;
        EXPECT_EQ(page, c.page) << c.target;
    }
}

// Options left out are on, rows are not nullable, a data source without a
// name of its own is named by its DSN, and a DBMS name left out does not exist.
TEST(CliAnswers, MissingOptionsAndOptionalMembersTakeTheirDefaults) {
    const Answers some = parseAnswers(R"({"options": {"devNotes": false, "code": false},
        "target": {"mode": "new", "kind": "Exe", "name": "P", "store": "/o"},
        "connection": {"kind": "dsn", "dsn": "D"}, "dataSourceName": null, "dbmsName": "ACCESS"})",
                                      "a.json");
    test::expectGolden("answers_defaults.txt", answersToJson(parseAnswers(kMinimal, "a.json")) + answersToJson(some));
}

TEST(CliAnswers, WrittenAnswersReadBackTheSame) {
    const Answers a = parseAnswers(R"({"options": {"moduleHeaders": false, "errorHandler": false},
        "target": {"mode": "new", "kind": "OleExe", "name": "Sales \u00e9", "store": "/out/s"},
        "connection": {"kind": "dsn", "dsn": "D", "user": "sa", "password": "pw"},
        "tables": ["Order Details", "Orders"],
        "marks": {"Orders.OrderID": {"primary": true, "auto": true}, "Order Details.Qty": {"primary": false}},
        "rows": [{"table": "Orders", "field": "OrderID", "dataType": -32768, "nullable": true}],
        "dbmsName": "Oracle", "dataSourceName": null})",
                                   "a.json");
    // The password is never written; a data source name left out on purpose
    // stays out (it is not taken from the DSN on reading back).
    const std::string json = answersToJson(a);
    test::expectGolden("answers_written.txt", json);
    EXPECT_EQ(answersToJson(parseAnswers(json, "b.json")), json);

    for (const char* target : {R"({"mode": "loaded", "project": "L.vbp"})",
                               R"({"mode": "existing", "project": "/p/E.vbp", "store": "/p"})"}) {
        const std::string text = answersToJson(parseAnswers(
            R"({"target": )" + std::string(target) + R"(, "connection": {"kind": "string", "string": "x"}})", "a.json"));
        // Reading back checks the members each mode requires.
        EXPECT_EQ(answersToJson(parseAnswers(text, "b.json")), text);
    }
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
    EXPECT_TRUE(grid.row(0).primary && grid.row(0).autoNumber);
    EXPECT_FALSE(grid.row(1).primary || grid.row(1).autoNumber);
    EXPECT_TRUE(grid.row(2).primary);
    EXPECT_FALSE(grid.row(2).autoNumber);
    EXPECT_TRUE(grid.row(3).primary);
}

}  // namespace
}  // namespace rw::cli
