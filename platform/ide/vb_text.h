#pragma once
// Reading the text of VB6 project and source files: lines with their ends,
// the header of a source file, attribute lines and procedure lines.
#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime_error.h"

namespace rw::ide {

struct RawLine {
    std::string bytes;   // the line without its end
    std::string ending;  // "\r\n", "\n", "\r", or "" for a last line without one
};

// Splits text at CR LF, CR or LF, keeping each line's end.
std::vector<RawLine> splitRawLines(std::string_view text);

// Splits text at CR LF, CR or LF; a final line end gives no empty line.
std::vector<std::string> splitTextLines(std::string_view text);

bool startsWithNoCase(std::string_view text, std::string_view prefix);
bool equalsNoCase(std::string_view a, std::string_view b);
std::string_view trimmed(std::string_view text);

// "Attribute <key> = <value>" at the start of a line.
bool isAttributeLine(std::string_view line);
// The key of an attribute line ("VB_Name", "Item.VB_UserMemId").
std::string attributeKey(std::string_view line);
// A module attribute names no member: its key holds no ".".
inline bool isModuleAttribute(std::string_view line) { return attributeKey(line).find('.') == std::string::npos; }
// The value of an attribute line without surrounding double quotes.
std::string attributeValue(std::string_view line);

// A line that opens a Sub, Function or Property.
bool isProcedureLine(std::string_view line);

// A blank line, or one holding only a comment.
bool isBlankOrComment(std::string_view line);

// A component name the environment accepts: a letter, then letters, digits
// and "_" (characters beyond ASCII count as letters).
bool isValidName(std::string_view name);

// A run-time error of the environment.
RuntimeError ideError(long number, const std::string& description);
// A file error of the environment, naming the file.
RuntimeError ideFileError(const RuntimeError& cause, const std::string& path);

}  // namespace rw::ide
