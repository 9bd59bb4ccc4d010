#include "host/wizard_launcher.h"

#include "wizard/frm_add_in_main.h"

namespace rw::host {

QtWizardLauncher::QtWizardLauncher(wizard::WizardServices services) : services_(std::move(services)) {}

QtWizardLauncher::~QtWizardLauncher() = default;

wizard::FrmAddInMain* QtWizardLauncher::page() const { return wizard_ ? wizard_->loadedAddInMain() : nullptr; }

bool QtWizardLauncher::isLoaded() const { return page() != nullptr; }

void QtWizardLauncher::load(VBE* vbInstance, Rowwright* connect) {
    if (!wizard_) {
        wizard_ = std::make_unique<wizard::Wizard>(services_);
        // When the wizard's last window closes, the workbench shows what a
        // run changed in its projects, and the add-in knows the wizard is
        // no longer displayed.
        if (vbInstance != nullptr)
            QObject::connect(wizard_.get(), &wizard::Wizard::finished, vbInstance, &VBE::notifyProjectsChanged);
        if (connect != nullptr)
            QObject::connect(wizard_.get(), &wizard::Wizard::finished, connect, &Rowwright::WizardClosed);
    }
    wizard_->frmAddInMain();
}

void QtWizardLauncher::show() {
    if (wizard_) wizard_->bringToFront();
}

void QtWizardLauncher::hide() {
    if (wizard::FrmAddInMain* loaded = page()) loaded->hide();
}

bool QtWizardLauncher::isVisible() const {
    const wizard::FrmAddInMain* loaded = page();
    return loaded != nullptr && loaded->isVisible();
}

void QtWizardLauncher::unload() {
    if (wizard::FrmAddInMain* loaded = page()) loaded->unload();
}

}  // namespace rw::host
