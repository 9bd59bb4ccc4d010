// The workbench's projects: opening, the code editor, saving, never losing
// unsaved work without a question; and from its menu through the whole
// wizard into the loaded project.
#include "host_support.h"

using namespace rw;
using namespace rw::test;

namespace {

const std::string kOrdersCode =
    "Option Explicit\r\nPrivate mvarOrderID As Variant\r\n\r\nPublic Property Get OrderID() As Variant\r\n"
    "Attribute OrderID.VB_UserMemId = 0\r\n    OrderID = mvarOrderID\r\nEnd Property\r\n";

const QStringList kTree{"Billing (Billing.vbp)", "  frmMain (frmMain.frm)", "  modMain (modMain.bas)",
                        "  clsOrders (clsOrders.cls)"};

}  // namespace

class HostWorkbenchTest : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> folder;
    std::unique_ptr<HostHarness> h;
    std::string vbp, ordersFile, ordersBytes;
    std::string path(const char* name) const { return folder->filePath(QString::fromLatin1(name)).toStdString(); }
    ide::Project& project() { return *h->environment.projects().front(); }
    ide::Component& orders() { return *project().vbComponents().find("clsOrders"); }
    void openBilling() {
        h->ui.dialogAnswers.push_back(vbp);
        h->workbench->actOpenProject->trigger();
        QCOMPARE(h->environment.projects().size(), std::size_t{1});
    }
    // Types a comment at the start of the class's third line; returns the
    // file's bytes once saved.
    std::string editOrders() {
        h->workbench->selectComponent(orders());
        QTextCursor cursor = h->workbench->editor->textCursor();
        cursor.movePosition(QTextCursor::Start);
        cursor.movePosition(QTextCursor::Down, QTextCursor::MoveAnchor, 2);
        h->workbench->editor->setTextCursor(cursor);
        QTest::keyClicks(h->workbench->editor, "' note");
        std::string bytes = ordersBytes;
        const std::string at = "Private mvarOrderID As Variant\r\n";
        return bytes.insert(bytes.find(at) + at.size(), "' note");
    }

private slots:
    void initTestCase() { quietPlatformWarnings(); }
    void init() {
        folder = std::make_unique<QTemporaryDir>();
        h = std::make_unique<HostHarness>(std::make_unique<PosixFileSystem>());
        vbp = writeSampleProject(*h->fs, folder->path().toStdString(), {"Class=clsOrders; clsOrders.cls\r\n", false});
        ordersFile = path("clsOrders.cls");
        writeClassFile(*h->fs, ordersFile, "clsOrders", kOrdersCode);
        ordersBytes = readFile(ordersFile);
    }
    void cleanup() {
        h.reset();
        folder.reset();
        RW_VERIFY_NOTHING_LEFT();
    }
    void openEditSaveAndClose() {
        h->workbench->show();
        h->workbench->actOpenProject->trigger();  // cancelled: nothing opens
        QVERIFY(h->environment.projects().empty() && !h->workbench->actSave->isEnabled());
        openBilling();
        QCOMPARE(h->ui.dialogs.back().filter, std::string("VB Projects (*.vbp)|*.vbp"));
        QCOMPARE(treeLabels(h->workbench->tree), kTree);
        QVERIFY(h->workbench->actSave->isEnabled() && h->workbench->actCloseProject->isEnabled());
        h->workbench->selectComponent(orders());
        // The code without the member attribute, which belongs to the line above it.
        QCOMPARE(h->workbench->editor->toPlainText(),
                 QStringLiteral("Option Explicit\nPrivate mvarOrderID As Variant\n\nPublic Property Get OrderID() As "
                                "Variant\n    OrderID = mvarOrderID\nEnd Property"));
        QVERIFY(!orders().isDirty() && !h->workbench->editor->isReadOnly());
        h->workbench->tree->setCurrentItem(h->workbench->tree->topLevelItem(0));
        QVERIFY(h->workbench->shownComponent() == nullptr && h->workbench->editor->isReadOnly());
        QVERIFY(h->workbench->editor->toPlainText().isEmpty());
        // Opening it again selects the one already loaded; a missing one is shown.
        QVERIFY(h->workbench->openProject(vbp) && !h->workbench->openProject(path("Nope.vbp")));
        QVERIFY(h->environment.projects().size() == 1 && h->ui.messages.size() == 1);
        QVERIFY(h->ui.messages[0].text.starts_with("The project '" + path("Nope.vbp") + "' could not be opened.\r\n\r\n"));
        h->ui.messages.clear();
        const std::string edited = editOrders();
        QStringList dirty = kTree;
        dirty.first() += " *";
        dirty.last() += " *";
        QCOMPARE(treeLabels(h->workbench->tree), dirty);
        QCOMPARE(readFile(ordersFile), ordersBytes);
        h->workbench->actSave->trigger();
        QVERIFY(!orders().isDirty() && readFile(ordersFile) == edited);
        QCOMPARE(treeLabels(h->workbench->tree), kTree);
        h->workbench->actCloseProject->trigger();  // saved: no question
        QVERIFY(h->environment.projects().empty() && h->workbench->tree->topLevelItemCount() == 0);
        QVERIFY(h->workbench->shownComponent() == nullptr && h->ui.messages.empty());
    }
    // Closing a project or the workbench with unsaved work asks first; the
    // add-in goes only with the window.
    void closingAsksFirst_data() {
        QTest::addColumn<bool>("workbench");
        QTest::addColumn<int>("answer");
        for (bool workbench : {false, true})
            for (int answer : {kAnswerYes, kAnswerNo, kAnswerCancel})
                QTest::addRow("%s, %d", workbench ? "workbench" : "project", answer) << workbench << answer;
    }
    void closingAsksFirst() {
        QFETCH(bool, workbench);
        QFETCH(int, answer);
        const bool closed = answer != kAnswerCancel;
        h->registry.add(host::rowwrightRegistration());
        h->workbench->startUp();
        openBilling();
        const std::string edited = editOrders();
        h->ui.answers.push_back(answer);
        (workbench ? h->workbench->actExit : h->workbench->actCloseProject)->trigger();
        const Msg question{"Save changes to the following projects?\r\n\r\nBilling (Billing.vbp)\r\n    clsOrders", 35,
                           "Rowwright Workbench"};
        QCOMPARE(h->ui.messages, std::vector<Msg>{question});
        QCOMPARE(readFile(ordersFile), answer == kAnswerYes ? edited : ordersBytes);
        if (!closed) QVERIFY(orders().isDirty() && h->workbench->shownComponent() == &orders());
        if (workbench) {
            QVERIFY(h->workbench->isVisible() != closed && h->workbench->isConnected(host::kAddInProgId) != closed);
            QCOMPARE(h->menuEntry() != nullptr, !closed);
        } else {
            QCOMPARE(h->workbench->tree->topLevelItemCount(), closed ? 0 : 1);
        }
    }
    void aFailedSaveKeepsTheWorkbenchOpen() {
        h->workbench->show();
        openBilling();
        // A new class whose file name is taken by a file the project does not own.
        project().vbComponents().add(ide::kClassModule);
        writeBytes(*h->fs, path("Class1.cls"), "not ours\r\n");
        h->ui.answers.push_back(kAnswerYes);
        QVERIFY(!h->workbench->close());
        QVERIFY(h->workbench->isVisible() && project().isDirty() && h->ui.messages.size() == 2);
        QCOMPARE(h->ui.messages[1].style, int{kStyleExclamation});
        QVERIFY(h->ui.messages[1].text.starts_with("The project 'Billing' could not be saved.\r\n\r\nFile already exists"));
        QCOMPARE(readFile(path("Class1.cls")), std::string("not ours\r\n"));
    }
    // The wizard regenerates clsOrders of the loaded project after asking
    // whether to save the user's edit first.
    void theWizardRegeneratesClassesOfTheLoadedProject_data() {
        QTest::addColumn<int>("answer");
        QTest::newRow("save the edit first") << int{kAnswerYes};
        QTest::newRow("do not save the edit") << int{kAnswerNo};
    }
    void theWizardRegeneratesClassesOfTheLoadedProject() {
        QFETCH(int, answer);
        // One SQL Server table, Orders, keyed by its identity column OrderID.
        h->fakeData.make = [](const std::string&) {
            auto c = std::make_unique<FakeConnection>();
            c->properties["DBMS Name"] = "Microsoft SQL Server";
            c->tables = {{"Orders", "TABLE"}};
            c->columns["Orders"] = {{"OrderID", 3, 10, 0, false}, {"ShipName", 130, {}, {}, true}};
            c->keys["Orders"] = {"OrderID"};
            c->queries["SELECT IDENTITYCOL FROM Orders"] = [] {
                return std::make_unique<MemoryRecordset>(std::vector<std::string>{"OrderID"},
                                                         std::vector<std::vector<Variant>>{});
            };
            return c;
        };
        h->registry.add(host::rowwrightRegistration());
        h->workbench->startUp();
        QVERIFY(h->workbench->openProject(vbp));
        const std::string edited = editOrders();
        h->menuEntry()->trigger();
        click(h->welcomePage()->cmdNext);
        wizard::Wizard& w = *h->launcher()->wizard();
        wizard::FrmProject& projectPage = *w.loadedProject();
        // The command again raises the page the wizard is on.
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
        QCOMPARE(h->ui.messages, (std::vector<Msg>{{"You have unsaved changes in clsOrders.  Do you want to save "
                                                    "your changes prior to generating the new file?", 19}}));
        // Yes saved the edit beside the project before the import.
        QCOMPARE(readFile(ordersFile), answer == kAnswerYes ? edited : ordersBytes);
        QVERIFY(matchesGolden("gui_loaded_project_report.txt", QByteArray::fromStdString(w.loadedReport()->reportText())));
        // The save dialogs start without a folder and propose the project's name.
        click(w.loadedReport()->cmdSave);
        click(w.loadedReport()->cmdSaveAnswers);
        QVERIFY(h->ui.dialogs[0].folder.empty() && h->ui.dialogs[0].fileName == "Billing.txt");
        QCOMPARE(h->ui.dialogs[1].fileName, std::string("Billing.json"));
        click(w.loadedReport()->cmdClose);
        QVERIFY(w.forms().empty() && !h->addIn()->FormDisplayed);
        // The run's components show as unsaved, and the editor shows the new code.
        QCOMPARE(treeLabels(h->workbench->tree),
                 QStringList({"Billing (Billing.vbp) *", "  frmMain (frmMain.frm)", "  modMain (modMain.bas)",
                              "  clsOrders (clsOrders.cls) *", "  clsOrdersColl *", "  modRowwrightErrHndlr *",
                              "  clsRwtConn *"}));
        QCOMPARE(h->workbench->shownComponent(), &orders());
        const QString shown = h->workbench->editor->toPlainText();
        QVERIFY(shown.contains(QStringLiteral("Public Property Get ShipName()")) && !shown.contains("' note"));
        h->workbench->actSaveAll->trigger();
        QVERIFY(!project().isDirty());
        for (const char* file : {"Billing.vbp", "clsOrders.cls", "clsOrdersColl.cls", "modRowwrightErrHndlr.bas"}) {
            const QByteArray bytes = QByteArray::fromStdString(readFile(path(file)));
            QVERIFY2(matchesGolden(QStringLiteral("gui_workbench_%1.txt").arg(file), bytes), file);
        }
        QCOMPARE(h->ui.messages.size(), std::size_t{1});
    }
};

QTEST_MAIN(HostWorkbenchTest)
#include "host_workbench_test.moc"
