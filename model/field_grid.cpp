#include "model/field_grid.h"

namespace rw {

FieldGrid::FieldGrid(std::vector<FieldRow> rows) : rows_(std::move(rows)) {
    for (std::size_t i = 0; i < rows_.size(); ++i) byTable_[rows_[i].table].push_back(i);
}

void FieldGrid::append(FieldRow row) {
    byTable_[row.table].push_back(rows_.size());
    rows_.push_back(std::move(row));
}

bool FieldGrid::startsTable(std::size_t index) const {
    const std::string& table = rows_[index].table;
    // Most rows follow a row of their own table: no look-up for those.
    if (index > 0 && rows_[index - 1].table == table) return false;
    return tableRowIndices(table).front() == index;
}

std::span<const std::size_t> FieldGrid::tableRowIndices(const std::string& table) const {
    const auto found = byTable_.find(table);
    if (found == byTable_.end()) return {};
    return found->second;
}

}  // namespace rw
