#include "core/connection_page.h"

#include "model/gen_context.h"
#include "model/product.h"
#include "platform/runtime_error.h"

namespace rw {

namespace {

std::string trimmedSpaces(const std::string& s) {
    const auto b = s.find_first_not_of(' ');
    if (b == std::string::npos) return "";
    return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

}  // namespace

std::string loginCaption(const std::string& dsn) { return dsn + " Login"; }

std::string valueAfterKey(const std::string& text, const std::string& key) {
    const auto at = text.find(key);
    if (at == std::string::npos) return "";
    const auto start = at + key.size();
    const auto end = text.find(';', start);
    return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

std::string ConnectionPage::caption() { return std::string(product::kDisplayName) + " - Choose Connection"; }

std::string ConnectionPage::instructions() {
    return std::string("Choose whether you wish to use an ODBC DSN connection ") +
           "or a DSN-less or OLE DB connection. A DSN-less connection " +
           "requires that you manually enter a complete and accurate " +
           "connection string.  For an OLE DB connecton, you can either " +
           "enter the connection string for your provider manually, " +
           "or click the 'Choose OLE DB Provider' button which will " +
           "display a dialog box to assist you in connecting to your " + "OLE DB provider.";
}

std::string ConnectionPage::noDsnMessage() {
    return std::string("You have chosen to use a DSN connection but have not chosen one.  ") + product::kDisplayName +
           " can not continue until you do.";
}

std::string ConnectionPage::noConnectionStringMessage() {
    return std::string("You have chosen to use a DSN-less connection but have not entered a connection string.  ") +
           product::kDisplayName + " can not continue until you do.";
}

std::string ConnectionPage::noDataSourcesHint() {
    return "No data sources are defined. unixODBC reads them from ~/.odbc.ini or the file named by ODBCINI, and "
           "from the system's odbc.ini (in /etc, or in the folder named by ODBCSYSINI). A connection string can be "
           "typed instead: choose \"Use DSN-less or OLE DB Connection\" on the connection page.";
}

void ConnectionPage::chooseDSN() {
    optDSN = true;
    optDSNLess = false;
}

void ConnectionPage::chooseDSNLess() {
    optDSN = false;
    optDSNLess = true;
}

ConnectionPage::Controls ConnectionPage::controls() const { return {optDSN, optDSN, !optDSN, !optDSN}; }

void ConnectionPage::chooseDataSource(DataAccess& access, Ui& ui) {
    try {
        std::vector<std::string> names;
        for (DataSourceInfo& d : listDataSources(access)) names.push_back(std::move(d.name));
        std::string chosen;
        if (!ui.promptDataSource(names, chosen)) return;
        std::unique_ptr<DataConnection> conn = access.open(chosen, "", "");
        txtDSN = conn->property("Data Source Name");
        const std::string completed = conn->connectionString();
        msUserName = valueAfterKey(completed, "UID=");
        msPassword = valueAfterKey(completed, "PWD=");
        conn->close();
    } catch (const RuntimeError&) {
        // The dialog's failures are silent; what was set stays set.
    }
}

void ConnectionPage::buildConnectionString(Ui& ui, const std::function<std::string()>& builder) {
    guarded(ui, "frmConnection.cmdOLEDB_Click", [&] { txtConnString = builder(); });
}

bool ConnectionPage::next(DataAccess& access, Ui& ui, const LoginDialog& login) {
    bool opened = false;
    guarded(ui, "frmConnection.cmdNext_Click", [&] {
        if (optDSN) {
            if (trimmedSpaces(txtDSN).empty()) {
                ui.msgBox(noDsnMessage(), kStyleInformation);
                return;
            }
            if (msUserName.empty() && msPassword.empty()) {
                std::string user, password;
                if (!login(txtDSN, user, password)) return;
                msUserName = user;
                msPassword = password;
            }
            if (moConn) unload();
            moConn = access.open(txtDSN, msUserName, msPassword);
        } else {
            if (trimmedSpaces(txtConnString).empty()) {
                ui.msgBox(noConnectionStringMessage(), kStyleInformation);
                return;
            }
            if (moConn) unload();
            moConn = access.open(txtConnString, "", "");
        }
        opened = true;
    });
    return opened;
}

void ConnectionPage::unload() {
    if (!moConn) return;
    try {
        moConn->close();
    } catch (const RuntimeError&) {
    }
    moConn.reset();
}

}  // namespace rw
