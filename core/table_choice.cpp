#include "core/table_choice.h"

#include <memory>

#include "model/gen_context.h"
#include "model/product.h"
#include "platform/runtime_error.h"

namespace rw {

namespace {

// Moves entries from `from` to `to`, walking backwards so that removing an
// entry leaves the indexes still to be visited valid.
void move(std::vector<ListEntry>& from, std::vector<ListEntry>& to, bool selectedOnly) {
    for (std::size_t i = from.size(); i-- > 0;) {
        if (selectedOnly && !from[i].selected) continue;
        to.push_back({from[i].text, false});
        from.erase(from.begin() + static_cast<std::ptrdiff_t>(i));
    }
}

}  // namespace

const char* const TablePage::kNoTablesMessage = "You have not chosen any tables from which to generate objects.";

bool isUserTable(const std::string& name, const std::string& type) {
    return type == "TABLE" && name != "dtproperties" && name.compare(0, 4, "MSys") != 0;
}

std::vector<std::string> userTables(DataConnection& conn) {
    std::vector<std::string> names;
    std::unique_ptr<Recordset> rs = conn.openSchema(kSchemaTables, {});
    while (!rs->eof()) {
        std::string name = rs->value("TABLE_NAME").toText();
        if (isUserTable(name, rs->value("TABLE_TYPE").toText())) names.push_back(std::move(name));
        rs->moveNext();
    }
    rs->close();
    return names;
}

TablePage::Shown TablePage::display(Ui& ui, DataConnection& conn) {
    try {
        for (std::string& name : userTables(conn)) lstYes.push_back({std::move(name), false});
        return Shown::Yes;
    } catch (const RuntimeError& e) {
        if (e.description == "Operation Canceled") return Shown::Cancelled;
        ShowError(ui, e.number, e.source + " (frmChooseTables.Display)", e.description);
        return Shown::Failed;
    }
}

void TablePage::include(Ui& ui) {
    guarded(ui, "frmChooseTables.cmdInclude_Click", [&] { move(lstNo, lstYes, true); });
}

void TablePage::dontInclude(Ui& ui) {
    guarded(ui, "frmChooseTables.cmdDontInclude_Click", [&] { move(lstYes, lstNo, true); });
}

void TablePage::includeAll(Ui& ui) {
    guarded(ui, "frmChooseTables.cmdIncludeAll_Click", [&] { move(lstNo, lstYes, false); });
}

void TablePage::dontIncludeAll(Ui& ui) {
    guarded(ui, "frmChooseTables.cmdDontIncludeAll_Click", [&] { move(lstYes, lstNo, false); });
}

bool TablePage::next(Ui& ui, const std::function<bool()>& showFields) {
    bool shown = false;
    guarded(ui, "frmChooseTables.cmdNext_Click", [&] {
        if (lstYes.empty()) {
            ui.beep();
            ui.msgBox(kNoTablesMessage, kStyleExclamation, product::kDisplayName);
            return;
        }
        shown = showFields();
    });
    return shown;
}

std::string TablePage::caption() { return std::string(product::kDisplayName) + " - Choose Tables"; }

std::string TablePage::instructions() {
    return std::string(product::kDisplayName) + " will create your data objects based on " +
           "the tables you choose in the Include listbox to the " + "right.  All tables are chosen by default.";
}

std::vector<std::string> TablePage::chosenTables() const {
    std::vector<std::string> names;
    names.reserve(lstYes.size());
    for (const ListEntry& e : lstYes) names.push_back(e.text);
    return names;
}

}  // namespace rw
