#pragma once
// Comment blocks of generated files: the creator lines and the module
// headers of the two table classes.
#include "gen/procedure.h"
#include "model/namer.h"

namespace rw {

// The three creator lines shared by every generated module header.
void writeCreatorLines(Printer& p);

void msGenObjectModHeader(GenContext& ctx, const ClassNames& names, int fileNumber);
void msGenCollModHeader(GenContext& ctx, const ClassNames& names, int fileNumber);

}  // namespace rw
