#pragma once
// The procedure writers of the collection class. Each writes complete lines
// to the file it is given and runs under its own error handler, so a
// failure ends only that procedure and the class goes on with the next.
#include "model/gen_context.h"
#include "model/table_names.h"

namespace rw {

// The RefreshFilter and SortOrder Get/Let pairs, Count, Item and NewEnum.
void msGenCollRefreshFilterProp(GenContext& ctx, int fileNumber, const TableNames& table);
void msGenCollSortOrderProp(GenContext& ctx, int fileNumber, const TableNames& table);
void msGenCollCountProp(GenContext& ctx, int fileNumber, const TableNames& table);
void msGenCollItemProp(GenContext& ctx, int fileNumber, const TableNames& table);
void msGenCollNewEnumProp(GenContext& ctx, int fileNumber, const TableNames& table);

// The Add function: an INSERT of the object's non-empty properties, then the
// Auto fields read back.
void msGenCollAddProc(GenContext& ctx, int fileNumber, const TableNames& table);
// The Refresh sub: reloads the collection from the table.
void msGenCollRefreshProc(GenContext& ctx, int fileNumber, const TableNames& table);
// The Remove function: deletes the rows matching a filter, then refreshes.
void msGenCollRemoveProc(GenContext& ctx, int fileNumber, const TableNames& table);

}  // namespace rw
