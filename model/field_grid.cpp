#include "model/field_grid.h"

namespace rw {

FieldGrid::FieldGrid(std::vector<FieldRow> rows) : rows_(std::move(rows)) {
    for (std::size_t i = 0; i < rows_.size(); ++i) byTable_[rows_[i].table].push_back(i);
}

void FieldGrid::append(FieldRow row) {
    byTable_[row.table].push_back(rows_.size());
    rows_.push_back(std::move(row));
}

std::vector<const FieldRow*> FieldGrid::tableRows(const std::string& table) const {
    std::vector<const FieldRow*> result;
    const auto found = byTable_.find(table);
    if (found == byTable_.end()) return result;
    result.reserve(found->second.size());
    for (const std::size_t index : found->second) result.push_back(&rows_[index]);
    return result;
}

}  // namespace rw
