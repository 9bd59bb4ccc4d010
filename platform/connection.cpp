#include "platform/connection.h"

#include "platform/runtime_error.h"

namespace rw {

void throwMissingProperty() {
    throw RuntimeError(3265, "ADODB.Properties",
                       "Item cannot be found in the collection corresponding to the requested name or ordinal.");
}

OfflineConnection::OfflineConnection(std::optional<std::string> dbmsName, std::optional<std::string> dataSourceName) {
    if (dbmsName) properties_["DBMS Name"] = *dbmsName;
    if (dataSourceName) properties_["Data Source Name"] = *dataSourceName;
}

std::string OfflineConnection::property(const std::string& name) const {
    const auto p = properties_.find(name);
    if (p == properties_.end()) throwMissingProperty();
    return p->second;
}

}  // namespace rw
