#pragma once
// The table page's logic: the user tables of the catalogue, the Include and
// Exclude lists and the moves between them, and the check of Next.
#include <functional>
#include <string>
#include <vector>

#include "platform/data_access.h"
#include "platform/ui.h"

namespace rw {

// Whether a catalogue row is a user table: its type is exactly "TABLE",
// its name is not "dtproperties" and does not begin with "MSys" (case
// included).
bool isUserTable(const std::string& name, const std::string& type);

// The user tables of the catalogue, in its order. Throws RuntimeError.
std::vector<std::string> userTables(DataConnection& conn);

struct ListEntry {
    std::string text;
    bool selected = false;
};

class TablePage {
public:
    enum class Shown { Yes, Cancelled, Failed };

    // Fills the Include list from the catalogue. A catalogue read cancelled
    // by the provider ("Operation Canceled") closes the page silently; any
    // other error is shown with " (frmChooseTables.Display)".
    Shown display(Ui& ui, DataConnection& conn);

    // The four moves: selected or all entries, walked from the last to the
    // first, appended to the other list and removed from their own.
    void include(Ui& ui);         // ">":  selected Exclude entries to Include
    void dontInclude(Ui& ui);     // "<":  selected Include entries to Exclude
    void includeAll(Ui& ui);      // ">>": every Exclude entry to Include
    void dontIncludeAll(Ui& ui);  // "<<": every Include entry to Exclude

    // Next: with no table included, beeps and shows the notice and returns
    // false; otherwise returns what `showFields` (the fields page's Display)
    // returns. Errors are shown with " (frmChooseTables.cmdNext_Click)".
    bool next(Ui& ui, const std::function<bool()>& showFields);

    // The page's caption and instruction label, set on activation.
    static std::string caption();
    static std::string instructions();
    static const char* const kNoTablesMessage;

    // The texts of the Include list, in order.
    std::vector<std::string> chosenTables() const;

    std::vector<ListEntry> lstYes;
    std::vector<ListEntry> lstNo;
};

}  // namespace rw
