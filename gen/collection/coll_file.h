#pragma once
#include <string>

#include "model/gen_context.h"
#include "model/table_names.h"

namespace rw {

// Writes the whole collection class of one table.
void msGenCollFile(GenContext& ctx, int fileNumber, const TableNames& table, const std::string& projectTypeWord);

}  // namespace rw
