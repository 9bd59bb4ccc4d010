#include <string>
#include <vector>

#include "core/names.h"
#include "core/product.h"
#include "gen/object/headers.h"
#include "gen/object/object_class.h"

namespace rw {
namespace {

// How one value is written into the SQL text that the generated Update
// builds at its run time.
enum class ValueForm {
    Plain,            // "F = " & P
    Integer,          // "F = " & CInt(P)
    Text,             // "F = '" & Replace(P, "'", "''") & "'"
    DateLiteral,      // "F = #" & P & "#"
    DateText,         // "F = '" & Format(P, "mm/dd/yyyy hh:mm:ss") & "'"
    ShortDateText,    // "F = '" & Format(P, "dd-mmm-yy") & "'"
    TimestampEscape,  // "F = {ts '" & Format(P, "yyyy-mm-dd hh:nn:ss") & "'}"
};

bool isTextType(int dataType) { return dataType == 8 || dataType == 129 || dataType == 130; }
bool isDateType(int dataType) { return dataType == 7 || dataType == 135; }
bool isBooleanType(int dataType) { return dataType == 11; }

// The date form the database product understands. Names are compared
// exactly, case included; any other product gets the ODBC timestamp escape.
ValueForm dateFormFor(const std::string& dbms) {
    if (dbms == "ACCESS" || dbms == "MS Jet") return ValueForm::DateLiteral;
    if (dbms == "Microsoft SQL Server") return ValueForm::DateText;
    if (dbms == "Oracle") return ValueForm::ShortDateText;
    return ValueForm::TimestampEscape;
}

// The form of a SET list value. The DBMS name is read only for Boolean and
// date columns, at the moment the value needs it.
ValueForm setFormOf(GenContext& ctx, int dataType) {
    if (isTextType(dataType)) return ValueForm::Text;
    if (isBooleanType(dataType)) {
        return ctx.dbmsName() == "Microsoft SQL Server" ? ValueForm::Integer : ValueForm::Plain;
    }
    if (isDateType(dataType)) return dateFormFor(ctx.dbmsName());
    return ValueForm::Plain;
}

// The form of a key condition: text keys are doubled at apostrophes and
// date keys use the product's own date form, like the SET list; every other
// key (Boolean included) is written as it is.
ValueForm keyFormOf(GenContext& ctx, int dataType) {
    if (isTextType(dataType)) return ValueForm::Text;
    if (isDateType(dataType)) return dateFormFor(ctx.dbmsName());
    return ValueForm::Plain;
}

// The text of a VB string expression that yields `sqlLead` + " = " + value
// in SQL. `sqlLead` is the field as SQL names it (possibly preceded by
// "AND "); `value` is the VB expression that holds the value.
std::string valueExpression(ValueForm form, const std::string& sqlLead, const std::string& value) {
    const std::string open = "\"" + sqlLead;
    switch (form) {
        case ValueForm::Plain: return open + " = \" & " + value;
        case ValueForm::Integer: return open + " = \" & CInt(" + value + ")";
        case ValueForm::Text: return open + " = '\" & Replace(" + value + ", \"'\", \"''\") & \"'\"";
        case ValueForm::DateLiteral: return open + " = #\" & " + value + " & \"#\"";
        case ValueForm::DateText:
            return open + " = '\" & Format(" + value + ", \"mm/dd/yyyy hh:mm:ss\") & \"'\"";
        case ValueForm::ShortDateText: return open + " = '\" & Format(" + value + ", \"dd-mmm-yy\") & \"'\"";
        case ValueForm::TimestampEscape:
            return open + " = {ts '\" & Format(" + value + ", \"yyyy-mm-dd hh:nn:ss\") & \"'}\"";
    }
    return open;
}

// The field names of the key rows joined by ", ", or "-None-".
std::string keyList(const std::vector<const FieldRow*>& rows) {
    std::string list;
    for (const FieldRow* row : rows) {
        if (!row->primary) continue;
        if (!list.empty()) list += ", ";
        list += row->field;
    }
    return list.empty() ? "-None-" : list;
}

// The loop of a usage example: For Each, one assignment per non-auto
// column, the call of Update, Next.
void writeUsageLoop(TextFile& f, const std::vector<const FieldRow*>& rows, const std::string& classBase) {
    const std::string object = "lo" + classBase;
    f.line("'          For Each " + object + " In " + object + "Coll");
    for (const FieldRow* row : rows) {
        if (row->autoNumber) continue;
        f.line("'              " + object + "." + propertyName(row->field) + " = <some value>");
    }
    f.line("'              If Not " + object + ".Update() Then");
    f.line("'                  'Insert code to execute if update fails");
    f.line("'              End If");
    f.line("'          Next");
}

void writeDevNotes(TextFile& f, const std::vector<const FieldRow*>& rows, const std::string& classBase,
                   const std::string& tableName) {
    const std::string indent(kNoteIndent);
    const std::string object = "lo" + classBase;
    const std::string keys = keyList(rows);
    writeDevNotesOpening(f);
    f.line(indent + "This method uses the Primary Key fields you chose for the");
    f.line(indent + tableName + " table to uniquely identify the record to be");
    f.line(indent + "updated by this method.  The Primary Key fields you chose are:");
    f.line(indent);
    f.line(indent + keys);
    f.line(indent);
    f.line(indent + "This method is used to update a record in the ");
    f.line(indent + tableName + " table. To call this method from an ASP page:");
    f.line(indent);
    f.line("'          Set " + object + " = Server.CreateObject(\"<Your Library Name>.cls" + classBase + "\")");
    f.line("'          Set " + object + "Coll = Server.CreateObject(\"<Your Library Name>.cls" + classBase +
           "Coll\")");
    f.line(indent);
    f.line("'          " + object + "Coll.Refresh");
    writeUsageLoop(f, rows, classBase);
    f.line(indent);
    f.line(indent + "To call this method from VB:");
    f.line(indent);
    f.line("'          Dim " + object + " As New [Your Library Name.]cls" + classBase);
    f.line("'          Dim " + object + "Coll As New [Your Library Name.]cls" + classBase + "Coll");
    f.line(indent);
    f.line("'          " + object + "Coll.Refresh");
    f.line(indent);
    writeUsageLoop(f, rows, classBase);
    f.line(indent);
    if (keys == "-None-") {
        const std::string product = product::kDisplayName;
        f.line("'" + std::string(73, '*'));
        f.line(indent + "WARNING!!!                 WARNING!!!                     WARNING!!!");
        f.line(indent);
        f.line(indent + "You did not choose any Primary Key fields for the " + tableName);
        f.line(indent + "Table, therefore the Update() method generated by ");
        f.line(indent + "'" + product + "' has no valid WHERE clause.");
        f.line(indent + "'" + product + "' has inserted an 'Exit Sub' statement");
        f.line(indent + "as the first executable line of code in this method to prevent");
        f.line(indent + "accidental update of all records in the table.");
    }
}

void writeHeader(GenContext& ctx, TextFile& f, const std::vector<const FieldRow*>& rows,
                 const std::string& classBase, const std::string& tableName) {
    writeProcedureHeaderTop(f, "Update()");
    f.line("' Purpose: Updates the record in the " + tableName + " table");
    f.line("'          which corresponds to the current cls" + classBase);
    f.line("'          object.");
    writeProcedureHeaderCreated(ctx, f);
    if (ctx.settings.mbDevNotes) writeDevNotes(f, rows, classBase, tableName);
    f.line(kRuleLine);
}

void writeBody(GenContext& ctx, TextFile& f, const std::vector<const FieldRow*>& rows,
               const std::string& tableName) {
    f.line("Dim lsSQL as String");
    f.line("Dim loConn as New clsRwtConn");
    f.line("");
    bool anyKey = false;
    for (const FieldRow* row : rows) anyKey = anyKey || row->primary;
    if (!anyKey) {
        // Without a key the WHERE clause would match every record.
        f.line("");
        f.line("    'No Primary Keys were chosen for the " + tableName);
        f.line("    'table.  Execution halted to prevent accidental");
        f.line("    'update of all records.  (" + std::string(product::kDisplayName));
        f.line("    'can not create a valid WHERE clause without ");
        f.line("    'Primary Keys.)");
        f.line("    Exit Function");
    }
    f.line("");
    f.line("");
    f.line("    lsSQL = \"UPDATE " + bracketedTableName(tableName) + " SET \"");

    // Every value expression is built before the first If block is written,
    // so a failing DBMS name read leaves the statement head as the last line.
    struct SetItem {
        std::string property;
        std::string expression;
    };
    std::vector<SetItem> items;
    for (const FieldRow* row : rows) {
        if (row->autoNumber) continue;
        const std::string property = propertyName(row->field);
        items.push_back(
            {property, valueExpression(setFormOf(ctx, row->dataType), bracketedFieldName(row->field), property)});
    }
    for (const SetItem& item : items) {
        f.line("    If " + item.property + " <> \"\" Then");
        f.line("        lsSQL = lsSQL & " + item.expression + " & \", \"");
        f.line("    End If");
    }
    f.line("    lsSQL = Left(lsSQL, len(lsSQL) - 2) & \" \"");
    f.line("    lsSQL = lsSQL & \" WHERE 1 = 1 \"");
    for (const FieldRow* row : rows) {
        if (!row->primary) continue;
        const std::string readBuffer = "mvar" + propertyName(row->field) + "_ReadBuf";
        f.line("    lsSQL = lsSQL & " +
               valueExpression(keyFormOf(ctx, row->dataType), "AND " + bracketedFieldName(row->field),
                               readBuffer) +
               " & \" \"");
    }
    f.line("");
    f.line("    Update = loConn.ExecActionSQL(lsSQL)");
}

}  // namespace

void msGenObjectUpdateMethod(GenContext& ctx, int fileNumber, const std::string& classBase,
                             const std::string& tableName) {
    guarded(ctx.ui, "frmFields.msGenObjectUpdateMethod", [&] {
        const GenerationSettings& s = ctx.settings;
        TextFile& f = ctx.file(fileNumber);
        const auto rows = ctx.grid.tableRows(tableName);
        if (s.mbFunctionHeaders) writeHeader(ctx, f, rows, classBase, tableName);
        f.line("Public Function Update() As Boolean");
        if (s.mbErrorHandler) f.line("On Error GoTo UpdateErr");
        if (s.mbCode) writeBody(ctx, f, rows, tableName);
        if (s.mbErrorHandler) {
            f.line("");
            f.line("    Exit Function");
            f.line("");
            f.line("UpdateErr:");
            f.line("    RaiseError Err.Number, Err.Source & \" (cls" + classBase + ".Update)\", Err.Description");
        }
        f.line("");
        f.line("End Function");
    });
}

}  // namespace rw
