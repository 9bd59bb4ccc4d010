#pragma once
// What the wizard remembers from one run to the next: the welcome page's
// options, the project page's target, store folder and project file, the
// connection page's choice and texts (never a password), and the folder the
// file and folder dialogs last went to. A remembered value replaces the
// value a page starts with.
#include <optional>
#include <string>

#include "model/settings.h"

namespace rw::wizard {

struct RememberedChoices {
    std::optional<WelcomeOptions> options;  // nothing before the first run
    std::string target;                     // "loaded", "new" or "existing"; empty: none yet
    std::string kind;                       // "Exe", "OleExe" or "OleDll"
    std::string storeDir;
    std::string projectFile;
    std::string connection;        // "dsn" or "string"
    std::string dsn;
    std::string connectionString;  // kept without its password
    std::string lastFolder;
};

// The per-user settings the choices are kept in: organisation and
// application "Rowwright", group "Wizard".
class WizardMemory {
public:
    RememberedChoices recall() const;
    // Keeps the choices, any password in the connection string left out.
    // A settings file that cannot be written loses them silently: the
    // wizard works as well without.
    void keep(const RememberedChoices& choices);
};

}  // namespace rw::wizard
