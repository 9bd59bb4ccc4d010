#include "model/name_warnings.h"
#include "model/namer.h"

#include <algorithm>
#include <span>

#include "model/names.h"
#include "platform/cp1252.h"

namespace rw {
namespace {

constexpr const char* kWillNotCompile = " (the class will not compile)";
constexpr const char* kCallsProperty = " (calls the property instead of the function)";

// Words the language reserves: a property of that name is a syntax error.
const std::unordered_set<std::string>& reservedWords() {
    static const std::unordered_set<std::string> words = [] {
        std::unordered_set<std::string> keys;
        for (const char* w :
             {"Abs", "AddressOf", "And", "Any", "Array", "As", "Attribute", "Boolean", "ByRef", "Byte", "ByVal",
              "Call", "Case", "CBool", "CByte", "CCur", "CDate", "CDbl", "CDec", "CInt", "Circle", "CLng", "Close",
              "Const", "CSng", "CStr", "Currency", "CVar", "CVErr", "Date", "Debug", "Decimal", "Declare", "DefBool",
              "DefByte", "DefCur", "DefDate", "DefDbl", "DefDec", "DefInt", "DefLng", "DefObj", "DefSng", "DefStr",
              "DefVar", "Dim", "Do", "DoEvents", "Double", "Each", "Else", "ElseIf", "Empty", "End", "EndIf", "Enum",
              "Eqv", "Erase", "Event", "Exit", "False", "Fix", "For", "Friend", "Function", "Get", "Global", "GoSub",
              "GoTo", "If", "Imp", "Implements", "In", "Input", "InputB", "Int", "Integer", "Is", "LBound", "Len",
              "LenB", "Let", "Like", "Lock", "Long", "Loop", "LSet", "Me", "Mod", "New", "Next", "Not", "Nothing",
              "Null", "Object", "On", "Open", "Option", "Optional", "Or", "ParamArray", "Preserve", "Print",
              "Private", "PSet", "Public", "Put", "RaiseEvent", "ReDim", "Rem", "Resume", "Return", "RSet", "Scale",
              "Seek", "Select", "Set", "Sgn", "Single", "Spc", "Static", "Stop", "String", "Sub", "Tab", "Then",
              "To", "True", "Type", "TypeOf", "UBound", "Unlock", "Until", "Variant", "Wend", "While", "With",
              "WithEvents", "Write", "Xor"})
            keys.insert(nameKey(w));
        return keys;
    }();
    return words;
}

// Functions the object class calls by their bare name. Inside the class a
// property of that name is found first: one called with arguments does not
// compile (a property without parameters takes none); Err, used without
// arguments, silently gives the property's value.
struct CalledFunction {
    const char* name;
    const char* consequence;
};
constexpr CalledFunction kCalledFunctions[] = {
    {"IsNull", kWillNotCompile}, {"IsNumeric", kWillNotCompile}, {"IsDate", kWillNotCompile},
    {"Replace", kWillNotCompile}, {"Format", kWillNotCompile},   {"Left", kWillNotCompile},
    {"RaiseError", kWillNotCompile}, {"Err", kCallsProperty},
};

// Members of every object class besides the column properties and their
// variables.
constexpr const char* kClassMembers[] = {"mbLoading", "Update"};

bool isLetter(unsigned char b) {
    if ((b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z')) return true;
    switch (b) {
        case 0x83: case 0x8A: case 0x8C: case 0x8E: case 0x9A: case 0x9C: case 0x9E: case 0x9F:
        case 0xAA: case 0xB5: case 0xBA: return true;
        default: return b >= 0xC0 && b != 0xD7 && b != 0xF7;
    }
}

// Letters, digits and "_", starting with a letter unless `anyStart`.
bool isIdentifier(std::string_view cp1252Text, bool anyStart) {
    if (cp1252Text.empty()) return false;
    for (std::size_t i = 0; i < cp1252Text.size(); ++i) {
        const auto b = static_cast<unsigned char>(cp1252Text[i]);
        const bool ok = isLetter(b) || (i > 0 || anyStart ? (b >= '0' && b <= '9') || b == '_' : false);
        if (!ok) return false;
    }
    return true;
}

// The comparison keys of names, in their order.
template <class Names, class NameOf>
std::vector<std::string> keysOf(const Names& names, NameOf nameOf) {
    std::vector<std::string> keys;
    for (const auto& n : names) keys.push_back(nameKey(nameOf(n)));
    return keys;
}

const std::vector<std::string>& calledFunctionKeys() {
    static const std::vector<std::string> keys =
        keysOf(kCalledFunctions, [](const CalledFunction& f) { return f.name; });
    return keys;
}

// The properties of one table's columns and their comparison keys, and the
// first column of each key. The class members named after the properties
// ("mvar" + property, and that + "_ReadBuf") are found through the keys
// rather than kept: their keys are "MVAR" + the property's key (+ "_READBUF").
// One record serves table after table, keeping its strings.
struct TableProperties {
    // The table's columns come first; strings of a larger table before may follow.
    std::vector<std::string> names;
    std::vector<std::string> keys;
    std::vector<std::size_t> byKey;    // the columns in the order of their keys, then of their places
    std::vector<std::size_t> firstOf;  // for each column, the first column with its key

    void fill(const FieldGrid& grid, std::span<const std::size_t> rows) {
        const std::size_t count = rows.size();
        if (names.size() < count) {
            names.resize(count);
            keys.resize(count);
        }
        byKey.resize(count);
        firstOf.resize(count);
        for (std::size_t r = 0; r < count; ++r) {
            names[r].clear();
            appendPropertyName(names[r], grid.row(rows[r]).field);
            assignNameKey(keys[r], names[r]);
            byKey[r] = r;
        }
        std::sort(byKey.begin(), byKey.end(), [&](std::size_t a, std::size_t b) {
            const int order = keys[a].compare(keys[b]);
            return order != 0 ? order < 0 : a < b;
        });
        for (std::size_t i = 0; i < count; ++i) {
            const bool again = i > 0 && keys[byKey[i]] == keys[byKey[i - 1]];
            firstOf[byKey[i]] = again ? firstOf[byKey[i - 1]] : byKey[i];
        }
    }
    const std::size_t* firstWithKey(std::string_view key) const {
        const auto found = std::lower_bound(byKey.begin(), byKey.end(), key,
                                            [&](std::size_t column, std::string_view k) { return keys[column] < k; });
        return found != byKey.end() && keys[*found] == key ? &*found : nullptr;
    }
    // The class member whose key is `key`, as the class declares it; empty
    // when there is none. The fixed members come first, then the variables
    // in column order, each column's variable before its read buffer.
    std::string member(std::string_view key) const {
        static const std::vector<std::string> memberKeys =
            keysOf(kClassMembers, [](const char* m) { return m; });
        for (std::size_t k = 0; k < memberKeys.size(); ++k) {
            if (key == memberKeys[k]) return kClassMembers[k];
        }
        constexpr std::string_view kPrefix = "MVAR", kSuffix = "_READBUF";
        if (key.substr(0, kPrefix.size()) != kPrefix) return {};
        key.remove_prefix(kPrefix.size());
        const std::size_t* variable = firstWithKey(key);
        const std::size_t* buffer = nullptr;
        if (key.size() >= kSuffix.size() && key.substr(key.size() - kSuffix.size()) == kSuffix)
            buffer = firstWithKey(key.substr(0, key.size() - kSuffix.size()));
        if (variable && (!buffer || *variable <= *buffer)) return memberVariable(names[*variable]);
        if (buffer) return readBufferVariable(names[*buffer]);
        return {};
    }
};

// Why column `r`'s property is a problem, with its consequence; empty when it is not.
std::string columnProblem(const TableProperties& table, std::size_t r, const FieldGrid& grid,
                          std::span<const std::size_t> rows) {
    const std::string& property = table.names[r];
    const std::string& key = table.keys[r];
    const bool ascii = cp1252::asciiPrefix(property) == property.size();
    const std::string bytes = ascii ? std::string() : cp1252::fromUtf8(property);
    if (!ascii && cp1252::toUtf8(bytes) != property)
        return std::string("its characters outside Windows-1252 become \"?\" in the property name") + kWillNotCompile;
    const auto named = [&] { return "the property name " + property; };
    if (!isIdentifier(ascii ? property : bytes, false)) return named() + " is not a valid identifier" + kWillNotCompile;
    if (reservedWords().count(key)) return named() + " is a reserved word" + kWillNotCompile;
    if (const std::string member = table.member(key); !member.empty())
        return named() + " is also the class member " + member + kWillNotCompile;
    if (const std::size_t earlier = table.firstOf[r]; earlier < r)
        return named() + " is also that of column \"" + grid.row(rows[earlier]).field + "\"" + kWillNotCompile;
    const std::vector<std::string>& called = calledFunctionKeys();
    for (std::size_t k = 0; k < called.size(); ++k) {
        if (key == called[k])
            return named() + " hides the function " + kCalledFunctions[k].name + " that the class calls" +
                   kCalledFunctions[k].consequence;
    }
    return {};
}

}  // namespace

std::vector<std::string> nameWarnings(const FieldGrid& grid, const std::unordered_set<std::string>& refused) {
    std::vector<std::string> warnings;
    // Reused from table to table: a large schema has thousands.
    TableProperties properties;
    ClassNames names;
    for (std::size_t at = 0; at < grid.rowCount(); ++at) {
        const std::string& table = grid.row(at).table;
        // A table is taken at its first row.
        if (!grid.startsTable(at) || refused.count(table)) continue;
        const std::span<const std::size_t> rows = grid.tableRowIndices(table);
        names.assign(classBaseName(table));
        const std::string& cls = names.objectClass();
        const bool ascii = cp1252::asciiPrefix(cls) == cls.size();
        if (!isIdentifier(ascii ? std::string_view(cls) : std::string_view(cp1252::fromUtf8(cls)), false))
            warnings.push_back("warning: " + table + ": the class name " + cls + " is not a valid identifier" +
                               kWillNotCompile);

        properties.fill(grid, rows);
        for (std::size_t r = 0; r < rows.size(); ++r) {
            const std::string problem = columnProblem(properties, r, grid, rows);
            if (!problem.empty())
                warnings.push_back("warning: " + table + "." + grid.row(rows[r]).field + ": " + problem);
        }
    }
    return warnings;
}

}  // namespace rw
