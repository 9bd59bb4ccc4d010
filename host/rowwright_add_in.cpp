#include "host/rowwright_add_in.h"

#include <exception>

#include "host/settings_store.h"
#include "platform/runtime_error.h"

namespace rw::host {

const char* const kAddInDescription =
    "Rowwright generates Visual Basic 6 data-access code from a database schema: for every table you choose, an "
    "object class that holds one row and writes it back, and a collection class that adds, loads and removes rows, "
    "together with a shared connection class and an optional error-handling module, written into a new project, an "
    "existing project or the project loaded in the workbench.";

namespace {

// A message box with the OK button and no icon.
constexpr int kStyleOkOnly = 0;

std::string describe(const std::exception& e) {
    if (const auto* runtime = dynamic_cast<const RuntimeError*>(&e)) return runtime->description;
    return e.what();
}

}  // namespace

Rowwright::Rowwright(std::unique_ptr<WizardLauncher> launcher, Ui& ui) : launcher_(std::move(launcher)), ui_(ui) {}

Rowwright::~Rowwright() = default;

void Rowwright::OnConnection(VBE* Application, int ConnectMode, AddIn* AddInInst, Custom& custom) {
    (void)AddInInst;
    (void)custom;
    try {
        VBInstance = Application;
        if (ConnectMode == kConnectExternal) {
            Show();
        } else {
            mcbMenuCommandBar = AddToAddInCommandBar(kMenuCaption);
            // Without an "Add-Ins" bar there is no button to listen to: the
            // connection goes on without a menu entry, and says nothing.
            if (mcbMenuCommandBar) {
                MenuHandler = &VBInstance->events().CommandBarEvents(mcbMenuCommandBar);
                connect(MenuHandler, &CommandBarEvents::Click, this,
                        [this](CommandBarControl* control, bool& handled, bool& cancelDefault) {
                            // The click is an event of its own; its failure
                            // is shown like the connection's.
                            try {
                                MenuHandler_Click(control, handled, cancelDefault);
                            } catch (const std::exception& e) {
                                ui_.msgBox(describe(e), kStyleOkOnly);
                            }
                        });
            }
        }
        if (ConnectMode == kConnectAfterStartup) showIfDisplayedLastTime();
    } catch (const std::exception& e) {
        ui_.msgBox(describe(e), kStyleOkOnly);
    }
}

void Rowwright::OnStartupComplete(Custom& custom) {
    (void)custom;
    showIfDisplayedLastTime();
}

void Rowwright::showIfDisplayedLastTime() {
    if (GetSetting(kSettingsApp, kSettingsSection, kDisplayOnConnect, "0") == "1") Show();
}

void Rowwright::MenuHandler_Click(CommandBarControl* CommandBarControl, bool& handled, bool& CancelDefault) {
    (void)CommandBarControl;
    (void)handled;
    (void)CancelDefault;
    Show();
}

void Rowwright::OnDisconnection(int RemoveMode, Custom& custom) {
    (void)RemoveMode;
    (void)custom;
    // A connection without an "Add-Ins" bar made no button.
    if (mcbMenuCommandBar && !mcbMenuCommandBar->isDeleted()) mcbMenuCommandBar->Delete();
    mcbMenuCommandBar = nullptr;
    MenuHandler = nullptr;

    // The welcome page is unloaded even when the setting cannot be saved;
    // that failure is passed on afterwards.
    std::exception_ptr saveFailure;
    try {
        if (FormDisplayed) {
            SaveSetting(kSettingsApp, kSettingsSection, kDisplayOnConnect, "1");
            FormDisplayed = false;
        } else {
            SaveSetting(kSettingsApp, kSettingsSection, kDisplayOnConnect, "0");
        }
    } catch (...) {
        saveFailure = std::current_exception();
    }
    launcher_->unload();
    if (saveFailure) std::rethrow_exception(saveFailure);
}

void Rowwright::Show() {
    launcher_->load(VBInstance, this);
    FormDisplayed = true;
    launcher_->show();
}

void Rowwright::Hide() {
    FormDisplayed = false;
    launcher_->load(VBInstance, this);
    launcher_->hide();
}

CommandBarControl* Rowwright::AddToAddInCommandBar(const std::string& sCaption) {
    try {
        if (VBInstance == nullptr) return nullptr;
        CommandBar* bar = VBInstance->CommandBars("Add-Ins");
        if (bar == nullptr) return nullptr;
        CommandBarControl& button = bar->Controls().Add(kControlButton);
        button.setCaption(sCaption);
        return &button;
    } catch (...) {
        return nullptr;
    }
}

AddInEntry rowwrightRegistration() { return {kAddInProgId, kAddInDisplayName, kAddInDescription, true}; }

void DllRegisterServer(AddInRegistry& registry) { registry.add(rowwrightRegistration()); }

void DllUnregisterServer(AddInRegistry& registry) { registry.remove(kAddInProgId); }

}  // namespace rw::host
