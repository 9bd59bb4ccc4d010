#include "core/oledb_builder.h"

#include <fstream>

#include "model/gen_context.h"
#include "model/product.h"
#include "platform/connection_strings.h"
#include "platform/runtime_error.h"

namespace rw {

namespace {

enum ProviderIndex { kSqlServer = 0, kOracle, kJet351, kJet40, kOdbc };

std::string missingValue(const char* provider, const char* what) {
    return std::string("You have requested to use the ") + provider + ", " + "but you have not " + what + ".  " +
           product::kDisplayName + " can not " + "continue with your request until you do so.";
}

bool mentionsSqlite(const std::string& text) {
    std::string lower = text;
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lower.find("sqlite") != std::string::npos;
}

int providerIndex(const std::string& text) {
    const auto& providers = oleDbProviders();
    for (std::size_t i = 0; i < providers.size(); ++i)
        if (text == providers[i].name) return static_cast<int>(i);
    return -1;
}

}  // namespace

const std::vector<OleDbProviderInfo>& oleDbProviders() {
    static const std::vector<OleDbProviderInfo> providers{
        {"Microsoft OLE DB Provider for SQL Server", true, true, false, false},
        {"Microsoft OLE DB Provider for Oracle", true, false, false, false},
        {"Microsoft Jet 3.51 OLE DB Provider", false, true, true, false},
        {"Microsoft Jet 4.0 OLE DB Provider", false, true, true, false},
        {"Microsoft OLE DB Provider for ODBC Drivers", false, false, false, true},
    };
    return providers;
}

DriverFields driverFields(const DriverInfo& driver) {
    bool file = mentionsSqlite(driver.name);
    for (const std::string& attribute : driver.attributes)
        if (const auto library = connectionStringValue(attribute, "Driver"); library && mentionsSqlite(*library))
            file = true;
    return file ? DriverFields::DatabaseFile : DriverFields::Server;
}

std::string OleDbBuilder::caption() { return std::string(product::kDisplayName) + " - OLE DB Connection Builder"; }

void OleDbBuilder::getDSNsAndProviders(DataAccess& access, Ui& ui) {
    guarded(ui, "frmOLEDBLogin.GetDSNsAndProviders", [&] {
        if (access.allocEnv()) {
            // Every call asks for the next entry; the loop ends at the first
            // return code other than 0, whatever it is.
            int rc = kSqlSuccess;
            do {
                std::string name, description;
                rc = access.nextDataSource(name, description);
                if (name.find_first_not_of(' ') != std::string::npos) cboDSNList.push_back(name);
            } while (rc == kSqlSuccess);
        }
        for (const OleDbProviderInfo& p : oleDbProviders()) cboProviders.emplace_back(p.name);
        for (const DriverInfo& d : access.listDrivers()) {
            drivers.push_back({d.name, driverFields(d)});
            cboProviders.push_back(d.name);
        }
    });
}

const DriverChoice* OleDbBuilder::chosenDriver() const {
    // A provider's name is never taken for a driver's.
    if (providerIndex(cboProvidersText) >= 0) return nullptr;
    for (const DriverChoice& d : drivers)
        if (d.name == cboProvidersText) return &d;
    return nullptr;
}

void OleDbBuilder::chooseProvider(const std::string& text) {
    cboProvidersText = text;
    if (const DriverChoice* driver = chosenDriver()) {
        const bool server = driver->fields == DriverFields::Server;
        serverShown = portShown = loginShown = server;
        databaseShown = true;
        databaseButtonShown = !server;
        dsnListShown = false;
        return;
    }
    const int index = providerIndex(text);
    if (index < 0) return;
    const OleDbProviderInfo& p = oleDbProviders()[static_cast<std::size_t>(index)];
    serverShown = p.server;
    portShown = false;
    databaseShown = p.database;
    databaseButtonShown = p.databaseButton;
    dsnListShown = p.dsnList;
    loginShown = true;
}

std::string OleDbBuilder::databaseFileFilter() const {
    if (const DriverChoice* driver = chosenDriver(); driver && driver->fields == DriverFields::DatabaseFile)
        return "SQLite Databases (*.db;*.sqlite;*.sqlite3)|*.db;*.sqlite;*.sqlite3|All Files (*)|*";
    return "Access DB Files (*.mdb)|*.mdb";
}

void OleDbBuilder::selectDataSource(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= cboDSNList.size()) {
        cboDSNListIndex = -1;
        return;
    }
    cboDSNListIndex = index;
    cboDSNListText = cboDSNList[static_cast<std::size_t>(index)];
}

void OleDbBuilder::typeDataSource(const std::string& text) {
    cboDSNListText = text;
    cboDSNListIndex = -1;
}

void OleDbBuilder::chooseDatabaseFile(Ui& ui, const std::optional<std::string>& path) {
    if (!path) return;  // the dialog was cancelled
    guarded(ui, "frmOLEDBLogin.cmdDB_Click", [&] {
        std::ifstream file(*path);
        if (!file) throw fileErrorNumber(kErrFileNotFound);
        txtDatabase = *path;
    });
}

std::optional<std::string> OleDbBuilder::checkAndBuild(Ui& ui) const {
    auto refuse = [&](const char* provider, const char* what) {
        ui.msgBox(missingValue(provider, what), kStyleExclamation);
        return std::nullopt;
    };
    const char* const server = "indicated a server";
    const char* const database = "indicated a database";
    const std::string login = ";User ID=" + txtUID + ";Password=" + txtPWD + ";";
    const int index = providerIndex(cboProvidersText);
    const char* name = index >= 0 ? oleDbProviders()[static_cast<std::size_t>(index)].name : "";
    switch (index) {
        case kSqlServer:
            if (txtServer.empty()) return refuse(name, server);
            if (txtDatabase.empty()) return refuse(name, database);
            return "PROVIDER=SQLOLEDB;Data Source=" + txtServer + ";Initial Catalog=" + txtDatabase + login;
        case kOracle:
            if (txtServer.empty()) return refuse(name, server);
            return "PROVIDER=MSDAORA;Data Source=" + txtServer + login;
        case kJet351:
            if (txtDatabase.empty()) return refuse(name, database);
            return "PROVIDER=Microsoft.Jet.OLEDB.3.51;Data Source=" + txtDatabase + login;
        case kJet40:
            if (txtDatabase.empty()) return refuse(name, database);
            return "PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=" + txtDatabase + login;
        case kOdbc:
            if (cboDSNListIndex < 0) return refuse(name, "selected a DSN");
            return "PROVIDER=MSDASQL;Data Source=" + cboDSNListText + login;
        default: break;
    }
    const DriverChoice* driver = chosenDriver();
    if (driver == nullptr) return std::string();
    const std::string phrase = driver->name + " ODBC driver";
    if (driver->fields == DriverFields::DatabaseFile) {
        if (txtDatabase.empty()) return refuse(phrase.c_str(), database);
        return driverConnectionString(driver->name, {{"DATABASE", txtDatabase}});
    }
    if (txtServer.empty()) return refuse(phrase.c_str(), server);
    return driverConnectionString(driver->name, {{"SERVER", txtServer},
                                                 {"PORT", txtPort},
                                                 {"DATABASE", txtDatabase},
                                                 {"UID", txtUID},
                                                 {"PWD", txtPWD}});
}

bool OleDbBuilder::ok(Ui& ui) {
    bool closes = false;
    guarded(ui, "frmOLEDBLogin.cmdOK_Click", [&] {
        const std::optional<std::string> built = checkAndBuild(ui);
        if (!built) return;
        result_ = *built;
        closes = true;
    });
    return closes;
}

void OleDbBuilder::test(DataAccess& access, Ui& ui) {
    guarded(ui, "frmOLEDBLogin.cmdTest_Click", [&] {
        const std::optional<std::string> built = checkAndBuild(ui);
        if (!built) return;
        {
            BusyPointer busy(ui);
            std::unique_ptr<DataConnection> conn = access.open(*built, "", "");
            conn->close();
        }
        ui.msgBox("Test successful!", kStyleInformation);
    });
}

}  // namespace rw
