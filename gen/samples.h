#pragma once
// Lines of the developer notes' usage samples that several procedures
// share: creating or declaring the object and its collection.
#include "gen/printer.h"
#include "model/namer.h"

namespace rw {

// The ASP sample's lines that create the object (when `withObject`) and its
// collection.
void writeAspCreation(Printer& p, const ClassNames& names, bool withObject = true);
// "'      To call this method from VB:", a note line, and the VB sample's
// lines that declare the object (when `withObject`) and its collection.
void writeVbSampleHead(Printer& p, const ClassNames& names, bool withObject = true);

}  // namespace rw
