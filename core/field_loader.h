#pragma once
// The fields page's logic: loading the field rows of the chosen tables from
// the schema, with keys and identity columns pre-marked where the database
// product allows it, and the grid's click rule.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "model/field_grid.h"
#include "model/settings.h"
#include "platform/data_access.h"
#include "platform/ui.h"

namespace rw {

// The grid's columns, by index.
enum FieldGridColumn : int {
    kColumnTable = 0,
    kColumnField = 1,
    kColumnPrimary = 2,
    kColumnAuto = 3,
    kColumnDataType = 4,
    kColumnNullable = 5,
};

struct FieldLoadOptions {
    // Pre-mark for every product: keys and Auto from one pass over the
    // catalogue where the connection can (DataConnection::readKeys), else
    // keys from each table's primary-key schema and Auto from the columns a
    // query on it reports as filled by the database. Off in the wizard's
    // loading, which pre-marks only what its pages always did.
    bool detectKeys = false;
    // Called once after each table's rows are loaded, with the tables done
    // and the total; false stops the loading. Empty: the loading runs to
    // the end.
    std::function<bool(std::size_t done, std::size_t total)> progress = nullptr;
};

// The data type a column row of the columns schema gives: DATA_TYPE, with
// 16 and 131 narrowed by NUMERIC_SCALE and NUMERIC_PRECISION to 5, 3 or 2.
// A scale or precision that cannot be read gives 5.
std::int16_t fieldDataType(const Recordset& columns);

// Appends to `grid` one row per column of every table in `tables`, in
// order. Throws RuntimeError when a schema query or property read fails;
// rows appended before the failure stay. False when the progress hook
// stopped the loading: the grid is then as it was before the call.
bool loadFieldRows(DataConnection& conn, const std::vector<std::string>& tables, FieldGrid& grid,
                   const FieldLoadOptions& options = {});

// Ticks Primary and Auto on the rows of `grid` that detection marks (as
// loading with `detectKeys` does), for every table the grid holds. Marks
// already ticked stay ticked: detection only adds. Throws RuntimeError when
// the "DBMS Name" property or a key schema cannot be read.
void detectKeys(DataConnection& conn, FieldGrid& grid);

// A grid row as the grid holds its text: the six cells separated by tabs,
// Booleans as True and False.
std::string fieldRowText(const FieldRow& row);

// The fields page without its controls.
class FieldsPage {
public:
    // Fills the settings from the earlier pages, sets the caption and the
    // instructions and loads the field rows. False when an error was shown
    // or the progress hook stopped the loading (the table page then stays);
    // `cancelled` tells the two apart.
    bool display(Ui& ui, GenerationSettings& settings, const WelcomeOptions& options,
                 const ProjectPageValues& project, const ConnectionPageValues& connection, DataConnection& conn,
                 const std::vector<std::string>& lstYes, const FieldLoadOptions& loadOptions = {});

    // A click on a check-box cell: the click rule, then the clicked box
    // changes. Errors are shown with " (frmFields.grdFields_ClickErr)".
    void click(Ui& ui, std::size_t row, int column);
    // "Detect Keys": detectKeys on the loaded rows; errors are shown with
    // " (frmFields.cmdDetectKeys_Click)".
    void detectKeys(Ui& ui, DataConnection& conn);
    // Each of `rows` clicked in `column`: toggled, or, for mark(), clicked
    // only where the box is not already `on`.
    void toggle(Ui& ui, const std::vector<std::size_t>& rows, int column);
    void mark(Ui& ui, const std::vector<std::size_t>& rows, int column, bool on);

    std::string caption;
    std::string txtInstructions;
    bool cancelled = false;
    FieldGrid grdFields;
};

// The click rule, with the cell values as they are before the click changes
// the clicked box: ticking Auto ticks Primary; clearing Primary clears Auto.
void applyClickRule(FieldGrid& grid, std::size_t row, int column);

// The instruction text of the fields page.
std::string fieldsPageInstructions();

}  // namespace rw
