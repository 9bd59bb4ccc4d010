// The add-in in the workbench: its menu command, its connection in each
// connect mode, "DisplayOnConnect", registration, the Add-In Manager and the
// command-bar objects it uses.
#include "host/add_in_manager.h"
#include "host/workbench_app.h"
#include "host_support.h"

using namespace rw;
using namespace rw::test;
using host::kAddInProgId;

namespace {

// A welcome page that cannot be made.
class FailingLauncher final : public host::WizardLauncher {
public:
    bool isLoaded() const override { return false; }
    void load(host::VBE*, host::Rowwright*) override {
        throw RuntimeError(kErrPathFileAccess, kAddInSource, "Path/File access error");
    }
    void show() override {}
    void hide() override {}
    bool isVisible() const override { return false; }
    void unload() override {}
};

const char* const kWorkbench = "Rowwright Workbench";

}  // namespace

class HostAddInTest : public QObject {
    Q_OBJECT
    std::unique_ptr<HostHarness> h;
    static QString workbenchSettings() {
        return QSettings(QStringLiteral("Rowwright"), QStringLiteral("Workbench")).fileName();
    }
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
    // Opens the Add-In Manager: `answer` runs in it, then OK or Cancel.
    void manage(std::function<void(host::AddInManager&)> answer, bool ok) {
        bool answered = false;
        whenModal<host::AddInManager>([&](host::AddInManager* manager) {
            answer(*manager);
            manager->buttons->button(ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
            answered = true;
        });
        h->workbench->actAddInManager->trigger();
        QVERIFY(answered);
    }

private slots:
    void initTestCase() { quietPlatformWarnings(); }
    void init() { h = std::make_unique<HostHarness>(); }
    void cleanup() {
        h.reset();
        RW_VERIFY_NOTHING_LEFT();
    }
    void startUpConnectionPutsTheCommandIntoTheAddInsMenu() {
        registerRowwright(true);
        h->workbench->startUp();
        QVERIFY(h->workbench->isVisible() && h->welcomePage() == nullptr);
        QCOMPARE(h->addInActions(), QList<QAction*>{h->menuEntry()});
        h->menuEntry()->trigger();
        QVERIFY(h->welcomeShown() && h->addIn()->FormDisplayed);
        const QPointer<wizard::FrmAddInMain> page = h->welcomePage();
        h->menuEntry()->trigger();  // the same page again
        QCOMPARE(h->welcomePage(), page.data());
        // Closing the workbench disconnects: the command goes, the page is
        // unloaded and the shown wizard is remembered.
        QVERIFY(h->workbench->close());
        QVERIFY(!h->workbench->isConnected(kAddInProgId) && h->addInActions().isEmpty());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(page.isNull() && storedDisplayOnConnect() == "1" && h->ui.messages.empty());
    }
    // Without an Add-Ins bar the add-in connects and disconnects silently;
    // the setting is then the only way in. Started from outside, it shows
    // the wizard and makes no command.
    void withoutACommand() {
        registerRowwright(true);
        h->workbench->vbe().commandBars().remove("Add-Ins");
        h->workbench->startUp();
        QVERIFY(h->workbench->isConnected(kAddInProgId));
        QVERIFY(h->workbench->disconnectAddIn(kAddInProgId, host::kRemoveUserClosed));
        QCOMPARE(storedDisplayOnConnect(), std::string("0"));
        storeDisplayOnConnect("1");
        QVERIFY(h->workbench->connectAddIn(kAddInProgId, host::kConnectAfterStartup));
        QVERIFY(h->welcomeShown() && h->addInActions().isEmpty());
        h->restartWorkbench();
        storeDisplayOnConnect("0");
        h->workbench->startUp(kAddInProgId);
        QVERIFY(h->welcomeShown() && h->addIn()->FormDisplayed && h->addInActions().isEmpty());
        QVERIFY(h->ui.messages.empty());
    }
    // Only a stored "1" shows the wizard: at once after start-up, once
    // start-up completes when connected at start-up.
    void displayOnConnect() {
        Transcript t;
        for (int mode : {host::kConnectStartup, host::kConnectAfterStartup})
            for (const char* stored : {"<absent>", "0", "True", "1"}) {
                cleanup();
                cleanup();
            init();
                if (stored != std::string("<absent>")) storeDisplayOnConnect(stored);
                registerRowwright(mode == host::kConnectStartup);
                t.row(QStringLiteral("%1, mode %2").arg(stored).arg(mode));
                if (mode == host::kConnectStartup) h->workbench->connectStartupAddIns();
                if (mode != host::kConnectStartup) h->workbench->startUp();
                if (mode != host::kConnectStartup) QVERIFY(h->workbench->connectAddIn(kAddInProgId, mode));
                t("shown at connection", h->welcomeShown());
                if (mode == host::kConnectStartup) h->workbench->show();
                if (mode == host::kConnectStartup) h->workbench->raiseStartupComplete();
                t("shown at the end", QStringList{QString::number(h->welcomeShown()), QString::number(h->addIn()->FormDisplayed)});
                t("command", h->menuEntry() != nullptr);
                t.said(h->ui.messages);
            }
        QVERIFY(matchesGolden("gui_display_on_connect.txt", t.text));
    }
    // Disconnecting stores whether the wizard was shown; only the wizard's
    // question whether to cancel is asked.
    void disconnectionSavesWhetherTheWizardWasShown() {
        Transcript t;
        for (const char* steps : {"", "show", "show hide", "hide", "show close", "show cancel", "show cancel-no",
                                  "show closebox", "show close show"}) {
            cleanup();
            init();
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
            t.row(steps);
            t("stored", QString::fromStdString(storedDisplayOnConnect()));
            t("commands", h->addInActions().size());
            t.said(h->ui.messages);
        }
        QVERIFY(matchesGolden("gui_disconnection.txt", t.text));
    }
    void registerAndUnregister() {
        QCOMPARE(host::registerAddIn(), 0);
        const host::AddInEntry entry = h->registry.find(kAddInProgId).value();
        QVERIFY(entry.displayName == "Rowwright" && entry.description == host::kAddInDescription && entry.loadOnStartup);
        // Registering again keeps the user's load behaviour.
        h->registry.setLoadOnStartup(kAddInProgId, false);
        QCOMPARE(host::registerAddIn(), 0);
        QVERIFY(!h->registry.find(kAddInProgId)->loadOnStartup);
        QCOMPARE(host::unregisterAddIn(), 0);
        QVERIFY(h->registry.entries().empty());
        QCOMPARE(host::unregisterAddIn(), 0);
        // Not registered, not loaded: at start-up, by request nor from outside.
        h->workbench->startUp();
        QVERIFY(!h->workbench->connectAddIn(kAddInProgId, host::kConnectAfterStartup));
        h->workbench->connectAddIn(kAddInProgId, host::kConnectExternal);
        QVERIFY(!h->workbench->isConnected(kAddInProgId) && h->addInActions().isEmpty());
        const Msg notRegistered{"The add-in 'RwtAddIn.Rowwright' is not registered, so it cannot be loaded.",
                                kStyleExclamation, kWorkbench};
        QCOMPARE(h->ui.messages, (std::vector<Msg>{notRegistered, notRegistered}));
    }
    // The first start registers the bundled add-in, not once the user
    // emptied the list; a failure to write the list is shown.
    void theFirstStartRegistersTheBundledAddIn() {
        Transcript t;
        for (const std::string list : {"never written", "emptied", "unwritable"}) {
            cleanup();
            init();
            if (list == "emptied") {
                registerRowwright(false);
                h->registry.remove(kAddInProgId);
            }
            const QString folder = QFileInfo(workbenchSettings()).path();
            if (list == "unwritable") {  // a file where the settings folder should be
                QDir(folder).removeRecursively();
                QFile(folder).open(QIODevice::WriteOnly);
            }
            h->bundled = host::rowwrightRegistration();
            h->restartWorkbench();
            h->workbench->startUp();
            QFile::remove(folder);
            t.row(QString::fromStdString(list));
            t("command", h->menuEntry() != nullptr);
            for (Msg& m : h->ui.messages)
                m.text = QString::fromStdString(m.text).replace(workbenchSettings(), "<settings>").toStdString();
            t.said(h->ui.messages);
        }
        QVERIFY(matchesGolden("gui_first_start.txt", t.text));
    }
    // While none is registered, the manager offers the bundled add-in.
    void theManagerOffersTheBundledAddIn() {
        for (const bool yes : {true, false}) {
            h->registry.remove(kAddInProgId);
            h->ui.messages.clear();
            h->bundled = host::rowwrightRegistration();
            h->restartWorkbench();
            h->ui.answers = {yes ? kAnswerYes : kAnswerNo};
            int listed = -1;
            manage([&](host::AddInManager& m) { listed = m.lstAddIns->topLevelItemCount(); }, false);
            const Msg offer{"No add-in is registered. To register Rowwright, run \"rowwright-gui --register\" or "
                            "answer Yes here.\r\n\r\nRegister Rowwright and load it now?",
                            kStyleQuestionYesNo, kWorkbench};
            QCOMPARE(h->ui.messages, std::vector<Msg>{offer});
            QVERIFY(listed == int(yes) && (h->menuEntry() != nullptr) == yes);
            manage([](host::AddInManager&) {}, false);
            QCOMPARE(h->ui.messages.size(), std::size_t{yes ? 1u : 2u});
        }
    }
    // Loaded by OK, not by Cancel; unloaded and set to load at start-up.
    void theAddInManagerLoadsAndUnloads() {
        registerRowwright(false);
        h->workbench->startUp();
        manage([](host::AddInManager& m) {
            QTreeWidgetItem* item = m.lstAddIns->topLevelItem(0);
            QVERIFY(item->text(0) == "Rowwright" && item->text(1).isEmpty());
            QCOMPARE(m.lblDescription->text().toStdString(), std::string(host::kAddInDescription));
            QVERIFY(!m.chkLoaded->isChecked() && !m.chkLoadOnStartup->isChecked());
            click(m.chkLoaded);
            QCOMPARE(item->text(1), QStringLiteral("Loaded"));
        }, true);
        QVERIFY(h->menuEntry() != nullptr && !h->welcomeShown() && !h->registry.find(kAddInProgId)->loadOnStartup);
        manage([](host::AddInManager& m) { click(m.chkLoaded); }, false);
        QVERIFY(h->workbench->isConnected(kAddInProgId) && h->addInActions().size() == 1);
        manage([](host::AddInManager& m) {
            click(m.chkLoaded);
            click(m.chkLoadOnStartup);
            QCOMPARE(m.lstAddIns->topLevelItem(0)->text(1), QStringLiteral("Startup"));
        }, true);
        QVERIFY(!h->workbench->isConnected(kAddInProgId) && h->addInActions().isEmpty());
        QVERIFY(h->registry.find(kAddInProgId)->loadOnStartup && h->ui.messages.empty());
    }
    // The failure is shown and the add-in stays connected with its command.
    void aFailedConnectionIsShown() {
        h->classes.add(kAddInProgId, [this]() -> std::unique_ptr<host::AddInInstance> {
            return std::make_unique<host::Rowwright>(std::make_unique<FailingLauncher>(), h->ui);
        });
        storeDisplayOnConnect("1");
        connectAfterStartup();
        QCOMPARE(h->ui.messages, (std::vector<Msg>{{"Path/File access error", 0}}));
        h->menuEntry()->trigger();
        QCOMPARE(h->ui.messages.size(), std::size_t{2});
        QVERIFY(h->workbench->disconnectAddIn(kAddInProgId, host::kRemoveUserClosed));
        QCOMPARE(storedDisplayOnConnect(), std::string("0"));
    }
    // Every source of a button hears its click in turn, seeing the flags the
    // ones before left; a handler may delete its own button.
    void commandBarEvents() {
        host::VBE& vbe = h->workbench->vbe();
        QVERIFY(vbe.CommandBars("Tools") == nullptr);
        host::CommandBar* bar = vbe.CommandBars("Add-Ins");
        host::CommandBarControl& button = bar->Controls().Add(host::kControlButton);
        button.setCaption("First");
        QCOMPARE(h->addInActions().front()->text(), QStringLiteral("First"));
        std::vector<std::tuple<host::CommandBarControl*, bool, bool>> heard;
        for (int i = 0; i < 2; ++i)
            QObject::connect(&vbe.events().CommandBarEvents(&button), &host::CommandBarEvents::Click,
                             [&heard, i](host::CommandBarControl* c, bool& handled, bool& cancel) {
                                 heard.emplace_back(c, handled, cancel);
                                 handled = i == 0;
                                 if (i == 1) c->Delete();
                             });
        h->addInActions().front()->trigger();
        QCOMPARE(heard, (std::vector<std::tuple<host::CommandBarControl*, bool, bool>>{{&button, false, false},
                                                                                         {&button, true, false}}));
        QVERIFY(bar->Controls().count() == 0 && h->addInActions().isEmpty());
    }
};

QTEST_MAIN(HostAddInTest)
#include "host_addin_test.moc"
