// The add-in in the workbench: its menu command, its connection in each
// connect mode, "DisplayOnConnect", registration, the Add-In Manager and the
// command-bar objects it uses.
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTreeWidget>

#include "host/add_in_manager.h"
#include "host/workbench_app.h"
#include "host_support.h"
#include "wizard/frm_add_in_main.h"

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

    // Answers the next Add-In Manager with `answer`, then presses OK or Cancel.
    void answerManager(std::function<void(host::AddInManager&)> answer, bool ok, bool& answered) {
        answered = false;
        whenModal<host::AddInManager>([answer, ok, &answered](host::AddInManager* manager) {
            answer(*manager);
            manager->buttons->button(ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
            answered = true;
        });
        h->workbench->actAddInManager->trigger();
    }

private slots:
    void initTestCase() {
        quietPlatformWarnings();
        usePrivateSettings();
    }

    void init() {
        modalFailures() = 0;
        clearSettings();
        h = std::make_unique<HostHarness>();
    }

    void cleanup() {
        h.reset();
        RW_VERIFY_NOTHING_LEFT();
    }

    void startUpConnectionPutsTheCommandIntoTheAddInsMenu() {
        registerRowwright(true);
        h->workbench->startUp();
        QVERIFY(h->workbench->isVisible());
        QVERIFY(h->addIn() != nullptr);
        QCOMPARE(h->addInActions().size(), 1);
        QCOMPARE(h->addInActions().front()->text(), QStringLiteral("Rowwright!"));
        QVERIFY(h->addIn()->mcbMenuCommandBar);
        QVERIFY(h->addIn()->MenuHandler);
        QCOMPARE(h->addIn()->VBInstance, &h->workbench->vbe());
        // "DisplayOnConnect" absent: the wizard waits for the command.
        QVERIFY(h->welcomePage() == nullptr);

        h->menuEntry()->trigger();
        QVERIFY(h->welcomeShown());
        QVERIFY(h->addIn()->FormDisplayed);
        // Choosing it again shows the same page.
        const QPointer<wizard::FrmAddInMain> page = h->welcomePage();
        h->menuEntry()->trigger();
        QCOMPARE(h->welcomePage(), page.data());

        // Closing the workbench disconnects: the command goes, the page is
        // unloaded and the shown wizard is remembered.
        QVERIFY(h->workbench->close());
        QVERIFY(!h->workbench->isConnected(kAddInProgId));
        QVERIFY(h->addInActions().isEmpty());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(page.isNull());
        QCOMPARE(storedDisplayOnConnect(), std::string("1"));
        QVERIFY(h->ui.messages.empty());
    }

    void withoutAnAddInsBarTheConnectionIsSilent() {
        registerRowwright(true);
        h->workbench->vbe().commandBars().remove("Add-Ins");
        h->workbench->startUp();
        QVERIFY(h->workbench->isConnected(kAddInProgId));
        QVERIFY(!h->addIn()->mcbMenuCommandBar);
        QVERIFY(!h->addIn()->MenuHandler);
        QVERIFY(h->addInActions().isEmpty());
        QVERIFY(h->ui.messages.empty());

        // Disconnecting has no button to delete, and says nothing either.
        QVERIFY(h->workbench->disconnectAddIn(kAddInProgId, host::kRemoveUserClosed));
        QVERIFY(h->ui.messages.empty());
        QCOMPARE(storedDisplayOnConnect(), std::string("0"));

        // The setting is then the only way in.
        storeDisplayOnConnect("1");
        QVERIFY(h->workbench->connectAddIn(kAddInProgId, host::kConnectAfterStartup));
        QVERIFY(h->welcomeShown());
        QVERIFY(h->addInActions().isEmpty());
        QVERIFY(h->ui.messages.empty());
    }

    void externalStartShowsTheWizardWithoutAMenuCommand() {
        // Set to load on start-up too: it is connected once, from outside.
        registerRowwright(true);
        h->workbench->startUp(kAddInProgId);
        QVERIFY(h->welcomeShown());
        QVERIFY(h->addIn()->FormDisplayed);
        QVERIFY(h->addInActions().isEmpty());
        QVERIFY(!h->addIn()->mcbMenuCommandBar);
        QVERIFY(h->ui.messages.empty());
    }

    void displayOnConnect_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("shownAtConnection");
        QTest::addColumn<bool>("shownAtTheEnd");
        QTest::newRow("absent, at start-up") << "<absent>" << 1 << false << false;
        QTest::newRow("absent, after start-up") << "<absent>" << 0 << false << false;
        QTest::newRow("1, at start-up: after start-up completes") << "1" << 1 << false << true;
        QTest::newRow("1, after start-up: at once") << "1" << 0 << true << true;
        QTest::newRow("0, at start-up") << "0" << 1 << false << false;
        QTest::newRow("0, after start-up") << "0" << 0 << false << false;
        QTest::newRow("only the text 1 counts") << "True" << 0 << false << false;
    }

    void displayOnConnect() {
        QFETCH(QString, stored);
        QFETCH(int, mode);
        QFETCH(bool, shownAtConnection);
        QFETCH(bool, shownAtTheEnd);
        if (stored != QLatin1String("<absent>")) storeDisplayOnConnect(stored.toStdString());

        registerRowwright(mode == host::kConnectStartup);
        if (mode == host::kConnectStartup) {
            h->workbench->connectStartupAddIns();
            QCOMPARE(h->welcomeShown(), shownAtConnection);
            h->workbench->show();
            h->workbench->raiseStartupComplete();
        } else {
            h->workbench->startUp();
            QVERIFY(h->workbench->connectAddIn(kAddInProgId, host::kConnectAfterStartup));
            QCOMPARE(h->welcomeShown(), shownAtConnection);
        }
        QCOMPARE(h->welcomeShown(), shownAtTheEnd);
        QCOMPARE(h->addIn()->FormDisplayed, shownAtTheEnd);
        QVERIFY(h->menuEntry() != nullptr);
        QVERIFY(h->ui.messages.empty());
    }

    void disconnectionSavesWhetherTheWizardWasShown_data() {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("saved");
        QTest::newRow("never shown") << "" << "0";
        QTest::newRow("shown") << "show" << "1";
        QTest::newRow("shown, then hidden") << "show hide" << "0";
        QTest::newRow("hidden before any page existed") << "hide" << "0";
        // The wizard closing itself (its report closed, Cancel, the close
        // box) is no longer displayed.
        QTest::newRow("shown, then closed as by its report") << "show close" << "0";
        QTest::newRow("shown, then cancelled") << "show cancel" << "0";
        QTest::newRow("shown, Cancel answered No") << "show cancel-no" << "1";
        QTest::newRow("shown, then its close box") << "show closebox" << "0";
        QTest::newRow("closed, then shown again") << "show close show" << "1";
    }

    void disconnectionSavesWhetherTheWizardWasShown() {
        QFETCH(QString, steps);
        QFETCH(QString, saved);
        registerRowwright(false);
        h->workbench->startUp();
        QVERIFY(h->workbench->connectAddIn(kAddInProgId, host::kConnectAfterStartup));
        for (const QString& step : steps.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            if (step == QLatin1String("show")) h->menuEntry()->trigger();
            if (step == QLatin1String("hide")) h->addIn()->Hide();
            if (step == QLatin1String("close")) h->launcher()->wizard()->closeWizard(false);
            h->ui.answers = {step == QLatin1String("cancel-no") ? kAnswerNo : kAnswerYes};
            if (step.startsWith(QLatin1String("cancel"))) click(h->welcomePage()->cmdCancel);
            if (step == QLatin1String("closebox")) h->welcomePage()->close();
        }
        QVERIFY(h->workbench->disconnectAddIn(kAddInProgId, host::kRemoveUserClosed));
        QCOMPARE(QString::fromStdString(storedDisplayOnConnect()), saved);
        QVERIFY(h->addInActions().isEmpty());
        // Only the wizard's question whether to cancel.
        QCOMPARE(h->ui.messages.size(),
                 std::size_t(steps.count(QLatin1String("cancel")) + steps.count(QLatin1String("closebox"))));
    }

    void theNextStartUpReopensAWizardLeftOpen() {
        registerRowwright(true);
        h->workbench->startUp();
        h->menuEntry()->trigger();
        h->restartWorkbench();
        QCOMPARE(storedDisplayOnConnect(), std::string("1"));

        h->workbench->connectStartupAddIns();
        QVERIFY(h->welcomePage() == nullptr);
        h->workbench->show();
        h->workbench->raiseStartupComplete();
        QVERIFY(h->welcomeShown());

        // Hidden through the add-in, it stays closed next time.
        h->addIn()->Hide();
        QVERIFY(!h->welcomeShown());
        h->restartWorkbench();
        QCOMPARE(storedDisplayOnConnect(), std::string("0"));
        h->workbench->startUp();
        QVERIFY(h->welcomePage() == nullptr);
        QVERIFY(h->ui.messages.empty());
    }

    void registerAndUnregister() {
        QCOMPARE(host::registerAddIn(), 0);
        std::optional<host::AddInEntry> entry = h->registry.find(kAddInProgId);
        QVERIFY(entry.has_value());
        QCOMPARE(entry->displayName, std::string("Rowwright"));
        QCOMPARE(entry->description, std::string(host::kAddInDescription));
        QVERIFY(entry->loadOnStartup);
        const QSettings store(QStringLiteral("Rowwright"), QStringLiteral("Workbench"));
        QCOMPARE(store.value(QStringLiteral("Addins/RwtAddIn.Rowwright/FriendlyName")).toString(),
                 QStringLiteral("Rowwright"));

        // Registering again keeps the user's load behaviour.
        h->registry.setLoadOnStartup(kAddInProgId, false);
        QCOMPARE(host::registerAddIn(), 0);
        QVERIFY(!h->registry.find(kAddInProgId)->loadOnStartup);

        QCOMPARE(host::unregisterAddIn(), 0);
        QVERIFY(!h->registry.find(kAddInProgId).has_value());
        QVERIFY(h->registry.entries().empty());
        QCOMPARE(host::unregisterAddIn(), 0);

        // Not registered, not loaded: at start-up nor by request.
        h->workbench->startUp();
        QVERIFY(!h->workbench->isConnected(kAddInProgId));
        QVERIFY(h->addInActions().isEmpty());
        QVERIFY(h->ui.messages.empty());
        QVERIFY(!h->workbench->connectAddIn(kAddInProgId, host::kConnectAfterStartup));
        // Nor from outside.
        h->workbench->connectAddIn(kAddInProgId, host::kConnectExternal);
        QVERIFY(!h->workbench->isConnected(kAddInProgId));
        QCOMPARE(h->ui.messages.size(), std::size_t{2});
        QCOMPARE(h->ui.messages.back(),
                 (ScriptedWizardUi::Message{"The add-in 'RwtAddIn.Rowwright' is not registered, so it cannot be "
                                            "loaded.",
                                            kStyleExclamation, "Rowwright Workbench"}));
        QVERIFY(h->welcomePage() == nullptr);
    }

    void theFirstStartRegistersTheBundledAddIn_data() {
        QTest::addColumn<QString>("list");
        QTest::addColumn<bool>("registered");
        QTest::addColumn<QString>("message");
        QTest::newRow("never written") << "" << true << "";
        QTest::newRow("written, emptied by the user") << "emptied" << false << "";
        QTest::newRow("cannot be written")
            << "unwritable" << false
            << "The add-in 'Rowwright' could not be registered: Path/File access error: '" + workbenchSettings() + "'";
    }

    void theFirstStartRegistersTheBundledAddIn() {
        QFETCH(QString, list);
        QFETCH(bool, registered);
        QFETCH(QString, message);
        if (list == QLatin1String("emptied")) {
            registerRowwright(false);
            h->registry.remove(kAddInProgId);
        }
        // A file where the settings folder should be.
        const QString folder = QFileInfo(workbenchSettings()).path();
        if (list == QLatin1String("unwritable")) {
            QDir(folder).removeRecursively();
            QFile(folder).open(QIODevice::WriteOnly);
        }
        h->bundled = host::rowwrightRegistration();
        h->restartWorkbench();
        h->workbench->startUp();
        QFile::remove(folder);
        QCOMPARE(h->workbench->isConnected(kAddInProgId), registered);
        QCOMPARE(h->menuEntry() != nullptr, registered);
        QCOMPARE(h->ui.messages.empty() ? QString() : QString::fromStdString(h->ui.messages.back().text), message);
    }

    void theManagerOffersTheBundledAddInWhileNoneIsRegistered_data() {
        QTest::addColumn<int>("answer");
        QTest::newRow("Yes: registered and loaded") << int{kAnswerYes};
        QTest::newRow("No: the empty list") << int{kAnswerNo};
    }

    void theManagerOffersTheBundledAddInWhileNoneIsRegistered() {
        QFETCH(int, answer);
        const bool yes = answer == kAnswerYes;
        h->bundled = host::rowwrightRegistration();
        h->restartWorkbench();
        h->ui.answers = {answer};
        int listed = -1;
        bool answered = false;
        answerManager([&](host::AddInManager& m) { listed = m.lstAddIns->topLevelItemCount(); }, false, answered);
        QVERIFY(answered);
        QCOMPARE(h->ui.messages.size(), std::size_t{1});
        QCOMPARE(h->ui.messages.front(),
                 (ScriptedWizardUi::Message{"No add-in is registered. To register Rowwright, run \"rowwright-gui "
                                            "--register\" or answer Yes here.\r\n\r\nRegister Rowwright and load it "
                                            "now?",
                                            kStyleQuestionYesNo, "Rowwright Workbench"}));
        QCOMPARE(listed, yes ? 1 : 0);
        QCOMPARE(h->registry.find(kAddInProgId).has_value(), yes);
        QCOMPARE(h->menuEntry() != nullptr, yes);
        // Asked again only while none is registered.
        answerManager([](host::AddInManager&) {}, false, answered);
        QCOMPARE(h->ui.messages.size(), std::size_t{yes ? 1u : 2u});
    }

    void theAddInManagerLoadsAndUnloads() {
        registerRowwright(false);
        h->workbench->startUp();
        QVERIFY(!h->workbench->isConnected(kAddInProgId));

        bool answered = false;
        answerManager(
            [](host::AddInManager& m) {
                QCOMPARE(m.lstAddIns->topLevelItemCount(), 1);
                QTreeWidgetItem* item = m.lstAddIns->topLevelItem(0);
                QCOMPARE(item->text(0), QStringLiteral("Rowwright"));
                QCOMPARE(item->text(1), QString());
                QCOMPARE(m.lblDescription->text().toStdString(), std::string(host::kAddInDescription));
                QVERIFY(!m.chkLoaded->isChecked());
                QVERIFY(!m.chkLoadOnStartup->isChecked());
                click(m.chkLoaded);
                QCOMPARE(item->text(1), QStringLiteral("Loaded"));
            },
            true, answered);
        QVERIFY(answered);
        QVERIFY(h->workbench->isConnected(kAddInProgId));
        QVERIFY(h->menuEntry() != nullptr);
        QVERIFY(!h->welcomeShown());
        QVERIFY(!h->registry.find(kAddInProgId)->loadOnStartup);

        // Cancel changes nothing.
        answerManager([](host::AddInManager& m) { click(m.chkLoaded); }, false, answered);
        QVERIFY(answered);
        QVERIFY(h->workbench->isConnected(kAddInProgId));
        QCOMPARE(h->addInActions().size(), 1);

        // Unloaded, and set to load at the next start-up.
        answerManager(
            [](host::AddInManager& m) {
                QVERIFY(m.chkLoaded->isChecked());
                click(m.chkLoaded);
                click(m.chkLoadOnStartup);
                QCOMPARE(m.lstAddIns->topLevelItem(0)->text(1), QStringLiteral("Startup"));
            },
            true, answered);
        QVERIFY(answered);
        QVERIFY(!h->workbench->isConnected(kAddInProgId));
        QVERIFY(h->addInActions().isEmpty());
        QVERIFY(h->registry.find(kAddInProgId)->loadOnStartup);
        QCOMPARE(storedDisplayOnConnect(), std::string("0"));
        QVERIFY(h->ui.messages.empty());
    }

    void aFailedConnectionIsShownAndTheAddInStaysConnected() {
        h->classes.add(kAddInProgId, [this]() -> std::unique_ptr<host::AddInInstance> {
            return std::make_unique<host::Rowwright>(std::make_unique<FailingLauncher>(), h->ui);
        });
        storeDisplayOnConnect("1");
        registerRowwright(false);
        h->workbench->startUp();
        QVERIFY(h->workbench->connectAddIn(kAddInProgId, host::kConnectAfterStartup));
        QCOMPARE(h->ui.messages.size(), std::size_t{1});
        QCOMPARE(h->ui.messages.back(), (ScriptedWizardUi::Message{"Path/File access error", 0, "Rowwright"}));
        QVERIFY(h->workbench->isConnected(kAddInProgId));
        // The button was made before the failing Show.
        QVERIFY(h->menuEntry() != nullptr);
        h->menuEntry()->trigger();
        QCOMPARE(h->ui.messages.size(), std::size_t{2});
        QVERIFY(h->workbench->disconnectAddIn(kAddInProgId, host::kRemoveUserClosed));
        QCOMPARE(storedDisplayOnConnect(), std::string("0"));
    }

    void commandBarsControlsAndTheirEvents() {
        host::VBE& vbe = h->workbench->vbe();
        QVERIFY(vbe.CommandBars("Tools") == nullptr);
        host::CommandBar* bar = vbe.CommandBars("Add-Ins");
        QVERIFY(bar != nullptr);
        host::CommandBarControl& button = bar->Controls().Add(host::kControlButton);
        button.setCaption("First");
        QCOMPARE(bar->Controls().count(), 1);
        QCOMPARE(&bar->Controls().item(1), &button);
        QCOMPARE(h->addInActions().size(), 1);
        QCOMPARE(h->addInActions().front()->text(), QStringLiteral("First"));
        button.setCaption("Renamed");
        QCOMPARE(h->addInActions().front()->text(), QStringLiteral("Renamed"));

        // Every source of the button hears the click, in order, each seeing
        // the flags the ones before left.
        struct Heard {
            host::CommandBarControl* control;
            bool handled;
            bool cancelDefault;
        };
        std::vector<Heard> heard;
        host::CommandBarEvents& first = vbe.events().CommandBarEvents(&button);
        host::CommandBarEvents& second = vbe.events().CommandBarEvents(&button);
        QObject::connect(&first, &host::CommandBarEvents::Click,
                         [&](host::CommandBarControl* c, bool& handled, bool& cancel) {
                             heard.push_back({c, handled, cancel});
                             handled = true;
                         });
        QObject::connect(&second, &host::CommandBarEvents::Click,
                         [&](host::CommandBarControl* c, bool& handled, bool& cancel) {
                             heard.push_back({c, handled, cancel});
                         });
        h->addInActions().front()->trigger();
        QCOMPARE(heard.size(), std::size_t{2});
        QCOMPARE(heard[0].control, &button);
        QVERIFY(!heard[0].handled && !heard[0].cancelDefault);
        QVERIFY(heard[1].handled && !heard[1].cancelDefault);

        const auto raises = [](long number, auto&& body) {
            try {
                body();
            } catch (const RuntimeError& e) {
                return e.number == number;
            }
            return false;
        };
        QVERIFY(raises(5, [&] { bar->Controls().Add(10); }));
        QVERIFY(raises(91, [&] { vbe.events().CommandBarEvents(nullptr); }));

        // A handler may delete its own button.
        host::CommandBarControl& other = bar->Controls().Add();
        QObject::connect(&vbe.events().CommandBarEvents(&other), &host::CommandBarEvents::Click,
                         [](host::CommandBarControl* c, bool&, bool&) { c->Delete(); });
        other.action()->trigger();
        QCOMPARE(bar->Controls().count(), 1);

        const QPointer<host::CommandBarControl> gone(&button);
        const QPointer<host::CommandBarEvents> source(&first);
        button.Delete();
        QCOMPARE(bar->Controls().count(), 0);
        QVERIFY(h->addInActions().isEmpty());
        QVERIFY(raises(5, [&] { button.setCaption("Late"); }));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(gone.isNull());
        QVERIFY(source.isNull());
    }
};

QTEST_MAIN(HostAddInTest)
#include "host_addin_test.moc"
