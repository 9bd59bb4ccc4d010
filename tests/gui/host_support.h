#pragma once
// A workbench with the Rowwright add-in class over the wizard harness's
// scripted and in-memory services, with no settings stored.
#include "host/add_in.h"
#include "host/rowwright_add_in.h"
#include "host/wizard_launcher.h"
#include "host/workbench.h"
#include "support/gui_support.h"

namespace rw::test {

struct HostHarness : WizardHarness {
    explicit HostHarness(std::unique_ptr<FileSystem> files = nullptr);  // null: in memory
    ~HostHarness() { workbench.reset(); }
    // Closes the workbench (as its close box does) and makes a new one, not yet started up.
    void restartWorkbench();
    host::Rowwright* addIn() const { return dynamic_cast<host::Rowwright*>(workbench->addInObject(host::kAddInProgId)); }
    host::QtWizardLauncher* launcher() const;
    wizard::FrmAddInMain* welcomePage() const { return launcher() != nullptr ? launcher()->page() : nullptr; }
    bool welcomeShown() const { return welcomePage() != nullptr && welcomePage()->isVisible(); }
    // The actions add-ins put into the "Add-Ins" menu, in order; the one called "Rowwright!", or null.
    QList<QAction*> addInActions() const;
    QAction* menuEntry() const;
    host::AddInRegistry registry;
    host::AddInClasses classes;
    std::optional<host::AddInEntry> bundled;  // for workbenches made from now on
    std::unique_ptr<host::Workbench> workbench;
};

}  // namespace rw::test
