#include "host_support.h"

#include "host/settings_store.h"
#include "host/workbench_app.h"

namespace rw::test {

QStringList treeLabels(const QTreeWidget* tree) {
    QStringList labels;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        labels << tree->topLevelItem(i)->text(0);
        for (int j = 0; j < tree->topLevelItem(i)->childCount(); ++j)
            labels << QStringLiteral("  ") + tree->topLevelItem(i)->child(j)->text(0);
    }
    return labels;
}

// Forgets the add-in's setting and the workbench's add-in list.
static void clearSettings() {
    QSettings(QStringLiteral("Rowwright"), QStringLiteral("Rowwright")).clear();
    QSettings(QStringLiteral("Rowwright"), QStringLiteral("Workbench")).clear();
}

std::string storedDisplayOnConnect() {
    return host::GetSetting(host::kSettingsApp, host::kSettingsSection, host::kDisplayOnConnect, "<absent>");
}

void storeDisplayOnConnect(const std::string& value) {
    host::SaveSetting(host::kSettingsApp, host::kSettingsSection, host::kDisplayOnConnect, value);
}

HostHarness::HostHarness(std::unique_ptr<FileSystem> files) : WizardHarness(std::move(files)) {
    clearSettings();
    host::addRowwrightClass(classes, {ui, fakeData, environment, *fs, clock, tempFolders.get(), RW_SOURCE_HELP_DIR},
                            ui);
    restartWorkbench();
}

void HostHarness::restartWorkbench() {
    if (workbench) workbench->close();
    workbench = std::make_unique<host::Workbench>(
        host::WorkbenchServices{ui, environment, registry, classes, bundled ? &*bundled : nullptr});
}

host::Rowwright* HostHarness::addIn() const {
    return dynamic_cast<host::Rowwright*>(workbench->addInObject(host::kAddInProgId));
}

host::QtWizardLauncher* HostHarness::launcher() const {
    host::Rowwright* object = addIn();
    return object != nullptr ? dynamic_cast<host::QtWizardLauncher*>(&object->welcomePage()) : nullptr;
}

wizard::FrmAddInMain* HostHarness::welcomePage() const { return launcher() != nullptr ? launcher()->page() : nullptr; }

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
