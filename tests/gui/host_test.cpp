// The workbench and the add-in: projects opened, edited, saved, never lost without a question; the
// add-in's command, connect modes, "DisplayOnConnect", registration, the Add-In Manager and the
// command-bar objects; the whole wizard into the loaded project. One transcript holds every step.
#include "host/add_in_manager.h"
#include "host/settings_store.h"
#include "host/workbench_app.h"
#include "host/add_in.h"
#include "host/rowwright_add_in.h"
#include "host/wizard_launcher.h"
#include "host/workbench.h"
#include "support/gui_support.h"

using namespace rw;
using namespace rw::test;
using host::kAddInProgId;

namespace {

// A workbench with the Rowwright add-in class over the wizard harness's
// services, with no settings stored.
struct HostHarness : WizardHarness {
    explicit HostHarness(std::unique_ptr<FileSystem> files) : WizardHarness(std::move(files)) {
        QSettings(QStringLiteral("Rowwright"), QStringLiteral("Rowwright")).clear();
        QSettings(QStringLiteral("Rowwright"), QStringLiteral("Workbench")).clear();
        host::addRowwrightClass(classes, {ui, fakeData, environment, *fs, clock, tempFolders.get(), RW_SOURCE_HELP_DIR}, ui);
        restartWorkbench();
    }
    ~HostHarness() { workbench.reset(); }
    // Closes the workbench (as its close box does) and makes a new one, not yet started up.
    void restartWorkbench() {
        if (workbench) workbench->close();
        workbench = std::make_unique<host::Workbench>(
            host::WorkbenchServices{ui, environment, registry, classes, bundled ? &*bundled : nullptr});
    }
    host::Rowwright* addIn() const { return dynamic_cast<host::Rowwright*>(workbench->addInObject(kAddInProgId)); }
    host::QtWizardLauncher* launcher() const {
        return addIn() != nullptr ? dynamic_cast<host::QtWizardLauncher*>(&addIn()->welcomePage()) : nullptr;
    }
    wizard::FrmAddInMain* welcomePage() const { return launcher() != nullptr ? launcher()->page() : nullptr; }
    bool welcomeShown() const { return welcomePage() != nullptr && welcomePage()->isVisible(); }
    // The actions add-ins put into the "Add-Ins" menu, in order; the one called "Rowwright!", or null.
    QList<QAction*> addInActions() const {
        QList<QAction*> added;
        for (QAction* action : workbench->addInsMenu->actions())
            if (action != workbench->actAddInManager && !action->isSeparator()) added << action;
        return added;
    }
    QAction* menuEntry() const {
        for (QAction* action : addInActions())
            if (action->text() == QLatin1String(host::kMenuCaption)) return action;
        return nullptr;
    }
    host::AddInRegistry registry;
    host::AddInClasses classes;
    std::optional<host::AddInEntry> bundled;  // for workbenches made from now on
    std::unique_ptr<host::Workbench> workbench;
};

// The tree's labels: each project, then its components indented.
QStringList treeLabels(const QTreeWidget* tree) {
    QStringList labels;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        labels << tree->topLevelItem(i)->text(0);
        for (int j = 0; j < tree->topLevelItem(i)->childCount(); ++j) labels << "  " + tree->topLevelItem(i)->child(j)->text(0);
    }
    return labels;
}

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

class HostTest : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> folder;
    std::unique_ptr<HostHarness> h;
    Transcript t;
    std::string vbp, ordersFile, ordersBytes;
    std::string path(const char* name) const { return folder->filePath(QString::fromLatin1(name)).toStdString(); }
    ide::Project& project() { return *h->environment.projects().front(); }
    ide::Component& orders() { return *project().vbComponents().find("clsOrders"); }
    // Types a comment at the start of the class's third line.
    void editOrders() {
        h->workbench->selectComponent(orders());
        QTextCursor cursor = h->workbench->editor->textCursor();
        cursor.movePosition(QTextCursor::Start);
        cursor.movePosition(QTextCursor::Down, QTextCursor::MoveAnchor, 2);
        h->workbench->editor->setTextCursor(cursor);
        QTest::keyClicks(h->workbench->editor, "' note");
    }
    // The tree, the editor's start, the actions enabled, whether the class file holds the edit; what was said.
    void state(const QString& step) {
        t.row(step);
        t("tree", treeLabels(h->workbench->tree));
        t("editor", h->workbench->editor->toPlainText().left(170).replace('\n', "\\n"), h->workbench->editor->isReadOnly());
        QStringList enabled;
        for (QAction* a : {h->workbench->actSave, h->workbench->actSaveAll, h->workbench->actCloseProject})
            if (a->isEnabled()) enabled << a->text();
        t("enabled", enabled);
        const std::string bytes = readFile(ordersFile);
        t("clsOrders.cls", bytes == ordersBytes ? "as written" : bytes.find("' note") != std::string::npos ? "edited" : "other");
        t.said(h->ui);
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
    // Connected, commands, wizard shown, setting stored, registration; and what was said.
    void addInState(const QString& step) {
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
    void init() {
        folder = std::make_unique<QTemporaryDir>();
        h = std::make_unique<HostHarness>(std::make_unique<PosixFileSystem>());
        vbp = writeSampleProject(*h->fs, folder->path().toStdString(), {"Class=clsOrders; clsOrders.cls\r\n", false});
        ordersFile = path("clsOrders.cls");
        writeClassFile(*h->fs, ordersFile, "clsOrders",
                       "Option Explicit\r\nPrivate mvarOrderID As Variant\r\n\r\nPublic Property Get OrderID() As Variant\r\n"
                       "Attribute OrderID.VB_UserMemId = 0\r\n    OrderID = mvarOrderID\r\nEnd Property\r\n");
        ordersBytes = readFile(ordersFile);
    }
    void cleanup() {
        h.reset();
        folder.reset();
        RW_VERIFY_NOTHING_LEFT();
    }
    void cleanupTestCase() { QVERIFY(matchesGolden("gui_host.txt", t.text)); }
    // The code shows without its member attribute; opening it again selects it; a missing one is shown.
    void openEditSaveAndClose() {
        h->workbench->show();
        h->workbench->actOpenProject->trigger();
        state("open, cancelled");
        h->ui.dialogAnswers.push_back(vbp);
        h->workbench->actOpenProject->trigger();
        h->workbench->selectComponent(orders());
        for (Msg& m : h->ui.messages) m.text = QString::fromStdString(m.text).replace(folder->path(), "<folder>").toStdString();
        for (auto& d : h->ui.dialogs) d.folder.clear();
        state("opened, clsOrders selected");
        h->workbench->tree->setCurrentItem(h->workbench->tree->topLevelItem(0));
        state("project selected");
        const bool again = h->workbench->openProject(vbp), missing = h->workbench->openProject(path("Nope.vbp"));
        t("open again, open a missing one", again, missing, int(h->environment.projects().size()));
        for (Msg& m : h->ui.messages) m.text = QString::fromStdString(m.text).replace(folder->path(), "<folder>").toStdString();
        editOrders();
        state("edited");
        h->workbench->actSave->trigger();
        state("saved");
        h->workbench->actCloseProject->trigger();
        state("closed");
    }
    // Closing a project or the workbench asks first; the add-in goes only with the window.
    void closingAsksFirst() {
        for (bool workbench : {false, true})
            for (int answer : {kAnswerYes, kAnswerNo, kAnswerCancel}) {
                cleanup();
                init();
                h->registry.add(host::rowwrightRegistration());
                h->workbench->startUp();
                QVERIFY(h->workbench->openProject(vbp));
                editOrders();
                h->ui.answers.push_back(answer);
                (workbench ? h->workbench->actExit : h->workbench->actCloseProject)->trigger();
                state(QStringLiteral("%1, answer %2").arg(workbench ? "workbench" : "project").arg(answer));
                t("workbench shown, connected, command", h->workbench->isVisible(), h->workbench->isConnected(host::kAddInProgId),
                  h->menuEntry() != nullptr);
            }
    }
    // A new class whose file name is taken by a file the project does not own.
    void aFailedSaveKeepsTheWorkbenchOpen() {
        h->workbench->show();
        QVERIFY(h->workbench->openProject(vbp));
        project().vbComponents().add(ide::kClassModule);
        writeBytes(*h->fs, path("Class1.cls"), "not ours\r\n");
        h->ui.answers.push_back(kAnswerYes);
        t.row("failed save");
        t("closed", h->workbench->close());
        for (Msg& m : h->ui.messages) m.text = m.text.substr(0, m.text.find(": '"));
        state("close, Yes");
        t("workbench shown, dirty, Class1.cls", h->workbench->isVisible(), project().isDirty(), readFile(path("Class1.cls")));
    }
    // The wizard regenerates clsOrders after asking whether to save the edit first; the command
    // raises the wizard's page; the save dialogs propose the project's name.
    void theWizardRegeneratesClassesOfTheLoadedProject() {
        for (int answer : {kAnswerYes, kAnswerNo}) {
            cleanup();
            init();
            h->fakeData.make = sampleDatabase([](FakeConnection& c) {  // Orders alone, with a ShipName
                c.tables = {{"Orders", "TABLE"}};
                c.columns["Orders"] = {{"OrderID", 3, 10, 0, false}, {"ShipName", 130, {}, {}, true}};
            });
            h->registry.add(host::rowwrightRegistration());
            h->workbench->startUp();
            QVERIFY(h->workbench->openProject(vbp));
            editOrders();
            h->menuEntry()->trigger();
            click(h->welcomePage()->cmdNext);
            wizard::Wizard& w = *h->launcher()->wizard();
            wizard::FrmProject& projectPage = *w.loadedProject();
            const std::size_t pages = w.forms().size();
            h->menuEntry()->trigger();
            QVERIFY(w.forms().size() == pages && !h->welcomeShown());
            QTRY_COMPARE(QApplication::activeWindow(), &projectPage);
            projectPage.cboLoadedProject->setCurrentIndex(projectPage.cboLoadedProject->findText(QStringLiteral("Billing")));
            click(projectPage.cmdNext);
            click(w.loadedConnection()->optDSNLess);
            w.loadedConnection()->txtConnString->setText(QStringLiteral("DSN=Orders;"));
            click(w.loadedConnection()->cmdNext);
            click(w.loadedChooseTables()->cmdNext);
            h->ui.answers = {answer};
            click(w.loadedFields()->cmdFinish);
            QVERIFY(matchesGolden("gui_loaded_project_report.txt", QByteArray::fromStdString(w.loadedReport()->reportText())));
            click(w.loadedReport()->cmdSave);
            click(w.loadedReport()->cmdSaveAnswers);
            click(w.loadedReport()->cmdClose);
            state(QStringLiteral("regenerated, answer %1").arg(answer));
            t("pages, FormDisplayed, shown", int(w.forms().size()), h->addIn()->FormDisplayed, h->workbench->shownComponent() == &orders());
            h->workbench->actSaveAll->trigger();
            state("all saved");
            for (const char* file : {"Billing.vbp", "clsOrders.cls", "clsOrdersColl.cls", "modRowwrightErrHndlr.bas"})
                QVERIFY2(matchesGolden(QStringLiteral("gui_workbench_%1.txt").arg(file), QByteArray::fromStdString(readFile(path(file)))), file);
        }
    }
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
        addInState("shown twice");
        QVERIFY(h->workbench->close());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        t("page unloaded", page.isNull());
        addInState("workbench closed");
    }
    // Without an Add-Ins bar: silent, the setting is the only way in; started from outside, it shows.
    void withoutACommand() {
        t.row("without a command");
        registerRowwright(true);
        h->workbench->vbe().commandBars().remove("Add-Ins");
        h->workbench->startUp();
        QVERIFY(h->workbench->disconnectAddIn(kAddInProgId, host::kRemoveUserClosed));
        addInState("started, disconnected");
        store("1");
        QVERIFY(h->workbench->connectAddIn(kAddInProgId, host::kConnectAfterStartup));
        addInState("connected with 1 stored");
        h->restartWorkbench();
        store("0");
        h->workbench->startUp(kAddInProgId);
        addInState("started from outside with 0 stored");
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
                    addInState("connected");
                    continue;
                }
                registerRowwright(true);
                h->workbench->connectStartupAddIns();
                addInState("connected");
                h->workbench->show();
                h->workbench->raiseStartupComplete();
                addInState("start-up complete");
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
            addInState("disconnected");
        }
    }
    // Registering again keeps the load behaviour; not registered, it loads in no way.
    void registerAndUnregister() {
        t.row("register and unregister");
        t("register", host::registerAddIn());
        t("described", h->registry.find(kAddInProgId)->description == host::kAddInDescription);
        h->registry.setLoadOnStartup(kAddInProgId, false);
        t("register again", host::registerAddIn());
        addInState("registered again");
        t("unregister", host::unregisterAddIn());
        t("unregister again", host::unregisterAddIn());
        h->workbench->startUp();
        t("connect", h->workbench->connectAddIn(kAddInProgId, host::kConnectAfterStartup));
        h->workbench->connectAddIn(kAddInProgId, host::kConnectExternal);
        addInState("not registered");
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
            addInState("started");
        }
        for (const bool yes : {true, false}) {
            h->registry.remove(kAddInProgId);
            h->restartWorkbench();
            h->ui.answers = {yes ? kAnswerYes : kAnswerNo};
            t.row(yes ? "manager offers, Yes" : "manager offers, No");
            manage([](host::AddInManager&) {}, false);
            addInState("cancelled");
            manage([](host::AddInManager&) {}, false);
            addInState("again");
        }
    }
    // Loaded by OK, not by Cancel; unloaded and set to load at start-up.
    void theAddInManagerLoadsAndUnloads() {
        t.row("manager");
        registerRowwright(false);
        h->workbench->startUp();
        manage([](host::AddInManager& m) { click(m.chkLoaded); }, true);
        addInState("loaded, OK");
        manage([](host::AddInManager& m) { click(m.chkLoaded); }, false);
        addInState("unloaded, Cancel");
        manage([](host::AddInManager& m) { click(m.chkLoaded), click(m.chkLoadOnStartup); }, true);
        addInState("unloaded, at start-up, OK");
    }
    // The failure is shown and the add-in stays connected with its command.
    void aFailedConnectionIsShown() {
        t.row("failing page");
        h->classes.add(kAddInProgId, [this]() -> std::unique_ptr<host::AddInInstance> {
            return std::make_unique<host::Rowwright>(std::make_unique<FailingLauncher>(), h->ui);
        });
        store("1");
        connectAfterStartup();
        addInState("connected");
        h->menuEntry()->trigger();
        addInState("command");
        QVERIFY(h->workbench->disconnectAddIn(kAddInProgId, host::kRemoveUserClosed));
        addInState("disconnected");
    }
    // Each source hears a click in turn with the flags left before; a handler may delete its button.
    void commandBarEvents() {
        host::VBE& vbe = h->workbench->vbe();
        QVERIFY(vbe.CommandBars("Tools") == nullptr);
        host::CommandBar* bar = vbe.CommandBars("Add-Ins");
        host::CommandBarControl& button = bar->Controls().Add(host::kControlButton);
        button.setCaption("First");
        t.row("command bar events");
        addInState("button added");
        for (int i = 0; i < 2; ++i)
            QObject::connect(&vbe.events().CommandBarEvents(&button), &host::CommandBarEvents::Click,
                             [this, i, &button](host::CommandBarControl* c, bool& handled, bool& cancel) {
                                 t(QStringLiteral("handler %1").arg(i), c == &button, handled, cancel);
                                 handled = i == 0;
                                 if (i == 1) c->Delete();
                             });
        h->addInActions().front()->trigger();
        t("controls", bar->Controls().count());
        addInState("clicked");
    }
};

QTEST_MAIN(HostTest)
#include "host_test.moc"
