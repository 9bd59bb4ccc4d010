#include "gen/collection/coll_common.h"

namespace rw::coll {

std::optional<std::string> sampleConditionTail(const GenContext& ctx, int dataType) {
    if (isTextType(dataType)) return " = '<value>' ";
    if (isDateType(dataType)) {
        switch (dateFormFor(ctx.dbmsName())) {
            case DateForm::HashLiteral: return " = #<value># ";
            case DateForm::UsText: return " = 'Format(<value>, \"mm/dd/yyyy hh:mm:ss\")' ";
            case DateForm::OracleText: return " = 'Format(<value>, \"dd-mmm-yy\")' ";
            case DateForm::TimestampEscape: return std::nullopt;
        }
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
