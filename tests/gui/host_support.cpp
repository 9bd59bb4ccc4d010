#include "host_support.h"

#include "host/workbench_app.h"

namespace rw::test {

HostHarness::HostHarness(std::unique_ptr<FileSystem> files) : WizardHarness(std::move(files)) {
    QSettings(QStringLiteral("Rowwright"), QStringLiteral("Rowwright")).clear();
    QSettings(QStringLiteral("Rowwright"), QStringLiteral("Workbench")).clear();
    host::addRowwrightClass(classes, {ui, fakeData, environment, *fs, clock, tempFolders.get(), RW_SOURCE_HELP_DIR}, ui);
    restartWorkbench();
}

void HostHarness::restartWorkbench() {
    if (workbench) workbench->close();
    workbench = std::make_unique<host::Workbench>(
        host::WorkbenchServices{ui, environment, registry, classes, bundled ? &*bundled : nullptr});
}

host::QtWizardLauncher* HostHarness::launcher() const {
    return addIn() != nullptr ? dynamic_cast<host::QtWizardLauncher*>(&addIn()->welcomePage()) : nullptr;
}

QList<QAction*> HostHarness::addInActions() const {
    QList<QAction*> added;
    for (QAction* action : workbench->addInsMenu->actions())
        if (action != workbench->actAddInManager && !action->isSeparator()) added << action;
    return added;
}

QAction* HostHarness::menuEntry() const {
    for (QAction* action : addInActions())
        if (action->text() == QLatin1String(host::kMenuCaption)) return action;
    return nullptr;
}

}  // namespace rw::test
