#pragma once
// The welcome page of the wizard (rowwright_wizard) behind the add-in
// object: one wizard, made when the page is first needed, whose pages
// reach the workbench's loaded projects.
#include <memory>

#include "host/rowwright_add_in.h"
#include "wizard/wizard.h"

namespace rw::wizard {
class FrmAddInMain;
}

namespace rw::host {

class QtWizardLauncher final : public WizardLauncher {
public:
    // `services.environment` is the workbench's environment.
    explicit QtWizardLauncher(wizard::WizardServices services);
    // Pages still loaded go with the wizard.
    ~QtWizardLauncher() override;

    bool isLoaded() const override;
    void load(VBE* vbInstance, Rowwright* connect) override;
    void show() override;
    void hide() override;
    bool isVisible() const override;
    void unload() override;

    // The wizard, once made; null before.
    wizard::Wizard* wizard() const { return wizard_.get(); }
    wizard::FrmAddInMain* page() const;

private:
    wizard::WizardServices services_;
    std::unique_ptr<wizard::Wizard> wizard_;
};

}  // namespace rw::host
