#pragma once
// rowwright-gui as the workbench: the window over the real file system,
// data layer and clock, with the add-in class RwtAddIn.Rowwright available,
// and the add-in's self-registration.
#include <string>
#include <vector>

#include "host/add_in.h"
#include "wizard/wizard.h"

namespace rw::host {

struct WorkbenchOptions {
    std::vector<std::string> openProjects;  // --open FILE.vbp, in order
    std::string now;                        // --now YYYY-MM-DDTHH:MM:SS (empty: the clock)
    bool external = false;                  // --wizard: the add-in is started from outside
};

// Makes RwtAddIn.Rowwright available to the workbench: each object gets a
// wizard over `services`; `ui` shows its connection failures.
void addRowwrightClass(AddInClasses& classes, const wizard::WizardServices& services, Ui& ui);

// Runs the workbench until it closes; the exit status. Needs a QApplication.
int runWorkbench(const WorkbenchOptions& options);

// --register and --unregister: 0 on success; a failure is written to
// standard error and gives 1.
int registerAddIn();
int unregisterAddIn();

}  // namespace rw::host
