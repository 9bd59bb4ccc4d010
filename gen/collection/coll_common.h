#pragma once
// Pieces shared by the collection class writers: the sample filter
// condition of the developer notes, the closing lines of a generated
// procedure and the lines of the usage samples.
#include <optional>
#include <string>
#include <string_view>

#include "model/gen_context.h"
#include "gen/sql_values.h"

namespace rw::coll {

// The groups of the sample filters and of Refresh's loading.
inline bool isTextType(int dataType) { return valueGroupOf(dataType) == ValueGroup::Text; }
inline bool isDateType(int dataType) { return valueGroupOf(dataType) == ValueGroup::Date; }

// The tail of one condition in a sample filter (" = '<value>' " for text,
// a product-specific form for dates, " = <value> " otherwise), or nothing
// for a date column under a product whose date syntax is not known. The
// DBMS name is read only for a date column, so a provider without it stops
// the caller there.
std::optional<std::string> sampleConditionTail(const GenContext& ctx, int dataType);

// The error tail of a generated procedure: an empty line, the Exit line, an
// empty line, the label and the RaiseError call naming
// "cls" + classBase + "Coll." + member.
void writeRaiseErrorTail(TextFile& f, std::string_view exitWord, std::string_view label,
                         const std::string& classBase, std::string_view member);

// The two lines of an ASP sample that create the object and its collection.
std::string aspObjectLine(const std::string& classBase);
std::string aspCollectionLine(const std::string& classBase);
// The two lines of a VB sample that declare the object and its collection.
std::string vbObjectLine(const std::string& classBase);
std::string vbCollectionLine(const std::string& classBase);

}  // namespace rw::coll
