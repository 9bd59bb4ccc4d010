#include "gen/collection/coll_common.h"

namespace rw::coll {

ValueGroup valueGroupOf(int dataType) {
    switch (dataType) {
        case 2:    // adSmallInt
        case 3:    // adInteger
        case 4:    // adSingle
        case 5:    // adDouble
        case 6:    // adCurrency
        case 17:   // adUnsignedTinyInt
            return ValueGroup::Numeric;
        case 11:   // adBoolean
            return ValueGroup::Boolean;
        case 8:    // adBSTR
        case 129:  // adChar
        case 130:  // adWChar
            return ValueGroup::Text;
        case 7:    // adDate
        case 135:  // adDBTimeStamp
            return ValueGroup::Date;
        default: return ValueGroup::Other;
    }
}

std::optional<std::string> sampleConditionTail(const GenContext& ctx, int dataType) {
    if (isTextType(dataType)) return " = '<value>' ";
    if (isDateType(dataType)) {
        const std::string dbms = ctx.dbmsName();
        if (dbms == "ACCESS" || dbms == "MS Jet") return " = #<value># ";
        if (dbms == "Microsoft SQL Server") return " = 'Format(<value>, \"mm/dd/yyyy hh:mm:ss\")' ";
        if (dbms == "Oracle") return " = 'Format(<value>, \"dd-mmm-yy\")' ";
        return std::nullopt;
    }
    return " = <value> ";
}

void writeRaiseErrorTail(TextFile& f, std::string_view exitWord, std::string_view label,
                         const std::string& classBase, std::string_view member) {
    f.line("");
    f.line("    Exit " + std::string(exitWord));
    f.line("");
    f.line(std::string(label) + ":");
    f.line("    RaiseError Err.Number, Err.Source & \" (cls" + classBase + "Coll." + std::string(member) +
           ")\", Err.Description");
}

std::string aspObjectLine(const std::string& classBase) {
    return "'          Set lo" + classBase + " = Server.CreateObject(\"<Your Library Name>.cls" + classBase + "\")";
}

std::string aspCollectionLine(const std::string& classBase) {
    return "'          Set lo" + classBase + "Coll = Server.CreateObject(\"<Your Library Name>.cls" + classBase +
           "Coll\")";
}

std::string vbObjectLine(const std::string& classBase) {
    return "'          Dim lo" + classBase + " As New [Your Library Name.]cls" + classBase;
}

std::string vbCollectionLine(const std::string& classBase) {
    return "'          Dim lo" + classBase + "Coll As New [Your Library Name.]cls" + classBase + "Coll";
}

}  // namespace rw::coll
