#pragma once
#include <string>

#include "model/gen_context.h"
#include "model/table_names.h"

namespace rw {

// Writes the whole object class of one table: frame, declarations, one
// Property Let and Get per column, and the Update function.
void msGenObjectFile(GenContext& ctx, int fileNumber, const TableNames& table, const std::string& projectTypeWord);

// Writes the Update function of the object class.
void msGenObjectUpdateMethod(GenContext& ctx, int fileNumber, const TableNames& table);

}  // namespace rw
