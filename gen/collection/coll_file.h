#pragma once
#include <string>

#include "model/gen_context.h"

namespace rw {

// Writes the whole collection class of one table.
void msGenCollFile(GenContext& ctx, int fileNumber, const std::string& tableName, const std::string& classBase,
                   const std::string& projectTypeWord);

}  // namespace rw
