#pragma once
// What the workbench tests share: private settings files, and a workbench
// with the Rowwright add-in class over scripted and in-memory services.
#include "host/add_in.h"
#include "host/rowwright_add_in.h"
#include "host/wizard_launcher.h"
#include "host/workbench.h"
#include "support/gui_support.h"

namespace rw::test {

// "DisplayOnConnect" as stored, or "<absent>"; storing it.
std::string storedDisplayOnConnect();
void storeDisplayOnConnect(const std::string& value);

// The workbench tree's labels: each project, then its components indented.
QStringList treeLabels(const QTreeWidget* tree);

// The wizard harness's services, shared by the add-in.
struct HostHarness : WizardHarness {
    // `fs` null: an in-memory file system. Starts with no settings stored.
    explicit HostHarness(std::unique_ptr<FileSystem> files = nullptr);
    ~HostHarness() { workbench.reset(); }
    // Closes the workbench (as its close box does) and makes a new one over
    // the same services, not yet started up.
    void restartWorkbench();
    host::Rowwright* addIn() const;
    host::QtWizardLauncher* launcher() const;
    wizard::FrmAddInMain* welcomePage() const;  // or null
    bool welcomeShown() const { return welcomePage() != nullptr && welcomePage()->isVisible(); }
    // The actions add-ins put into the "Add-Ins" menu, in order; the one called "Rowwright!", or null.
    QList<QAction*> addInActions() const;
    QAction* menuEntry() const;
    host::AddInRegistry registry;
    host::AddInClasses classes;
    // The workbench's bundled add-in, for workbenches made from now on.
    std::optional<host::AddInEntry> bundled;
    std::unique_ptr<host::Workbench> workbench;
};

}  // namespace rw::test
