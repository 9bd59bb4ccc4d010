#include "gen/sql_values.h"

namespace rw {

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

ValueGroup sqlValueGroupOf(int dataType) {
    if (dataType == 133) return ValueGroup::Date;  // adDBDate
    if (dataType == 134) return ValueGroup::Text;  // adDBTime
    return valueGroupOf(dataType);
}

DateForm dateFormFor(const std::string& dbms) {
    if (dbms == "ACCESS" || dbms == "MS Jet") return DateForm::HashLiteral;
    if (dbms == "Microsoft SQL Server") return DateForm::UsText;
    if (dbms == "Oracle") return DateForm::OracleText;
    return DateForm::TimestampEscape;
}

SqlValue sqlValueOf(const GenContext& ctx, int dataType, const std::string& ref, bool keyCondition) {
    switch (sqlValueGroupOf(dataType)) {
        case ValueGroup::Text: return {"'", "Replace(" + ref + ", \"'\", \"''\")", "'"};
        case ValueGroup::Boolean:
            if (!keyCondition && ctx.dbmsName() == "Microsoft SQL Server") return {"", "CInt(" + ref + ")", ""};
            return {"", ref, ""};
        case ValueGroup::Date:
            switch (dateFormFor(ctx.dbmsName())) {
                case DateForm::HashLiteral: return {"#", ref, "#"};
                case DateForm::UsText: return {"'", "Format(" + ref + ", \"mm/dd/yyyy hh:mm:ss\")", "'"};
                case DateForm::OracleText: return {"'", "Format(" + ref + ", \"dd-mmm-yy\")", "'"};
                case DateForm::TimestampEscape:
                    return {"{ts '", "Format(" + ref + ", \"yyyy-mm-dd hh:nn:ss\")", "'}"};
            }
            break;
        case ValueGroup::Numeric:
        case ValueGroup::Other: break;
    }
    return {"", ref, ""};
}

}  // namespace rw
