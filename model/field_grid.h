#pragma once
// The field rows: one per column of every chosen table, in grid order.
#include <cstdint>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

namespace rw {

struct FieldRow {
    std::string table;     // "Table"
    std::string field;     // "Field"
    bool primary = false;  // "Primary"
    bool autoNumber = false;  // "Auto"
    std::int16_t dataType = 0;  // "DataType", an ADO DataTypeEnum code
    bool nullable = false;  // "Nullable"
};

// The grid's rows with an index by table name, built once, so that a
// generator finds its table's rows without scanning the whole grid.
class FieldGrid {
public:
    FieldGrid() = default;
    explicit FieldGrid(std::vector<FieldRow> rows);

    const std::vector<FieldRow>& rows() const { return rows_; }
    std::size_t rowCount() const { return rows_.size(); }
    const FieldRow& row(std::size_t index) const { return rows_[index]; }
    // Only "Primary" and "Auto" can change once the rows are loaded.
    void setPrimary(std::size_t index, bool value) { rows_[index].primary = value; }
    void setAuto(std::size_t index, bool value) { rows_[index].autoNumber = value; }
    void append(FieldRow row);

    // The indices of the rows whose "Table" equals `table` exactly, in grid order.
    std::span<const std::size_t> tableRowIndices(const std::string& table) const;
    // True when row `index` is the first of its table in grid order.
    bool startsTable(std::size_t index) const;

private:
    std::vector<FieldRow> rows_;
    std::unordered_map<std::string, std::vector<std::size_t>> byTable_;
};

}  // namespace rw
