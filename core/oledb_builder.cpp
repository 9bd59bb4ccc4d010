#include "core/oledb_builder.h"

#include <fstream>

#include "core/gen_context.h"
#include "core/product.h"
#include "platform/runtime_error.h"

namespace rw {

namespace {

enum ProviderIndex { kSqlServer = 0, kOracle, kJet351, kJet40, kOdbc };

std::string missingValue(const char* provider, const char* what) {
    return std::string("You have requested to use the ") + provider + ", " + "but you have not " + what + ".  " +
           product::kDisplayName + " can not " + "continue with your request until you do so.";
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
    });
}

void OleDbBuilder::chooseProvider(const std::string& text) {
    cboProvidersText = text;
    const int index = providerIndex(text);
    if (index < 0) return;
    const OleDbProviderInfo& p = oleDbProviders()[static_cast<std::size_t>(index)];
    serverShown = p.server;
    databaseShown = p.database;
    databaseButtonShown = p.databaseButton;
    dsnListShown = p.dsnList;
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
        default: return std::string();
    }
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
