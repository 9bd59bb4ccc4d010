#pragma once
// The OLE DB connection builder's logic: the five providers and the
// registered ODBC drivers, the fields each shows, the checks of the required
// values with their messages, the strings built, the data source list, OK
// and Test.
#include <optional>
#include <string>
#include <vector>

#include "platform/data_access.h"
#include "platform/ui.h"

namespace rw {

struct OleDbProviderInfo {
    const char* name;  // as listed, and as the messages name it
    bool server;       // txtServer and lblServer shown
    bool database;     // txtDatabase and lblDB shown
    bool databaseButton;  // cmdDB shown
    bool dsnList;      // cboDSNList and lblDSN shown
};

// The five providers, in the order they are listed.
const std::vector<OleDbProviderInfo>& oleDbProviders();

// What a driver's connection string needs: a database file, or a server
// with its port, database, user and password.
enum class DriverFields { DatabaseFile, Server };

// A driver whose name or library ("Driver=" attribute) mentions SQLite
// takes a database file; any other takes a server.
DriverFields driverFields(const DriverInfo& driver);

// A registered driver as the builder lists it, after the providers.
struct DriverChoice {
    std::string name;
    DriverFields fields;
};

class OleDbBuilder {
public:
    static std::string caption();

    // Fills the data source list (SQLAllocEnv, then SQLDataSources until a
    // call does not return 0; blank names left out) and the provider list:
    // the five providers, then the registered drivers.
    // Errors are shown with " (frmOLEDBLogin.GetDSNsAndProviders)".
    void getDSNsAndProviders(DataAccess& access, Ui& ui);

    // Choosing a provider or a driver; a text that names none of them
    // changes nothing.
    void chooseProvider(const std::string& text);
    // Choosing or typing in the data source list: typing leaves no entry
    // selected.
    void selectDataSource(int index);
    void typeDataSource(const std::string& text);

    // The database file chosen in the open dialog (none: cancelled). The
    // file must exist and be readable; errors are shown with
    // " (frmOLEDBLogin.cmdDB_Click)".
    void chooseDatabaseFile(Ui& ui, const std::optional<std::string>& path);

    // The filter of the database file dialog for the chosen entry.
    std::string databaseFileFilter() const;

    // The checks of the chosen provider or driver; shows the first failing
    // one's message and returns std::nullopt, else returns the string
    // (empty for a text that names none of them). A driver gets an ODBC
    // string that names it: DRIVER={name};DATABASE=file; or
    // DRIVER={name};SERVER=;PORT=;DATABASE=;UID=;PWD= (empty values left out).
    std::optional<std::string> checkAndBuild(Ui& ui) const;

    // OK: true when the dialog closes with its result set.
    bool ok(Ui& ui);
    // Test Connection: opens and closes a connection with the built string
    // and shows "Test successful!"; errors are shown with
    // " (frmOLEDBLogin.cmdTest_Click)". The result is not changed.
    void test(DataAccess& access, Ui& ui);
    // Cancel: the dialog closes with an empty result.
    void cancel() {}

    const std::string& result() const { return result_; }

    // The controls.
    std::vector<std::string> cboProviders;
    std::string cboProvidersText;
    std::vector<DriverChoice> drivers;  // listed after the providers
    std::vector<std::string> cboDSNList;
    std::string cboDSNListText;
    int cboDSNListIndex = -1;
    std::string txtServer, txtPort, txtDatabase, txtUID, txtPWD;
    // Which of the optional fields are shown (login: txtUID and txtPWD).
    bool serverShown = true, portShown = true, databaseShown = true, databaseButtonShown = true,
         dsnListShown = true, loginShown = true;

private:
    const DriverChoice* chosenDriver() const;

    std::string result_;
};

}  // namespace rw
