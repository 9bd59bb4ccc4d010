#include "model/type_rules.h"

#include "platform/data_access.h"

namespace rw {

Dbms dbmsOf(std::string_view dbmsName) {
    if (dbmsName == "ACCESS" || dbmsName == "MS Jet") return Dbms::Jet;
    if (dbmsName == "Microsoft SQL Server") return Dbms::SqlServer;
    if (dbmsName == "Oracle") return Dbms::Oracle;
    return Dbms::Other;
}

ValueGroup valueGroupOf(int dataType) {
    switch (dataType) {
        case kAdSmallInt:
        case kAdInteger:
        case kAdSingle:
        case kAdDouble:
        case kAdCurrency:
        case kAdUnsignedTinyInt: return ValueGroup::Numeric;
        case kAdBoolean: return ValueGroup::Boolean;
        case kAdBSTR:
        case kAdChar:
        case kAdWChar: return ValueGroup::Text;
        case kAdDate:
        case kAdDBTimeStamp: return ValueGroup::Date;
        default: return ValueGroup::Other;
    }
}

ValueGroup sqlValueGroupOf(int dataType) {
    if (dataType == kAdDBDate) return ValueGroup::Date;
    if (dataType == kAdDBTime) return ValueGroup::Text;
    return valueGroupOf(dataType);
}

CheckGroup checkGroupOf(int dataType) {
    switch (dataType) {
        case kAdSmallInt: return CheckGroup::SmallRange;
        case kAdUnsignedTinyInt: return CheckGroup::ByteRange;
        case kAdInteger:
        case kAdSingle:
        case kAdDouble:
        case kAdCurrency:
        case kAdBoolean: return CheckGroup::Numeric;
        case kAdDate:
        case kAdDBTimeStamp: return CheckGroup::Date;
        case kAdBSTR:
        case kAdChar:
        case kAdWChar: return CheckGroup::Text;
        default: return CheckGroup::None;
    }
}

bool isScaledNumericType(int dataType) { return dataType == kAdTinyInt || dataType == kAdNumeric; }

std::int16_t numericColumnType(long long scale, long long precision) {
    if (scale >= 1 || precision > 9) return kAdDouble;
    if (precision >= 5) return kAdInteger;
    return kAdSmallInt;
}

SqlValue sqlValueOf(const GenContext& ctx, int dataType, std::string_view ref, bool keyCondition) {
    switch (sqlValueGroupOf(dataType)) {
        case ValueGroup::Text: return {"'", "Replace(", ref, ", \"'\", \"''\")", "'"};
        case ValueGroup::Boolean:
            if (!keyCondition && dbmsOf(ctx.dbmsName()) == Dbms::SqlServer) return {"", "CInt(", ref, ")", ""};
            return {"", "", ref, "", ""};
        case ValueGroup::Date:
            switch (dbmsOf(ctx.dbmsName())) {
                case Dbms::Jet: return {"#", "", ref, "", "#"};
                case Dbms::SqlServer: return {"'", "Format(", ref, ", \"mm/dd/yyyy hh:mm:ss\")", "'"};
                case Dbms::Oracle: return {"'", "Format(", ref, ", \"dd-mmm-yy\")", "'"};
                case Dbms::Other: return {"{ts '", "Format(", ref, ", \"yyyy-mm-dd hh:nn:ss\")", "'}"};
            }
            break;
        case ValueGroup::Numeric:
        case ValueGroup::Other: break;
    }
    return {"", "", ref, "", ""};
}

std::optional<std::string_view> sampleConditionTail(const GenContext& ctx, int dataType) {
    switch (valueGroupOf(dataType)) {
        case ValueGroup::Text: return " = '<value>' ";
        case ValueGroup::Date:
            switch (dbmsOf(ctx.dbmsName())) {
                case Dbms::Jet: return " = #<value># ";
                case Dbms::SqlServer: return " = 'Format(<value>, \"mm/dd/yyyy hh:mm:ss\")' ";
                case Dbms::Oracle: return " = 'Format(<value>, \"dd-mmm-yy\")' ";
                case Dbms::Other: return std::nullopt;
            }
            break;
        default: break;
    }
    return " = <value> ";
}

bool needsClientCursor(Dbms dbms) { return dbms == Dbms::Oracle; }
bool premarksKeys(Dbms dbms) { return dbms == Dbms::Oracle || dbms == Dbms::SqlServer; }
bool hasIdentityColumn(Dbms dbms) { return dbms == Dbms::SqlServer; }

}  // namespace rw
