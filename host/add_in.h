#pragma once
// Add-ins of the workbench: the connection interface an add-in class
// implements, the classes the workbench can create (by programmatic
// identifier), and the list of registered add-ins kept in the workbench's
// settings.
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace rw::host {

class VBE;

// How an add-in came to be connected.
enum ConnectMode : int {
    kConnectAfterStartup = 0,  // loaded in the Add-In Manager once the workbench was up
    kConnectStartup = 1,       // loaded while the workbench starts
    kConnectExternal = 2,      // started from outside (rowwright-gui --wizard)
};

// Why an add-in is disconnected.
enum RemoveMode : int {
    kRemoveHostShutdown = 0,  // the workbench closes
    kRemoveUserClosed = 1,    // unloaded in the Add-In Manager
};

// The add-in as the workbench knows it, passed on connection.
struct AddIn {
    std::string progId;
    std::string description;
    bool connected = false;
};

// Extra arguments of the connection events; the workbench passes none.
using Custom = std::vector<std::string>;

// What an add-in class implements. A failure that escapes an event is
// reported by the workbench and does not stop it.
class AddInInstance {
public:
    virtual ~AddInInstance() = default;
    virtual void OnConnection(VBE* Application, int ConnectMode, AddIn* AddInInst, Custom& custom) = 0;
    virtual void OnDisconnection(int RemoveMode, Custom& custom) = 0;
    // Raised once, after start-up, for the add-ins connected at start-up.
    virtual void OnStartupComplete(Custom& custom) { (void)custom; }
};

// The add-in classes the workbench can create, by programmatic identifier
// ("RwtAddIn.Rowwright"): what the system's class registration gives an
// environment that is asked for an object.
class AddInClasses {
public:
    using Factory = std::function<std::unique_ptr<AddInInstance>()>;
    void add(const std::string& progId, Factory factory) { factories_[progId] = std::move(factory); }
    // A new object of the class, or null when there is no such class.
    std::unique_ptr<AddInInstance> create(const std::string& progId) const;

private:
    std::map<std::string, Factory> factories_;
};

// One registered add-in.
struct AddInEntry {
    std::string progId;
    std::string displayName;
    std::string description;
    bool loadOnStartup = false;
};

// The workbench's list of registered add-ins, in its settings file
// (organization "Rowwright", application "Workbench"), one group per add-in
// under "Addins". Only a registered add-in is offered and loaded.
class AddInRegistry {
public:
    AddInRegistry(QString organization = QStringLiteral("Rowwright"), QString application = QStringLiteral("Workbench"));

    // The registered add-ins, sorted by programmatic identifier.
    std::vector<AddInEntry> entries() const;
    std::optional<AddInEntry> find(const std::string& progId) const;
    // The list has been written (an add-in registered, even if every one
    // was unregistered since): false only before the first registration.
    bool written() const;
    // Adds the add-in, or updates its name and description; a registration
    // already there keeps its load-on-start-up choice.
    void add(const AddInEntry& entry);
    // Returns false when it was not registered.
    bool remove(const std::string& progId);
    void setLoadOnStartup(const std::string& progId, bool load);

private:
    QString organization_;
    QString application_;
};

}  // namespace rw::host
