// What each generator writes under chosen settings, compared byte for byte
// with tests/golden/expected/<name>, and the messages it shows on the way.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "gen/collection/coll_file.h"
#include "gen/collection/coll_procs.h"
#include "gen/object/object_class.h"
#include "gen/support/support_files.h"
#include "support/gen_fixture.h"
#include "support/golden.h"

namespace rw {
namespace {

using test::GenFixture;

const std::string kStage = "/stage";
const std::string kEhPath = "/out/modRowwrightErrHndlr.bas";
const std::string kConnPath = "/out/clsRwtConn.cls";

using Writer = void (*)(GenContext&, int fileNumber, const std::string& table);

template <auto F>
void proc(GenContext& c, int n, const std::string& t) { F(c, n, TableNames(c.grid, t)); }
template <auto F>
void file(GenContext& c, int n, const std::string& t) { F(c, n, TableNames(c.grid, t), ""); }
// The support files go to the store (staged when the project is loaded).
void eh(GenContext& c, int, const std::string&) { msCreateEHFile(c, kStage); }
void conn(GenContext& c, int, const std::string&) { msCreateConnObjFile(c, kStage, "Exe"); }

// "Field Name 135PAN, Other.X 3": per row its [table.]field, data type and
// marks (Primary, Auto, Not nullable); the table is `table` unless named.
std::vector<FieldRow> rows(const std::string& table, const std::string& described) {
    std::vector<FieldRow> out;
    std::istringstream in(described);
    for (std::string item; std::getline(in >> std::ws, item, ',');) {
        const auto space = item.rfind(' '), dot = item.find('.');
        const std::string name = item.substr(0, space), marks = item.substr(space + 1);
        const auto has = [&](char m) { return marks.find(m) != std::string::npos; };
        out.push_back(test::row(dot < space ? name.substr(0, dot) : table, dot < space ? name.substr(dot + 1) : name,
                                std::stoi(marks), has('P'), has('A'), !has('N')));
    }
    return out;
}

enum Flags { kOleDll = 1, kLoaded = 2, kNoDataSource = 4 };

struct Case {
    const char* golden;
    Writer write;
    const char* table;
    const char* options;  // those on: Code, Error handler, Module headers, Function headers, developer Notes
    const char* fields;
    const char* dbms = "Microsoft SQL Server";  // nullptr: the connection has no product name
    int flags = 0;
    const char* connectionString = nullptr;  // nullptr: connect by data source name
};

// Run on a fixture set up as `k` says: the connection by data source name
// (what the login left behind must not reach the class) or by string.
void setUp(GenFixture& fx, const Case& k) {
    GenerationSettings& s = fx.settings;
    if (k.flags & kOleDll) fx.newProject("OleDll");
    if (k.flags & kLoaded) {
        s.mbStdExe = s.mbActiveXExe = s.mbActiveXDll = false;
        s.mbLoadedProject = true;
        s.msStoreDir = "/nowhere";  // not used for a loaded project
    }
    const auto has = [&](char o) { return std::string(k.options).find(o) != std::string::npos; };
    s.mbCode = has('C'), s.mbErrorHandler = has('E'), s.mbModuleHeaders = has('M'), s.mbFunctionHeaders = has('F');
    s.mbDevNotes = has('N');
    fx.conn = OfflineConnection(k.dbms ? std::optional<std::string>(k.dbms) : std::nullopt,
                                k.flags & kNoDataSource ? std::nullopt : std::optional<std::string>("Northwind"));
    s.connection.optDSN = !k.connectionString;
    s.connection.optDSNLess = k.connectionString != nullptr;
    s.connection.txtConnString = k.connectionString ? k.connectionString : "DSN=Northwind;UID=sa;PWD=secret";
    fx.grid = FieldGrid(rows(k.table, k.fields));
    fx.fs.createDirectories(kStage);
}

TEST(GeneratedText, GoldenFiles) {
    // Every data type group, nullable and not, keys of a number, a date and a date only, a time, two
    // Auto fields, names with spaces and a lower-case first letter, and rows of other tables around it.
    const char* details = "Orders.OrderID 3PAN, ID 3PAN, Ship Name 130, orderDate 135P, Shipped 11, Freight 6, Qty 2N, "
                          "Tiny 17, Ratio 4, Amount 5, Code 129N, Memo 8, Born 7, Due 133P, Opens 134, Notes 200, "
                          "Total 20, Line ID 3AN, Zeta.Z 3";
    const char* orders = "OrderID 3PA, CustomerID 129P, Order Date 135, Qty 2, Level 17, Active 11, Price 14, "
                         "First Name 130, Due 133, Opens 134";
    // Boolean, date, date without time, time and text keys, all also set.
    const char* log = "Stamp 135P, Active 11P, Code 130P, Due 133P, Opens 134P";
    const char *oneKey = "OrderID 3P", *spacedKey = "Order Details.ID 3P", *sql = "Microsoft SQL Server";
    const char* orcl = "Provider=MSDAORA.1;Data Source=orcl";
    const auto add = proc<msGenCollAddProc>, refresh = proc<msGenCollRefreshProc>, remove = proc<msGenCollRemoveProc>;
    const auto update = proc<msGenObjectUpdateMethod>, object = file<msGenObjectFile>, coll = file<msGenCollFile>;
    const Case cases[] = {
        {"collection_add_example.txt", add, "Orders", "CE", "OrderID 3A, CustomerID 130, OrderDate 135, Shipped 11"},
        {"collection_add_notes.txt", add, "Orders", "FN", "OrderID 3PA, customer ID 130, Seq 3A, Other.X 3"},
        {"collection_add_bare.txt", add, "Orders", "N", ""},  // without headers the notes add nothing
        {"collection_add_handler_only.txt", add, "Orders", "E", spacedKey},
        // A known name in other case is another product: numeric Boolean, ODBC timestamp.
        {"collection_add_lower_case_product.txt", add, "Orders", "CE", "Shipped 11, Stamp 7", "oracle"},
        // Without a product name the text stops at the first Boolean or date value; a time is quoted text and needs none.
        {"collection_add_missing_dbms_boolean.txt", add, "Orders", "CE", "Qty 3, Shipped 11, Due 133, Stamp 135",
         nullptr, kNoDataSource},
        {"collection_add_missing_dbms_time.txt", add, "Orders", "CE", "Qty 3, Opens 134, Due 133, Stamp 135", nullptr,
         kNoDataSource},
        {"collection_add_no_auto.txt", add, "Orders", "CE", "CustomerID 130, Qty 3"},
        {"collection_add_every_field_auto.txt", add, "Orders", "CE", "OrderID 3PA, Seq 3A"},
        {"collection_add_notes_code_off.txt", add, "Orders", "FN", "CustomerID 130"},
        {"collection_refresh_example.txt", refresh, "Orders", "CE", "OrderID 3PN, CustomerID 130, OrderDate 135"},
        {"collection_refresh_notes.txt", refresh, "Orders", "FN",
         "OrderID 3, CustomerID 130, OrderDate 135, Freight 6, ShipName 130"},
        {"collection_refresh_handler_only.txt", refresh, "Orders", "E", spacedKey},
        {"collection_refresh_unknown_date.txt", refresh, "Orders", "FN", "Stamp 135", "PostgreSQL"},
        {"collection_remove_example.txt", remove, "Orders", "CE", oneKey},
        {"collection_remove_notes.txt", remove, "Orders", "FN", "OrderID 3P, ProductID 3P, Qty 3"},
        {"collection_remove_spaced_table.txt", remove, "Order Details", "CE", spacedKey},
        {"collection_remove_handler_only.txt", remove, "Order Details", "E", spacedKey},
        // The sample filter: the key, else the first field; a date key under
        // an unknown product gives no condition.
        {"collection_remove_filter_no_key.txt", remove, "O", "FN", "Name 130, Qty 3"},
        {"collection_remove_filter_two_keys.txt", remove, "O", "FN", "Qty 3, CustomerID 130P, OrderDate 135P", "MS Jet"},
        {"collection_remove_filter_date_key.txt", remove, "O", "FN", "OrderDate 7P"},
        {"collection_remove_filter_unknown_date.txt", remove, "O", "FN", "Line 3, OrderDate 135P", "PostgreSQL"},
        {"collection_remove_filter_unknown_date_first.txt", remove, "O", "FN", "OrderDate 135P, Ship Name 130P",
         "PostgreSQL"},
        {"collection_count.txt", proc<msGenCollCountProp>, "Orders", "CE", ""},
        {"collection_new_enum.txt", proc<msGenCollNewEnumProp>, "Orders", "CE", ""},
        {"collection_sort_order_bare.txt", proc<msGenCollSortOrderProp>, "Orders", "N", ""},
        {"collection_item_header.txt", proc<msGenCollItemProp>, "OrderDetails", "EFN", ""},
        {"collection_all_on_sqlserver.txt", coll, "Order Details", "CEMFN", details},
        {"collection_all_on_access.txt", coll, "Order Details", "CEMFN", details, "ACCESS"},
        {"collection_all_on_msjet.txt", coll, "Order Details", "CEMFN", details, "MS Jet"},
        {"collection_all_on_oracle.txt", coll, "Order Details", "CEMFN", details, "Oracle", kOleDll},
        {"collection_all_on_other.txt", coll, "Order Details", "CEMFN", details, "PostgreSQL"},
        {"collection_all_off.txt", coll, "Order Details", "", details},
        {"collection_missing_dbms.txt", coll, "Order Details", "CEMFN", details, nullptr},
        {"collection_missing_dbms_unneeded.txt", coll, "Order Details", "CEMF", "ID 3PAN, Name 130", nullptr},
        // A loaded project: no frame, and 500 empty lines at the end.
        {"collection_loaded.txt", coll, "Order Details", "CEFN", details, sql, kLoaded},
        {"collection_loaded_headers.txt", coll, "Order Details", "CEMFN", details, sql, kLoaded},
        {"collection_notes_without_function_headers.txt", coll, "Order Details", "CEMN", details},
        {"object_all_on.txt", object, "Orders", "CEMFN", orders},
        {"object_all_off.txt", object, "Orders", "", orders},
        // No key: the six stop lines, the "-None-" key list and the warning.
        {"object_order_details_no_key.txt", object, "Order Details", "CEMFN", "Line No 3A, Shipped 7, Note 8", "Oracle",
         kOleDll},
        {"object_loaded_no_rows.txt", object, "Orders", "", "Other.Id 3P", sql, kLoaded},
        // The Update function stops after its head; the class goes on.
        {"object_loaded_missing_dbms.txt", object, "Log", "C", "Id 3P, Note 130, Active 11", nullptr, kLoaded},
        {"object_update_auto_key.txt", update, "Orders", "C", "OrderID 3PA, CustomerName 130"},
        {"object_update_spaced_key.txt", update, "Order Details", "C", "Order ID 3P, Other.Skipped 3"},
        {"object_update_every_column_auto.txt", update, "T", "C", "A 3PA, B 135A"},
        {"object_update_handler_only.txt", update, "Orders", "EMN", oneKey},
        {"object_update_bare.txt", update, "Orders", "N", oneKey},
        // Product names are compared exactly.
        {"object_update_access.txt", update, "Log", "C", log, "ACCESS"},
        {"object_update_msjet.txt", update, "Log", "C", log, "MS Jet"},
        {"object_update_sqlserver.txt", update, "Log", "C", log},
        {"object_update_oracle.txt", update, "Log", "C", log, "Oracle"},
        {"object_update_other.txt", update, "Log", "C", log, "PostgreSQL"},
        {"object_update_access_mixed_case.txt", update, "Log", "C", log, "Access"},
        {"object_update_sqlserver_2000.txt", update, "Log", "C", log, "Microsoft SQL Server 2000"},
        // Only a date needs the product name; an auto date key is read at its condition.
        {"object_update_missing_dbms_unneeded.txt", update, "A", "C", "Id 3P, Note 130P, Opens 134P", nullptr,
         kNoDataSource},
        {"object_update_missing_dbms_date.txt", update, "D", "C", "Id 3P, Due 133", nullptr, kNoDataSource},
        {"object_update_missing_dbms_auto_key.txt", update, "B", "C", "Stamp 7PA, Note 130", nullptr, kNoDataSource},
        {"support_eh_bare.txt", eh, "", "N", ""},  // without module headers the notes do nothing
        {"support_eh_headers.txt", eh, "", "CEMF", ""},
        {"support_eh_headers_notes.txt", eh, "", "CEMFN", ""},
        {"support_eh_loaded.txt", eh, "", "", "", sql, kLoaded},
        {"support_eh_loaded_headers.txt", eh, "", "CEMFN", "", sql, kLoaded},
        {"support_conn_dsn_exe.txt", conn, "", "CEMFN", ""},
        {"support_conn_oracle_string.txt", conn, "", "CEMF", "", "Oracle", kOleDll | kNoDataSource,
         "Provider=MSDAORA.1;Password=tiger;User ID=scott;Data Source=orcl;Persist Security Info=True"},
        {"support_conn_no_headers.txt", conn, "", "CEFN", ""},  // and so no notes
        {"support_conn_loaded.txt", conn, "", "CEFN", "", sql, kLoaded},
        // The CursorLocation lines only for exactly "Oracle" by string.
        {"support_conn_oracle_dsn.txt", conn, "", "CE", "", "Oracle"},
        {"support_conn_oracle_lower_string.txt", conn, "", "CE", "", "oracle", 0, orcl},
        {"support_conn_oracle_upper_string.txt", conn, "", "CE", "", "ORACLE", 0, orcl},
        {"support_conn_sqlserver_string.txt", conn, "", "CE", "", sql, 0, orcl},
        {"support_conn_oracle_by_string.txt", conn, "", "CE", "", "Oracle", 0, orcl},
        {"support_conn_quote_doubled.txt", conn, "", "CE", "", sql, 0, "Driver=X;Database=\"C:\\a b\\db.mdb\""},
        // A missing name cuts the class after the line that needs it; a string
        // connection never reads the data source name.
        {"support_conn_missing_dbms_dsn.txt", conn, "", "CEFN", "", nullptr},
        {"support_conn_missing_dbms_string.txt", conn, "", "CEFN", "", nullptr, 0, orcl},
        {"support_conn_missing_dsn.txt", conn, "", "CEFN", "", sql, kNoDataSource},
        {"support_conn_missing_dsn_string.txt", conn, "", "CEFN", "", sql, kNoDataSource, "Provider=SQLOLEDB.1;Data Source=db"},
    };
    std::string messages;  // those a missing product name or data source name shows
    for (const Case& k : cases) {
        SCOPED_TRACE(k.golden);
        GenFixture fx;
        setUp(fx, k);
        std::string text;
        if (k.write == eh || k.write == conn) {
            const std::string stored = k.write == eh ? kEhPath : kConnPath;
            const bool loaded = fx.settings.mbLoadedProject;
            if (!loaded) fx.fs.put(stored, "an older file that is replaced\r\n");
            GenContext c = fx.ctx();
            k.write(c, 0, k.table);
            EXPECT_NE(fx.fs.exists(stored), loaded);
            text = fx.fs.readAll(loaded ? kStage + (k.write == eh ? "/modRowwrightErrHndlr.rwg" : "/clsRwtConn.rwg") : stored);
        } else {
            text = fx.capture([&](GenContext& c, int n) { k.write(c, n, k.table); });
        }
        test::expectGolden(k.golden, text);
        for (const auto& m : fx.ui.messages)
            messages += std::string(k.golden) + ", style " + std::to_string(m.style) + ":\r\n" + m.text + "\r\n";
        EXPECT_EQ(fx.files.freeFile(), 1);
    }
    test::expectGolden("generated_text_messages.txt", messages);
}

// Each created line reads the clock afresh: a clock whose text counts its readings dates the Let and Get of both
// properties and Update one after another.
TEST(GeneratedText, EachCreatedLineReadsTheClock) {
    struct CountingClock final : Clock {
        std::string text;
        const std::string& nowText() override { return text = std::to_string(std::stoi("0" + text) + 1); }
    } clock;
    GenFixture fx;
    fx.grid = FieldGrid(rows("Orders", "OrderID 3P, Name 130"));
    const std::string text = fx.capture([&](GenContext& c, int n) {
        GenContext counted{c.settings, c.grid, c.conn, c.ui, clock, c.files};
        msGenObjectFile(counted, n, TableNames(c.grid, "Orders"), "");
    });
    std::string created;
    for (auto at = text.find("' Created "); at != std::string::npos; at = text.find("' Created ", at + 1))
        created += text.substr(at + 10, text.find(' ', at + 10) - at - 10) + " ";
    EXPECT_EQ(created, "1 2 3 4 5 ");
}

// The exposure line of the connection class: by a new project's kind, else by the existing project's type word
// ("existing" kind), compared exactly.
TEST(GeneratedText, ConnectionClassExposureLine) {
    std::string log;
    for (const auto& [kind, typeWord] :
         {std::pair{"Exe", "OleDll"}, {"OleExe", "Exe"}, {"OleDll", ""}, {"existing", "Exe"}, {"existing", "OleExe"},
          {"existing", "OleDll"}, {"existing", "Control"}, {"existing", "exe"}, {"existing", ""}}) {
        GenFixture fx;
        setUp(fx, {"", conn, "", "CEMFN", ""});
        fx.newProject(kind);
        fx.settings.mbExistingProject = std::string(kind) == "existing";
        GenContext c = fx.ctx();
        msCreateConnObjFile(c, kStage, typeWord);
        const std::string text = fx.fs.readAll(kConnPath), before = "Attribute VB_PredeclaredId = False\r\n";
        const auto at = text.find(before) + before.size();
        log += std::string(kind) + " " + typeWord + ": " + text.substr(at, text.find("\r\n", at) + 2 - at);
    }
    test::expectGolden("connection_class_exposure.txt", log);
}

// What the writers show when a file cannot be written, as a transcript: a file number nobody opened (under each
// writer's own name), a missing store folder, a full disk, no file number left. Every file is closed after, what was
// written is kept, the next run is not disturbed, and files opened by others are left alone.
TEST(GeneratedText, WriteErrorsAreShownByTheirWriter) {
    std::string log;
    const auto shown = [&](GenFixture& fx, const std::string& step) {
        log += "--- " + step + "\r\n";
        for (const std::string& m : fx.messageTexts()) log += m + "\r\n";
        fx.ui.messages.clear();
    };
#define RW_WRITER(kind, f) std::pair<Writer, std::string>{kind<f>, #f}
    for (const auto& [write, name] :
         {RW_WRITER(proc, msGenCollRefreshFilterProp), RW_WRITER(proc, msGenCollSortOrderProp),
          RW_WRITER(proc, msGenCollCountProp), RW_WRITER(proc, msGenCollItemProp), RW_WRITER(proc, msGenCollNewEnumProp),
          RW_WRITER(proc, msGenCollAddProc), RW_WRITER(proc, msGenCollRefreshProc), RW_WRITER(proc, msGenCollRemoveProc),
          RW_WRITER(file, msGenCollFile), RW_WRITER(proc, msGenObjectUpdateMethod)}) {
#undef RW_WRITER
        GenFixture fx;
        fx.grid = FieldGrid(rows("Orders", "OrderID 3"));
        GenContext c = fx.ctx();
        write(c, 99, "Orders");
        shown(fx, name + " with file number 99");
    }
    for (const bool diskFull : {false, true}) {
        GenFixture fx;
        setUp(fx, {"", conn, "", "CEMFN", ""});
        if (diskFull) fx.fs.failWrite(kConnPath, 100, kErrDiskFull), fx.fs.failWrite(kEhPath, 50, kErrDiskFull);
        else fx.settings.msStoreDir = "/out/missing";
        GenContext c = fx.ctx();
        msCreateEHFile(c, kStage);
        msCreateConnObjFile(c, kStage, "Exe");
        shown(fx, diskFull ? "the disk full after 50 and 100 bytes" : "the store folder missing");
        EXPECT_EQ(fx.files.freeFile(), 1);
        if (diskFull) {
            log += std::to_string(fx.fs.readAll(kEhPath).size()) + " bytes, " + fx.fs.readAll(kConnPath) + "\r\n";
            continue;
        }
        EXPECT_FALSE(fx.fs.exists("/out/missing"));
        fx.settings.msStoreDir = "/out";
        msCreateEHFile(c, kStage);
        msCreateConnObjFile(c, kStage, "Exe");
        EXPECT_TRUE(fx.fs.exists(kEhPath) && fx.fs.exists(kConnPath));
        shown(fx, "the store folder there again");
    }
    GenFixture fx;
    setUp(fx, {"", conn, "", "CEMFN", ""});
    GenContext c = fx.ctx();
    const int other = fx.files.openForOutput("/out/other.txt");
    msCreateEHFile(c, kStage);
    msCreateConnObjFile(c, kStage, "Exe");
    EXPECT_TRUE(fx.files.isOpen(other));
    EXPECT_EQ(fx.files.freeFile(), other + 1);
    // The last number is still free for an operation; after it, none is.
    for (int k = other + 1; k < 511; ++k) fx.files.openForOutput("/out/f" + std::to_string(k));
    msCreateEHFile(c, kStage);
    shown(fx, "one file number left");
    fx.files.openForOutput("/out/last");
    msCreateEHFile(c, kStage);
    shown(fx, "no file number left");
    test::expectGolden("generated_text_write_errors.txt", log);
}

}  // namespace
}  // namespace rw
