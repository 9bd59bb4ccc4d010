#pragma once
// Comment blocks of generated files: the creator lines, the module headers
// of the two table classes, and the pieces of a procedure header block.
#include <string>
#include <string_view>

#include "model/gen_context.h"

namespace rw {

// An apostrophe and 73 equals signs.
inline constexpr std::string_view kRuleLine =
    "'=========================================================================";
// An apostrophe and six spaces: the start of every developer-notes line.
inline constexpr std::string_view kNoteIndent = "'      ";

// The three creator lines shared by every generated module header.
void writeCreatorLines(TextFile& f);

// "' [Developer Notes from 'Rowwright']"
void writeDevNotesOpening(TextFile& f);

// The first two lines of a procedure header block: the rule line and
// "' Procedure Name: " + name.
void writeProcedureHeaderTop(TextFile& f, std::string_view procedureName);

// The created line, "' Revision History:" and "'" (the current time is
// taken afresh for the created line).
void writeProcedureHeaderCreated(GenContext& ctx, TextFile& f);

void msGenObjectModHeader(GenContext& ctx, const std::string& classBase, int fileNumber);
void msGenCollModHeader(GenContext& ctx, const std::string& classBase, int fileNumber);

}  // namespace rw
