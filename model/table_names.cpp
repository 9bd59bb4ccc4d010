#include "model/table_names.h"

#include <initializer_list>

#include "model/names.h"

namespace rw {

void TableNames::assign(const FieldGrid& grid, const std::string& table) {
    table_.assign(table);
    sqlTable_ = bracketedTableName(table);
    classes_.assign(classBaseName(table));
    const std::string& param = classes_.objectParameter();
    const std::span<const std::size_t> indices = grid.tableRowIndices(table);

    // The text is laid out first and viewed after, as it may move while it
    // grows. "mvarOrder_Date_ReadBuf" holds the member, the buffer and the
    // property.
    text_.clear();
    offsets_.clear();
    const auto put = [&](std::initializer_list<std::string_view> pieces) {
        const std::size_t at = text_.size();
        for (const std::string_view piece : pieces) text_ += piece;
        return at;
    };
    for (const std::size_t index : indices) {
        const std::string& field = grid.row(index).field;
        property_.clear();
        appendPropertyName(property_, field);
        Offsets at{};
        at.member = put({kMemberPrefix, property_, kReadBufferSuffix});
        at.argument = put({param, ".", property_});
        at.let = put({"Property Let ", property_, " ()"});
        at.get = put({"Property Get ", property_, " ()"});
        at.sql = containsSpace(field) ? put({"[", field, "]"}) : text_.size();
        at.end = text_.size();
        offsets_.push_back(at);
    }

    columns_.clear();
    const std::string_view text = text_;
    for (std::size_t k = 0; k < indices.size(); ++k) {
        const Offsets& at = offsets_[k];
        ColumnNames c;
        c.row = &grid.row(indices[k]);
        c.buffer = text.substr(at.member, at.argument - at.member);
        c.member = c.buffer.substr(0, c.buffer.size() - kReadBufferSuffix.size());
        c.property = c.member.substr(kMemberPrefix.size());
        c.argument = text.substr(at.argument, at.let - at.argument);
        c.letHeader = text.substr(at.let, at.get - at.let);
        c.getHeader = text.substr(at.get, at.sql - at.get);
        c.sqlName = at.end > at.sql ? text.substr(at.sql, at.end - at.sql) : std::string_view(c.row->field);
        columns_.push_back(c);
    }
}

}  // namespace rw
