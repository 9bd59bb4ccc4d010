#pragma once
// The add-in class Rowwright of the library RwtAddIn: it puts "Rowwright!"
// into the workbench's "Add-Ins" menu, opens and closes the wizard's
// welcome page, and remembers from one run of the workbench to the next
// whether the wizard was open when it was disconnected.
#include <QObject>
#include <QPointer>
#include <memory>
#include <string>

#include "host/add_in.h"
#include "host/vbe.h"
#include "platform/ui.h"

namespace rw::host {

class Rowwright;

// The welcome page as the add-in object handles it; the wizard stands
// behind it.
class WizardLauncher {
public:
    virtual ~WizardLauncher() = default;
    // A welcome page is loaded (created and not unloaded since).
    virtual bool isLoaded() const = 0;
    // Creates the welcome page when none is loaded, and hands it the
    // environment's root object and the add-in object, whose WizardClosed
    // is called whenever the wizard's last window closes.
    virtual void load(VBE* vbInstance, Rowwright* connect) = 0;
    // Shows the loaded page modelessly (or, when the wizard has gone on to
    // a later page, brings that page to the front), or hides it.
    virtual void show() = 0;
    virtual void hide() = 0;
    virtual bool isVisible() const = 0;
    // Unloads the welcome page, when one is loaded.
    virtual void unload() = 0;
};

// Registration data.
inline constexpr const char* kAddInProgId = "RwtAddIn.Rowwright";
inline constexpr const char* kAddInDisplayName = "Rowwright";
extern const char* const kAddInDescription;

// The settings store's place for the one persisted setting.
inline constexpr const char* kSettingsApp = "Rowwright";
inline constexpr const char* kSettingsSection = "Settings";
inline constexpr const char* kDisplayOnConnect = "DisplayOnConnect";

// The caption of the menu command.
inline constexpr const char* kMenuCaption = "Rowwright!";

class Rowwright final : public QObject, public AddInInstance {
    Q_OBJECT

public:
    // `ui` shows the connection's failures.
    Rowwright(std::unique_ptr<WizardLauncher> launcher, Ui& ui);
    ~Rowwright() override;

    void OnConnection(VBE* Application, int ConnectMode, AddIn* AddInInst, Custom& custom) override;
    void OnDisconnection(int RemoveMode, Custom& custom) override;
    void OnStartupComplete(Custom& custom) override;

    void MenuHandler_Click(CommandBarControl* CommandBarControl, bool& handled, bool& CancelDefault);

    void Show();
    void Hide();
    // The wizard closed itself (Cancel, its report closed, a close box): it
    // is no longer displayed, so it does not reopen at the next start.
    void WizardClosed() { FormDisplayed = false; }
    // Adds a button with the caption to the "Add-Ins" command bar; null
    // when there is no such bar or anything fails.
    CommandBarControl* AddToAddInCommandBar(const std::string& sCaption);

    // The environment's root object, kept from the connection on.
    VBE* VBInstance = nullptr;
    // True while the wizard has been shown through this object and has
    // neither been hidden nor closed itself.
    bool FormDisplayed = false;
    // The menu button and its event source.
    QPointer<CommandBarControl> mcbMenuCommandBar;
    QPointer<CommandBarEvents> MenuHandler;

    WizardLauncher& welcomePage() { return *launcher_; }

private:
    // Show when "DisplayOnConnect" says the wizard was open last time.
    void showIfDisplayedLastTime();

    std::unique_ptr<WizardLauncher> launcher_;
    Ui& ui_;
};

// Self-registration: adds the add-in to the workbench's list (to load on
// start-up when it is new there) or removes it.
AddInEntry rowwrightRegistration();
void DllRegisterServer(AddInRegistry& registry);
void DllUnregisterServer(AddInRegistry& registry);

}  // namespace rw::host
