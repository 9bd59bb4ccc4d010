#pragma once
// A database in memory behind the data-access interfaces: schema rowsets
// built from a few lists, queries answered from a map, and a record of what
// was asked.
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/data_access.h"
#include "platform/runtime_error.h"

namespace rw::test {

struct FakeColumn {
    std::string name;
    int dataType;
    Variant precision, scale;
    bool nullable = true;
};

class FakeConnection final : public DataConnection {
public:
    std::map<std::string, std::string> properties{{"DBMS Name", "SQLite"}};
    std::vector<std::pair<std::string, std::string>> tables;  // name, type
    std::map<std::string, std::vector<FakeColumn>> columns;
    std::map<std::string, std::vector<std::string>> keys;
    // What readKeys answers for the tables asked: these tables' entries.
    std::map<std::string, KeyColumns> onePassKeys;
    // Query text -> its recordset; a query not here fails.
    std::map<std::string, std::function<std::unique_ptr<Recordset>()>> queries;
    std::optional<RuntimeError> tablesError;
    std::string brokenTable;  // its columns schema fails as a lost connection would
    std::string completedString;

    mutable std::vector<std::string> log;  // "schema 4 T", "query ...", "property ..."

    std::string property(const std::string& name) const override {
        log.push_back("property " + name);
        if (!properties.count(name)) throwMissingProperty();
        return properties.at(name);
    }

    std::unique_ptr<Recordset> openSchema(SchemaKind kind,
                                          const std::vector<std::optional<std::string>>& r) override {
        const std::string table = r.size() > 2 && r[2] ? *r[2] : "";
        log.push_back("schema " + std::to_string(kind) + (table.empty() ? "" : " " + table));
        auto rs = std::make_unique<MemoryRecordset>(schemaFields(kind), std::vector<std::vector<Variant>>{});
        int ordinal = 0;
        if (kind == kSchemaTables) {
            if (tablesError) throw *tablesError;
            for (const auto& [name, type] : tables) rs->addRow({{}, {}, name, type, {}});
        } else if (kind == kSchemaColumns) {
            if (!brokenTable.empty() && table == brokenTable)
                throw RuntimeError(-2147467259, "Microsoft OLE DB Provider for ODBC Drivers", "Communication link failure");
            for (const FakeColumn& c : columns[table])
                rs->addRow({{}, {}, table, c.name, ++ordinal, Variant::boolean(c.nullable), c.dataType, {},
                            c.precision, c.scale});
        } else
            for (const std::string& k : keys[table]) rs->addRow({{}, {}, table, k, ++ordinal, "PK"});
        return rs;
    }

    std::map<std::string, KeyColumns> readKeys(const std::vector<std::string>& asked) override {
        log.push_back("keys");
        std::map<std::string, KeyColumns> found;
        for (const std::string& t : asked)
            if (const auto k = onePassKeys.find(t); k != onePassKeys.end()) found.insert(*k);
        return found;
    }

    std::unique_ptr<Recordset> openRecordset(const std::string& text) override {
        log.push_back("query " + text);
        if (!queries.count(text)) throw RuntimeError(-2147217900, "Fake", "Invalid object name");
        return queries.at(text)();
    }
    long long execute(const std::string& text) override { return log.push_back("execute " + text), 0; }
    std::string connectionString() const override { return completedString; }
    void close() override {}
};

// A driver manager whose open() hands out a prepared connection (or fails)
// and whose data source list is a script of (return code, name).
class FakeAccess final : public DataAccess {
public:
    struct Open { std::string connectionString, user, password; };
    std::vector<Open> opens;
    std::optional<RuntimeError> openError;
    std::function<std::unique_ptr<FakeConnection>(const std::string&)> make = [](const std::string&) {
        return std::make_unique<FakeConnection>();
    };
    bool envAvailable = true;
    std::vector<std::pair<int, std::string>> sources;
    std::vector<DriverInfo> drivers;

    std::unique_ptr<DataConnection> open(const std::string& cs, const std::string& user,
                                         const std::string& password) override {
        opens.push_back({cs, user, password});
        if (openError) throw *openError;
        return make(cs);
    }
    bool allocEnv() override { return next_ = 0, envAvailable; }
    int nextDataSource(std::string& name, std::string& description) override {
        if (next_ >= sources.size()) return kSqlNoData;
        name = sources[next_].second, description = "Fake Driver";
        return sources[next_++].first;
    }
    std::vector<DriverInfo> listDrivers() override { return drivers; }

private:
    std::size_t next_ = 0;
};

}  // namespace rw::test
