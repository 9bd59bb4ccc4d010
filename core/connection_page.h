#pragma once
// The connection page's logic: the two ways of describing the database,
// choosing a data source, the checks of Next and opening the wizard
// connection.
#include <functional>
#include <memory>
#include <string>

#include "model/settings.h"
#include "platform/data_access.h"
#include "platform/ui.h"

namespace rw {

// The login dialog: shown with a data source name; on OK writes the user
// name and password and returns true.
using LoginDialog = std::function<bool(const std::string& dsn, std::string& user, std::string& password)>;

// The login dialog's caption for a data source.
std::string loginCaption(const std::string& dsn);

// The text after the first occurrence of `key` (such as "UID=") up to the
// next ";" or the end of the text; empty when `key` does not occur.
std::string valueAfterKey(const std::string& text, const std::string& key);

class ConnectionPage {
public:
    // Which controls the option buttons enable.
    struct Controls {
        bool txtDSN;
        bool cmdDSN;
        bool txtConnString;
        bool cmdOLEDB;
    };

    static std::string caption();
    static std::string instructions();
    static std::string noDsnMessage();
    static std::string noConnectionStringMessage();
    // Shown by the data source dialog when there is no data source: where
    // data sources are defined, and that a connection string will do.
    static std::string noDataSourcesHint();

    // The option buttons. Neither clears a text.
    void chooseDSN();
    void chooseDSNLess();
    Controls controls() const;

    // "...": the data source dialog. On OK the chosen data source is opened
    // to read its name and its user and password; any failure (a cancelled
    // dialog above all) ends this silently.
    void chooseDataSource(DataAccess& access, Ui& ui);

    // "...": the connection builder; its result (empty when cancelled)
    // replaces the connection string. Errors are shown with
    // " (frmConnection.cmdOLEDB_Click)".
    void buildConnectionString(Ui& ui, const std::function<std::string()>& builder);

    // Next: the checks, the login dialog when no login is known, and
    // opening moConn. True when moConn is open (the table page comes next);
    // false when a message was shown or the login was cancelled.
    bool next(DataAccess& access, Ui& ui, const LoginDialog& login);

    // Unloading closes the connection; a failure there is silent.
    void unload();

    // What the later pages and the generators read.
    ConnectionPageValues values() const { return {optDSN, optDSNLess, txtConnString}; }

    bool optDSN = true;
    bool optDSNLess = false;
    std::string txtDSN;
    std::string txtConnString;
    std::string msUserName;
    std::string msPassword;
    std::unique_ptr<DataConnection> moConn;
};

}  // namespace rw
