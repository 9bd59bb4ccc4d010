#include "answers/answers.h"

#include <cstdint>
#include <initializer_list>
#include <limits>
#include <nlohmann/json.hpp>
#include <string_view>
#include <unordered_map>

#include "run/name_checks.h"
#include "model/product.h"

namespace rw {

namespace {

using Json = nlohmann::ordered_json;

// A JSON path as the error messages show it: $.target.kind, $.rows[3].field,
// $.marks["Order Details.ID"].primary.
std::string memberPath(const std::string& parent, const std::string& key) {
    bool plain = !key.empty() && !(key[0] >= '0' && key[0] <= '9');
    for (const char c : key) {
        const bool word = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
        if (!word) plain = false;
    }
    if (plain) return parent + "." + key;
    return parent + "[" + Json(key).dump(-1, ' ', false, Json::error_handler_t::replace) + "]";
}

std::string indexPath(const std::string& parent, std::size_t index) {
    return parent + "[" + std::to_string(index) + "]";
}

std::string quotedList(std::initializer_list<const char*> words) {
    std::string text;
    for (const char* w : words) {
        if (!text.empty()) text += ", ";
        text += '"';
        text += w;
        text += '"';
    }
    return text;
}

std::string pageMessage(const std::string& start) {
    return start + "  " + product::kDisplayName + " can not proceed until you do.";
}

// Reads values out of the parsed document; every fault names the file and
// the JSON path and throws AnswersError.
class Reader {
public:
    explicit Reader(std::string fileName) : file_(std::move(fileName)) {}

    [[noreturn]] void fail(const std::string& path, const std::string& what) const {
        throw AnswersError(file_ + ": " + path + ": " + what);
    }

    void expectObject(const Json& v, const std::string& path) const {
        if (!v.is_object()) fail(path, "expected an object");
    }

    // Every member must be one of `allowed`; a misspelt option would
    // otherwise silently keep its default.
    void onlyMembers(const Json& object, const std::string& path, std::initializer_list<const char*> allowed) const {
        for (auto it = object.begin(); it != object.end(); ++it) {
            bool known = false;
            for (const char* a : allowed) known = known || it.key() == a;
            if (!known) fail(memberPath(path, it.key()), "unknown member; expected one of " + quotedList(allowed));
        }
    }

    const Json* find(const Json& object, const char* key) const {
        const auto it = object.find(key);
        return it == object.end() ? nullptr : &*it;
    }

    const Json& require(const Json& object, const std::string& path, const char* key) const {
        const Json* v = find(object, key);
        if (v == nullptr) fail(memberPath(path, key), "required member is missing");
        return *v;
    }

    std::string string(const Json& v, const std::string& path) const {
        if (!v.is_string()) fail(path, "expected a string");
        std::string text = v.get<std::string>();
        // A NUL would cut a path short at the file system and cannot be
        // written into generated source.
        if (text.find('\0') != std::string::npos) fail(path, "must not contain a NUL character");
        return text;
    }

    bool boolean(const Json& v, const std::string& path) const {
        if (!v.is_boolean()) fail(path, "expected true or false");
        return v.get<bool>();
    }

    std::int16_t int16(const Json& v, const std::string& path) const {
        const char* what = "expected an integer from -32768 to 32767";
        if (v.is_number_unsigned()) {
            if (v.get<std::uint64_t>() > static_cast<std::uint64_t>(std::numeric_limits<std::int16_t>::max()))
                fail(path, what);
            return static_cast<std::int16_t>(v.get<std::uint64_t>());
        }
        if (!v.is_number_integer()) fail(path, what);
        const std::int64_t n = v.get<std::int64_t>();
        if (n < std::numeric_limits<std::int16_t>::min() || n > std::numeric_limits<std::int16_t>::max())
            fail(path, what);
        return static_cast<std::int16_t>(n);
    }

    std::string requiredString(const Json& object, const std::string& path, const char* key) const {
        return string(require(object, path, key), memberPath(path, key));
    }

    std::optional<bool> optionalBool(const Json& object, const std::string& path, const char* key) const {
        const Json* v = find(object, key);
        if (v == nullptr) return std::nullopt;
        return boolean(*v, memberPath(path, key));
    }

    // A string that may be null (the property does not exist).
    std::optional<std::string> nullableString(const Json& v, const std::string& path) const {
        if (v.is_null()) return std::nullopt;
        if (!v.is_string()) fail(path, "expected a string or null");
        return string(v, path);
    }

    // A member that this mode or kind does not use.
    void unused(const Json& object, const std::string& path, const char* key, const std::string& because) const {
        if (find(object, key) != nullptr) fail(memberPath(path, key), "not used when " + because);
    }

private:
    std::string file_;
};

void readOptions(const Reader& r, const Json& doc, Answers& a) {
    const Json* options = r.find(doc, "options");
    if (options == nullptr) return;
    const std::string path = "$.options";
    r.expectObject(*options, path);
    r.onlyMembers(*options, path, {"moduleHeaders", "functionHeaders", "devNotes", "errorHandler", "code"});
    // A missing option keeps the welcome page's default, which is on.
    a.options.chkModuleHead = r.optionalBool(*options, path, "moduleHeaders").value_or(true);
    a.options.chkFunctionHead = r.optionalBool(*options, path, "functionHeaders").value_or(true);
    a.options.chkDevNotes = r.optionalBool(*options, path, "devNotes").value_or(true);
    a.options.chkEH = r.optionalBool(*options, path, "errorHandler").value_or(true);
    a.options.chkCode = r.optionalBool(*options, path, "code").value_or(true);
}

// The project page's own checks on Next, with its own messages.
void checkStore(const Reader& r, const std::string& store, const std::string& where) {
    if (store.empty())
        r.fail(where, pageMessage("You have not chosen a directory in which to store your generated files."));
    if (store.find('*') != std::string::npos || store.find('?') != std::string::npos ||
        store.find("\\\\") != std::string::npos)
        r.fail(where, "You have chosen an invalid directory name.  Please try again.");
}

void readTarget(const Reader& r, const Json& doc, Answers& a, const std::optional<std::string>& storeOverride) {
    const std::string path = "$.target";
    const Json& target = r.require(doc, "$", "target");
    r.expectObject(target, path);
    r.onlyMembers(target, path, {"mode", "kind", "name", "store", "project"});
    const std::string mode = r.requiredString(target, path, "mode");
    ProjectPageValues& p = a.project;

    // The command line's --store replaces target.store, which is still
    // checked when present.
    auto readStore = [&]() -> std::pair<std::string, std::string> {
        const std::string storePath = memberPath(path, "store");
        if (!storeOverride) return {r.requiredString(target, path, "store"), storePath};
        if (const Json* v = r.find(target, "store")) r.string(*v, storePath);
        return {*storeOverride, "--store"};
    };

    if (mode == "new") {
        r.unused(target, path, "project", "mode is \"new\"");
        p.optNew = true;
        const std::string kindPath = memberPath(path, "kind");
        const std::string kind = r.requiredString(target, path, "kind");
        if (kind == "Exe")
            p.optProjectStdExe = true;
        else if (kind == "OleExe")
            p.optProjectActiveXExe = true;
        else if (kind == "OleDll")
            p.optProjectActiveXDLL = true;
        else
            r.fail(kindPath, "expected one of " + quotedList({"Exe", "OleExe", "OleDll"}));
        p.txtProjName = r.requiredString(target, path, "name");
        const auto [store, storePath] = readStore();
        p.msStoreDir = store;
        checkStore(r, store, storePath);
        if (p.txtProjName.empty())
            r.fail(memberPath(path, "name"), pageMessage("You have not chosen a name for your new project."));
        if (const std::string why = projectNameMessage(p.txtProjName); !why.empty())
            r.fail(memberPath(path, "name"), why);
    } else if (mode == "existing") {
        r.unused(target, path, "kind", "mode is \"existing\"");
        r.unused(target, path, "name", "mode is \"existing\"");
        p.optProjectExisting = true;
        p.txtExistProject = r.requiredString(target, path, "project");
        const auto [store, storePath] = readStore();
        p.msStoreDir = store;
        checkStore(r, store, storePath);
        if (p.txtExistProject.empty())
            r.fail(memberPath(path, "project"),
                   pageMessage("You have not chosen a project to add your generated files to."));
    } else if (mode == "loaded") {
        for (const char* key : {"kind", "name", "store"}) r.unused(target, path, key, "mode is \"loaded\"");
        p.optLoaded = true;
        a.loadedProject = r.requiredString(target, path, "project");
        if (a.loadedProject.empty())
            r.fail(memberPath(path, "project"),
                   pageMessage("You have chosen to add generated files to a loaded project, but have not chosen "
                               "which one."));
    } else {
        r.fail(memberPath(path, "mode"), "expected one of " + quotedList({"new", "existing", "loaded"}));
    }
}

void readConnection(const Reader& r, const Json& doc, Answers& a) {
    const std::string path = "$.connection";
    const Json& connection = r.require(doc, "$", "connection");
    r.expectObject(connection, path);
    r.onlyMembers(connection, path, {"kind", "dsn", "user", "password", "string"});
    const std::string kind = r.requiredString(connection, path, "kind");
    if (kind == "dsn") {
        r.unused(connection, path, "string", "kind is \"dsn\"");
        a.connection.optDSN = true;
        a.dsn = r.requiredString(connection, path, "dsn");
        if (const Json* v = r.find(connection, "user")) a.user = r.string(*v, memberPath(path, "user"));
        if (const Json* v = r.find(connection, "password")) a.password = r.string(*v, memberPath(path, "password"));
    } else if (kind == "string") {
        for (const char* key : {"dsn", "user", "password"}) r.unused(connection, path, key, "kind is \"string\"");
        a.connection.optDSNLess = true;
        a.connection.txtConnString = r.requiredString(connection, path, "string");
    } else {
        r.fail(memberPath(path, "kind"), "expected one of " + quotedList({"dsn", "string"}));
    }
}

void readTables(const Reader& r, const Json& doc, Answers& a) {
    const Json* tables = r.find(doc, "tables");
    if (tables == nullptr) return;
    const std::string path = "$.tables";
    if (!tables->is_array()) r.fail(path, "expected an array of table names");
    a.tables.emplace();
    for (std::size_t i = 0; i < tables->size(); ++i) a.tables->push_back(r.string((*tables)[i], indexPath(path, i)));
}

void readMarks(const Reader& r, const Json& doc, Answers& a) {
    const Json* marks = r.find(doc, "marks");
    if (marks == nullptr) return;
    const std::string path = "$.marks";
    r.expectObject(*marks, path);
    for (auto it = marks->begin(); it != marks->end(); ++it) {
        const std::string markPath = memberPath(path, it.key());
        const std::size_t dot = it.key().find('.');
        if (dot == std::string::npos || dot == 0 || dot + 1 == it.key().size())
            r.fail(markPath, "expected a key of the form \"Table.Field\"");
        r.expectObject(it.value(), markPath);
        r.onlyMembers(it.value(), markPath, {"primary", "auto"});
        MarkAnswer mark{it.key(), r.optionalBool(it.value(), markPath, "primary"),
                        r.optionalBool(it.value(), markPath, "auto")};
        // Ticking Auto ticks Primary as well, so this pair cannot be had.
        if (mark.autoNumber.value_or(false) && !mark.primary.value_or(true))
            r.fail(markPath, "a field marked auto is also primary");
        a.marks.push_back(std::move(mark));
    }
}

FieldRow readRow(const Reader& r, const Json& row, const std::string& rowPath) {
    r.expectObject(row, rowPath);
    r.onlyMembers(row, rowPath, {"table", "field", "primary", "auto", "dataType", "nullable"});
    FieldRow f;
    f.table = r.requiredString(row, rowPath, "table");
    f.field = r.requiredString(row, rowPath, "field");
    f.primary = r.optionalBool(row, rowPath, "primary").value_or(false);
    f.autoNumber = r.optionalBool(row, rowPath, "auto").value_or(false);
    f.dataType = r.int16(r.require(row, rowPath, "dataType"), memberPath(rowPath, "dataType"));
    f.nullable = r.optionalBool(row, rowPath, "nullable").value_or(false);
    return f;
}

// `plainRows`: the rows as the parse took them straight from the text.
void readRows(const Reader& r, const Json& doc, Answers& a, std::optional<std::vector<FieldRow>>& plainRows) {
    if (plainRows) {
        a.rows = std::move(plainRows);
        return;
    }
    const Json* rows = r.find(doc, "rows");
    if (rows == nullptr) return;
    const std::string path = "$.rows";
    if (!rows->is_array()) r.fail(path, "expected an array of field rows");
    a.rows.emplace();
    a.rows->reserve(rows->size());
    for (std::size_t i = 0; i < rows->size(); ++i) a.rows->push_back(readRow(r, (*rows)[i], indexPath(path, i)));
}

void readProperties(const Reader& r, const Json& doc, Answers& a) {
    if (const Json* v = r.find(doc, "dbmsName")) a.dbmsName = r.nullableString(*v, "$.dbmsName");
    if (const Json* v = r.find(doc, "dataSourceName"))
        a.dataSourceName = r.nullableString(*v, "$.dataSourceName");
    else if (a.connection.optDSN)
        a.dataSourceName = a.dsn;
}

// Builds the document, except that the top-level "rows" array goes straight
// into field rows: tens of thousands of small objects are never built. The
// document gets an empty array in its place. Anything a well-formed row
// does not hold (an unknown or missing member, a wrong type, a NUL, a second
// "rows") stops the parse, and the caller parses the whole document again to
// read it with its messages.
class RowsReadingParser {
public:
    using Dom = nlohmann::detail::json_sax_dom_parser<Json>;

    // `textSize` bounds the number of rows: each takes at least
    // kShortestRow characters of the text.
    RowsReadingParser(Json& doc, std::size_t textSize) : dom_(doc), mostRows_(textSize / kShortestRow) {}

    // The rows, when the document has a "rows" array.
    std::optional<std::vector<FieldRow>>& rows() { return rows_; }

    bool null() { return inRows() ? false : value(dom_.null()); }
    bool boolean(bool v) {
        if (!inRows()) return value(dom_.boolean(v));
        FieldRow& row = rows_->back();
        bool* target = member_ == kPrimary ? &row.primary : member_ == kAuto ? &row.autoNumber
                       : member_ == kNullable ? &row.nullable : nullptr;
        if (target == nullptr || depth_ != rowsDepth_ + 1) return false;
        *target = v;
        return true;
    }
    bool number_integer(Json::number_integer_t v) {
        if (!inRows()) return value(dom_.number_integer(v));
        return dataType(v >= -32768 && v <= 32767, v);
    }
    bool number_unsigned(Json::number_unsigned_t v) {
        if (!inRows()) return value(dom_.number_unsigned(v));
        return dataType(v <= 32767, static_cast<Json::number_integer_t>(v));
    }
    bool number_float(Json::number_float_t v, const std::string& text) {
        return inRows() ? false : value(dom_.number_float(v, text));
    }
    bool string(std::string& v) {
        if (!inRows()) return value(dom_.string(v));
        if ((member_ != kTable && member_ != kField) || depth_ != rowsDepth_ + 1) return false;
        if (v.find('\0') != std::string::npos) return false;
        // Copied, not moved: the lexer keeps its buffer for the next string.
        (member_ == kTable ? rows_->back().table : rows_->back().field) = v;
        seen_ |= member_;
        return true;
    }
    bool binary(Json::binary_t& v) { return inRows() ? false : value(dom_.binary(v)); }
    bool start_object(std::size_t n) {
        if (inRows()) {
            if (depth_ != rowsDepth_) return false;  // a row holds no objects
            ++depth_;
            rows_->emplace_back();
            seen_ = 0;
            return true;
        }
        rowsNext_ = false;
        ++depth_;
        return dom_.start_object(n);
    }
    bool key(std::string& k) {
        if (inRows()) {
            member_ = k == "table"      ? kTable
                      : k == "field"    ? kField
                      : k == "primary"  ? kPrimary
                      : k == "auto"     ? kAuto
                      : k == "dataType" ? kDataType
                      : k == "nullable" ? kNullable
                                        : 0U;
            return member_ != 0;
        }
        rowsNext_ = depth_ == 1 && k == "rows";
        if (rowsNext_ && rows_) return false;  // a second "rows"
        return dom_.key(k);
    }
    bool end_object() {
        if (inRows()) {
            --depth_;
            return (seen_ & (kTable | kField | kDataType)) == (kTable | kField | kDataType);
        }
        --depth_;
        return value(dom_.end_object());
    }
    bool start_array(std::size_t n) {
        if (inRows()) return false;  // a row is an object and holds no arrays
        if (rowsNext_) {
            rowsNext_ = false;
            rows_.emplace();
            // Room for every row the text can hold, so the rows are never
            // moved; what is not used is address space, never touched.
            rows_->reserve(mostRows_);
            rowsDepth_ = ++depth_;
            return dom_.start_array(0) && dom_.end_array();
        }
        ++depth_;
        return dom_.start_array(n);
    }
    bool end_array() {
        --depth_;
        if (inRows() && depth_ + 1 == rowsDepth_) {
            rowsDepth_ = 0;
            return true;
        }
        return value(dom_.end_array());
    }
    template <class Exception>
    bool parse_error(std::size_t position, const std::string& token, const Exception& e) {
        return dom_.parse_error(position, token, e);
    }

private:
    // {"table":"","field":"","dataType":0}
    static constexpr std::size_t kShortestRow = 36;
    static constexpr unsigned kTable = 1, kField = 2, kPrimary = 4, kAuto = 8, kDataType = 16, kNullable = 32;

    bool inRows() const { return rowsDepth_ != 0; }
    // A value outside the rows: a "rows" that is not an array goes into the document.
    bool value(bool ok) {
        rowsNext_ = false;
        return ok;
    }
    bool dataType(bool inRange, Json::number_integer_t v) {
        if (member_ != kDataType || depth_ != rowsDepth_ + 1 || !inRange) return false;
        rows_->back().dataType = static_cast<std::int16_t>(v);
        seen_ |= kDataType;
        return true;
    }

    Dom dom_;
    std::optional<std::vector<FieldRow>> rows_;
    std::size_t depth_ = 0;      // containers open
    std::size_t rowsDepth_ = 0;  // the depth inside the "rows" array; 0: outside it
    bool rowsNext_ = false;      // the next value is the top-level "rows"
    std::size_t mostRows_;
    unsigned seen_ = 0;
    unsigned member_ = 0;
};

}  // namespace

Answers parseAnswers(const std::string& text, const std::string& fileName,
                     const std::optional<std::string>& storeOverride) {
    const Reader r(fileName);
    Json doc;
    std::optional<std::vector<FieldRow>> plainRows;
    try {
        RowsReadingParser parser(doc, text.size());
        if (Json::sax_parse(text, &parser)) {
            plainRows = std::move(parser.rows());
        } else {
            doc = Json::parse(text);
        }
    } catch (const Json::exception& e) {
        // what() reads "[json.exception.parse_error.101] parse error at line 3, column 7: ...", or
        // "[json.exception.out_of_range.406] number overflow parsing '1e400'" for a number too large.
        std::string what = e.what();
        if (const auto close = what.find("] "); close != std::string::npos) what.erase(0, close + 2);
        throw AnswersError(fileName + ": " + what);
    }
    r.expectObject(doc, "$");
    r.onlyMembers(doc, "$",
                  {"options", "target", "connection", "tables", "marks", "rows", "dbmsName", "dataSourceName"});
    Answers a;
    readOptions(r, doc, a);
    readTarget(r, doc, a, storeOverride);
    readConnection(r, doc, a);
    readTables(r, doc, a);
    readMarks(r, doc, a);
    readRows(r, doc, a, plainRows);
    readProperties(r, doc, a);
    return a;
}

void applyMarks(FieldGrid& grid, const std::vector<MarkAnswer>& marks, const std::string& fileName) {
    if (marks.empty()) return;
    std::unordered_map<std::string, std::vector<std::size_t>> rowsOf;
    for (std::size_t i = 0; i < grid.rowCount(); ++i)
        rowsOf[grid.row(i).table + "." + grid.row(i).field].push_back(i);
    for (const MarkAnswer& mark : marks) {
        const auto found = rowsOf.find(mark.key);
        if (found == rowsOf.end())
            throw AnswersError(fileName + ": " + memberPath("$.marks", mark.key) +
                               ": no field row has this table and field");
        for (const std::size_t i : found->second) {
            if (mark.primary && *mark.primary != grid.row(i).primary) {
                grid.setPrimary(i, *mark.primary);
                if (!*mark.primary) grid.setAuto(i, false);
            }
            if (mark.autoNumber && *mark.autoNumber != grid.row(i).autoNumber) {
                grid.setAuto(i, *mark.autoNumber);
                if (*mark.autoNumber) grid.setPrimary(i, true);
            }
        }
    }
}

namespace {

Json nullable(const std::optional<std::string>& value) { return value ? Json(*value) : Json(nullptr); }

constexpr std::string_view kRowsPlaceholder = "\n  \"rows\": []";

// Appends `text` as a JSON string, exactly as the document's dump writes it:
// plain printable ASCII as it is, anything else through the library.
void appendJsonString(std::string& out, const std::string& text) {
    bool plain = true;
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b >= 0x7F || c == '"' || c == '\\') {
            plain = false;
            break;
        }
    }
    if (!plain) {
        out += Json(text).dump(-1, ' ', false, Json::error_handler_t::replace);
        return;
    }
    out += '"';
    out += text;
    out += '"';
}

// The field rows in the layout of the document's two-space dump, written
// straight into the text: a snapshot of a large schema holds tens of
// thousands of rows, and building them as a JSON tree first costs more
// than reading them from the database.
std::string rowsText(const std::vector<FieldRow>& rows) {
    std::string out = "\n  \"rows\": [";
    out.reserve(rows.size() * 160);
    const char* separator = "\n";
    for (const FieldRow& f : rows) {
        out += separator;
        separator = ",\n";
        out += "    {\n      \"table\": ";
        appendJsonString(out, f.table);
        out += ",\n      \"field\": ";
        appendJsonString(out, f.field);
        out += f.primary ? ",\n      \"primary\": true" : ",\n      \"primary\": false";
        out += f.autoNumber ? ",\n      \"auto\": true" : ",\n      \"auto\": false";
        out += ",\n      \"dataType\": ";
        out += std::to_string(f.dataType);
        out += f.nullable ? ",\n      \"nullable\": true\n    }" : ",\n      \"nullable\": false\n    }";
    }
    out += "\n  ]";
    return out;
}

}  // namespace

std::string answersToJson(const Answers& a) {
    Json doc = Json::object();
    doc["options"] = {{"moduleHeaders", a.options.chkModuleHead}, {"functionHeaders", a.options.chkFunctionHead},
                      {"devNotes", a.options.chkDevNotes},        {"errorHandler", a.options.chkEH},
                      {"code", a.options.chkCode}};

    // The same order of decision as the settings: loaded, else new, else existing.
    const ProjectPageValues& p = a.project;
    Json target = Json::object();
    if (p.optLoaded) {
        target["mode"] = "loaded";
        target["project"] = a.loadedProject;
    } else if (p.optNew) {
        target["mode"] = "new";
        target["kind"] = p.optProjectStdExe ? "Exe" : p.optProjectActiveXExe ? "OleExe" : "OleDll";
        target["name"] = p.txtProjName;
        target["store"] = p.msStoreDir;
    } else {
        target["mode"] = "existing";
        target["project"] = p.txtExistProject;
        target["store"] = p.msStoreDir;
    }
    doc["target"] = std::move(target);

    // The password is left out: the file holds the field rows, so a run from
    // it opens no database, and a live run takes it from the command line.
    // A connection string stays as typed, as the connection class embeds it.
    if (a.connection.optDSN)
        doc["connection"] = {{"kind", "dsn"}, {"dsn", a.dsn}, {"user", a.user}};
    else
        doc["connection"] = {{"kind", "string"}, {"string", a.connection.txtConnString}};

    if (a.tables) doc["tables"] = *a.tables;
    if (!a.marks.empty()) {
        Json marks = Json::object();
        for (const MarkAnswer& m : a.marks) {
            Json mark = Json::object();
            if (m.primary) mark["primary"] = *m.primary;
            if (m.autoNumber) mark["auto"] = *m.autoNumber;
            marks[m.key] = std::move(mark);
        }
        doc["marks"] = std::move(marks);
    }
    // The rows are written into the text after the dump, in the place an
    // empty array holds for them (a string's own line break is escaped, so
    // the placeholder's line can only be the member itself).
    if (a.rows) doc["rows"] = Json::array();
    // Both properties are always written, null when absent, so that a data
    // source name left out on purpose is not defaulted to the DSN on reading.
    doc["dbmsName"] = nullable(a.dbmsName);
    doc["dataSourceName"] = nullable(a.dataSourceName);
    std::string text = doc.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
    if (a.rows && !a.rows->empty()) {
        const std::size_t at = text.find(kRowsPlaceholder);
        text.replace(at, kRowsPlaceholder.size(), rowsText(*a.rows));
    }
    return text;
}

}  // namespace rw
