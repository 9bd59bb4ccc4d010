// The add-in in the workbench: its command, connect modes, "DisplayOnConnect", registration, the
// Add-In Manager and the command-bar objects; every step's state goes into one transcript.
#include "host/add_in_manager.h"
#include "host/settings_store.h"
#include "host/workbench_app.h"
#include "host_support.h"

using namespace rw;
using namespace rw::test;
using host::kAddInProgId;

namespace {

// A welcome page that cannot be made.
struct FailingLauncher final : host::WizardLauncher {
    bool isLoaded() const override { return false; }
    void load(host::VBE*, host::Rowwright*) override { throw RuntimeError(kErrPathFileAccess, kAddInSource, "Path/File access error"); }
    void show() override {}
    void hide() override {}
    bool isVisible() const override { return false; }
    void unload() override {}
};

std::string stored() { return host::GetSetting(host::kSettingsApp, host::kSettingsSection, host::kDisplayOnConnect, "<absent>"); }
void store(const char* value) { host::SaveSetting(host::kSettingsApp, host::kSettingsSection, host::kDisplayOnConnect, value); }

}  // namespace

class HostAddInTest : public QObject {
    Q_OBJECT
    std::unique_ptr<HostHarness> h;
    Transcript t;
    void registerRowwright(bool loadOnStartup) {
        host::AddInEntry entry = host::rowwrightRegistration();
        entry.loadOnStartup = loadOnStartup;
        h->registry.add(entry);
    }
    // Registered, started up and connected after start-up.
    void connectAfterStartup() {
        registerRowwright(false);
        h->workbench->startUp();
        QVERIFY(h->workbench->connectAddIn(kAddInProgId, host::kConnectAfterStartup));
    }
    // Connected, commands, wizard shown, setting stored, registration; and what was said.
    void state(const QString& step) {
        QStringList facts{h->workbench->isConnected(kAddInProgId) ? "connected" : "not connected"};
        for (QAction* a : h->addInActions()) facts << "command " + a->text();
        if (h->welcomeShown()) facts << "wizard shown";
        if (h->addIn() != nullptr && h->addIn()->FormDisplayed) facts << "FormDisplayed";
        facts << "stored " + QString::fromStdString(stored());
        if (auto entry = h->registry.find(kAddInProgId))
            facts << QString::fromStdString("registered " + entry->displayName) + (entry->loadOnStartup ? " at start-up" : "");
        t(step, facts);
        t.said(h->ui);
    }
    // Opens the Add-In Manager: `answer` runs in it, then OK or Cancel.
    void manage(std::function<void(host::AddInManager&)> answer, bool ok) {
        whenModal<host::AddInManager>([&](host::AddInManager* m) {
            answer(*m);
            if (QTreeWidgetItem* item = m->lstAddIns->topLevelItem(0))
                t("manager", item->text(0), item->text(1), m->lblDescription->text() == host::kAddInDescription,
                  m->chkLoaded->isChecked(), m->chkLoadOnStartup->isChecked());
            m->buttons->button(ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
        });
        h->workbench->actAddInManager->trigger();
    }
    void restart() { cleanup(), init(); }

private slots:
    void initTestCase() { quietPlatformWarnings(); }
    void init() { h = std::make_unique<HostHarness>(); }
    void cleanup() {
        h.reset();
        RW_VERIFY_NOTHING_LEFT();
    }
    void cleanupTestCase() { QVERIFY(matchesGolden("gui_addin.txt", t.text)); }
    // The command shows the same page; closing the workbench unloads it and remembers it was shown.
    void startUpConnection() {
        t.row("start-up connection");
        registerRowwright(true);
        h->workbench->startUp();
        t("workbench shown, page made", h->workbench->isVisible(), h->welcomePage() != nullptr);
        h->menuEntry()->trigger();
        const QPointer<wizard::FrmAddInMain> page = h->welcomePage();
        h->menuEntry()->trigger();
        t("the same page", h->welcomePage() == page.data());
        state("shown twice");
        QVERIFY(h->workbench->close());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        t("page unloaded", page.isNull());
        state("workbench closed");
    }
    // Without an Add-Ins bar: silent, the setting is the only way in; started from outside, it shows.
    void withoutACommand() {
        t.row("without a command");
        registerRowwright(true);
        h->workbench->vbe().commandBars().remove("Add-Ins");
        h->workbench->startUp();
        QVERIFY(h->workbench->disconnectAddIn(kAddInProgId, host::kRemoveUserClosed));
        state("started, disconnected");
        store("1");
        QVERIFY(h->workbench->connectAddIn(kAddInProgId, host::kConnectAfterStartup));
        state("connected with 1 stored");
        h->restartWorkbench();
        store("0");
        h->workbench->startUp(kAddInProgId);
        state("started from outside with 0 stored");
    }
    // Only a stored "1" shows the wizard: at once after start-up, else once start-up completes.
    void displayOnConnect() {
        for (const bool atStartup : {true, false})
            for (const char* value : {"<absent>", "0", "True", "1"}) {
                restart();
                if (*value != '<') store(value);
                t.row(QStringLiteral("%1, %2").arg(value, atStartup ? "at start-up" : "after start-up"));
                if (!atStartup) connectAfterStartup();
                if (!atStartup) {
                    state("connected");
                    continue;
                }
                registerRowwright(true);
                h->workbench->connectStartupAddIns();
                state("connected");
                h->workbench->show();
                h->workbench->raiseStartupComplete();
                state("start-up complete");
            }
    }
    // Disconnecting stores whether the wizard was shown; only the cancel question is asked.
    void disconnectionSavesWhetherTheWizardWasShown() {
        for (const char* steps : {"", "show", "show hide", "hide", "show close", "show cancel", "show cancel-no",
                                  "show closebox", "show close show"}) {
            restart();
            connectAfterStartup();
            for (const QString& step : QString::fromLatin1(steps).split(' ', Qt::SkipEmptyParts)) {
                if (step == "show") h->menuEntry()->trigger();
                if (step == "hide") h->addIn()->Hide();
                if (step == "close") h->launcher()->wizard()->closeWizard(false);
                h->ui.answers = {step == "cancel-no" ? kAnswerNo : kAnswerYes};
                if (step.startsWith("cancel")) click(h->welcomePage()->cmdCancel);
                if (step == "closebox") h->welcomePage()->close();
            }
            QVERIFY(h->workbench->disconnectAddIn(kAddInProgId, host::kRemoveUserClosed));
            t.row(QStringLiteral("disconnected after '%1'").arg(steps));
            state("disconnected");
        }
    }
    // Registering again keeps the load behaviour; not registered, it loads in no way.
    void registerAndUnregister() {
        t.row("register and unregister");
        t("register", host::registerAddIn());
        t("described", h->registry.find(kAddInProgId)->description == host::kAddInDescription);
        h->registry.setLoadOnStartup(kAddInProgId, false);
        t("register again", host::registerAddIn());
        state("registered again");
        t("unregister", host::unregisterAddIn());
        t("unregister again", host::unregisterAddIn());
        h->workbench->startUp();
        t("connect", h->workbench->connectAddIn(kAddInProgId, host::kConnectAfterStartup));
        h->workbench->connectAddIn(kAddInProgId, host::kConnectExternal);
        state("not registered");
    }
    // The first start registers the bundled add-in, not once the list was emptied; a failure to
    // write the list is shown. While none is registered, the manager offers it.
    void theBundledAddIn() {
        for (const std::string list : {"never written", "emptied", "unwritable"}) {
            restart();
            if (list == "emptied") registerRowwright(false), h->registry.remove(kAddInProgId);
            const QString settings = QSettings(QStringLiteral("Rowwright"), QStringLiteral("Workbench")).fileName();
            const QString folder = QFileInfo(settings).path();
            if (list == "unwritable") QDir(folder).removeRecursively(), QFile(folder).open(QIODevice::WriteOnly);
            h->bundled = host::rowwrightRegistration();
            h->restartWorkbench();
            h->workbench->startUp();
            QFile::remove(folder);
            for (Msg& m : h->ui.messages) m.text = QString::fromStdString(m.text).replace(settings, "<settings>").toStdString();
            t.row(QString::fromStdString("first start, list " + list));
            state("started");
        }
        for (const bool yes : {true, false}) {
            h->registry.remove(kAddInProgId);
            h->restartWorkbench();
            h->ui.answers = {yes ? kAnswerYes : kAnswerNo};
            t.row(yes ? "manager offers, Yes" : "manager offers, No");
            manage([](host::AddInManager&) {}, false);
            state("cancelled");
            manage([](host::AddInManager&) {}, false);
            state("again");
        }
    }
    // Loaded by OK, not by Cancel; unloaded and set to load at start-up.
    void theAddInManagerLoadsAndUnloads() {
        t.row("manager");
        registerRowwright(false);
        h->workbench->startUp();
        manage([](host::AddInManager& m) { click(m.chkLoaded); }, true);
        state("loaded, OK");
        manage([](host::AddInManager& m) { click(m.chkLoaded); }, false);
        state("unloaded, Cancel");
        manage([](host::AddInManager& m) { click(m.chkLoaded), click(m.chkLoadOnStartup); }, true);
        state("unloaded, at start-up, OK");
    }
    // The failure is shown and the add-in stays connected with its command.
    void aFailedConnectionIsShown() {
        t.row("failing page");
        h->classes.add(kAddInProgId, [this]() -> std::unique_ptr<host::AddInInstance> {
            return std::make_unique<host::Rowwright>(std::make_unique<FailingLauncher>(), h->ui);
        });
        store("1");
        connectAfterStartup();
        state("connected");
        h->menuEntry()->trigger();
        state("command");
        QVERIFY(h->workbench->disconnectAddIn(kAddInProgId, host::kRemoveUserClosed));
        state("disconnected");
    }
    // Each source hears a click in turn with the flags left before; a handler may delete its button.
    void commandBarEvents() {
        host::VBE& vbe = h->workbench->vbe();
        QVERIFY(vbe.CommandBars("Tools") == nullptr);
        host::CommandBar* bar = vbe.CommandBars("Add-Ins");
        host::CommandBarControl& button = bar->Controls().Add(host::kControlButton);
        button.setCaption("First");
        t.row("command bar events");
        state("button added");
        for (int i = 0; i < 2; ++i)
            QObject::connect(&vbe.events().CommandBarEvents(&button), &host::CommandBarEvents::Click,
                             [this, i, &button](host::CommandBarControl* c, bool& handled, bool& cancel) {
                                 t(QStringLiteral("handler %1").arg(i), c == &button, handled, cancel);
                                 handled = i == 0;
                                 if (i == 1) c->Delete();
                             });
        h->addInActions().front()->trigger();
        t("controls", bar->Controls().count());
        state("clicked");
    }
};

QTEST_MAIN(HostAddInTest)
#include "host_addin_test.moc"
