#include "host/workbench_app.h"

#include <QApplication>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>

#include "answers/clock_choice.h"
#include "host/help_folder.h"
#include "host/rowwright_add_in.h"
#include "host/wizard_launcher.h"
#include "host/workbench.h"
#include "platform/db/odbc.h"
#include "platform/ide/environment.h"
#include "wizard/qt_ui.h"

namespace rw::host {

void addRowwrightClass(AddInClasses& classes, const wizard::WizardServices& services, Ui& ui) {
    classes.add(kAddInProgId, [services, &ui]() -> std::unique_ptr<AddInInstance> {
        return std::make_unique<Rowwright>(std::make_unique<QtWizardLauncher>(services), ui);
    });
}

int runWorkbench(const WorkbenchOptions& options) {
    std::unique_ptr<Clock> clock;
    try {
        std::optional<std::string> now;
        if (!options.now.empty()) now = options.now;
        std::optional<std::string> epoch;
        if (const char* value = std::getenv("SOURCE_DATE_EPOCH")) epoch = value;
        clock = chooseClock(now, epoch);
    } catch (const std::exception& e) {
        std::cerr << "rowwright-gui: " << e.what() << '\n';
        return 2;
    }

    PosixFileSystem fs;
    ide::Environment environment(fs);
    db::OdbcOptions odbc;
    odbc.drivers = db::oleDbDriversFromEnvironment();
    db::OdbcDataAccess data(odbc);
    wizard::QtUi ui;
    AddInRegistry registry;
    AddInClasses classes;
    wizard::WizardMemory memory;
    addRowwrightClass(classes, {ui, data, environment, fs, *clock, nullptr, findHelpFolder(), &memory}, ui);

    const AddInEntry bundled = rowwrightRegistration();
    Workbench workbench({ui, environment, registry, classes, &bundled});
    // The window first, so that a project that cannot be opened is said
    // over it; the projects before the add-ins, so that a wizard opened at
    // start-up finds them.
    workbench.show();
    for (const std::string& path : options.openProjects) workbench.openProject(path);
    workbench.startUp(options.external ? kAddInProgId : "");
    return QApplication::exec();
}

int registerAddIn() {
    try {
        AddInRegistry registry;
        DllRegisterServer(registry);
    } catch (const std::exception& e) {
        std::cerr << "rowwright-gui: the add-in could not be registered: " << e.what() << '\n';
        return 1;
    }
    return 0;
}

int unregisterAddIn() {
    try {
        AddInRegistry registry;
        DllUnregisterServer(registry);
    } catch (const std::exception& e) {
        std::cerr << "rowwright-gui: the add-in could not be unregistered: " << e.what() << '\n';
        return 1;
    }
    return 0;
}

}  // namespace rw::host
