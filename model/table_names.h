#pragma once
// The names one table's generators write, made once for the table and
// handed to every generator of it: the class names and, for each column,
// its property and the names made from the property. One record serves
// table after table in a run, keeping its storage, so making the names of
// the next table allocates nothing new once the record has grown.
#include <string>
#include <string_view>
#include <vector>

#include "model/field_grid.h"
#include "model/namer.h"

namespace rw {

// One column of the table and its names ("Order Date" of "Orders" shown).
struct ColumnNames {
    const FieldRow* row = nullptr;
    std::string_view property;   // Order_Date
    std::string_view member;     // mvarOrder_Date
    std::string_view buffer;     // mvarOrder_Date_ReadBuf
    std::string_view argument;   // roOrders.Order_Date: the column through Add's parameter
    std::string_view letHeader;  // Property Let Order_Date ()
    std::string_view getHeader;  // Property Get Order_Date ()
    std::string_view sqlName;    // [Order Date]: the field as SQL names it
};

class TableNames {
public:
    TableNames() = default;
    TableNames(const FieldGrid& grid, const std::string& table) { assign(grid, table); }
    // The views point into this record's own text.
    TableNames(const TableNames&) = delete;
    TableNames& operator=(const TableNames&) = delete;

    // The names of `table`'s rows in `grid` (which must outlive their use).
    void assign(const FieldGrid& grid, const std::string& table);

    const std::string& table() const { return table_; }
    // The table as SQL names it: "[Order Details]".
    const std::string& sqlTable() const { return sqlTable_; }
    const ClassNames& classes() const { return classes_; }
    // The table's rows in grid order, each with its names.
    const std::vector<ColumnNames>& columns() const { return columns_; }

private:
    // Where one column's names lie in the text, kept while the text grows.
    struct Offsets {
        std::size_t member, argument, let, get, sql, end;
    };

    std::string table_;
    std::string sqlTable_;
    ClassNames classes_;
    std::string text_;  // every column's names, end to end
    std::vector<ColumnNames> columns_;
    std::string property_;
    std::vector<Offsets> offsets_;
};

}  // namespace rw
