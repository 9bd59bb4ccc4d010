#pragma once
// Comment blocks of generated files: the creator lines and the module
// headers of the two table classes.
#include <string>

#include "gen/procedure.h"

namespace rw {

// The three creator lines shared by every generated module header.
void writeCreatorLines(Printer& p);

void msGenObjectModHeader(GenContext& ctx, const std::string& classBase, int fileNumber);
void msGenCollModHeader(GenContext& ctx, const std::string& classBase, int fileNumber);

}  // namespace rw
