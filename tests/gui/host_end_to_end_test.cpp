// From the workbench's menu through the whole wizard into the loaded
// project: a VB6 project on disk with an existing clsOrders that the user
// has edited, the unsaved-changes question answered each way, the new and
// replaced components in the tree, and File > Save All writing them.
#include "host_support.h"

using namespace rw;
using namespace rw::test;

class HostEndToEndTest : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> folder;
    std::unique_ptr<HostHarness> h;
    std::string path(const char* name) const { return folder->filePath(QString::fromLatin1(name)).toStdString(); }

private slots:
    void initTestCase() {
        quietPlatformWarnings();
        usePrivateSettings();
    }
    void init() {
        modalFailures() = 0;
        clearSettings();
        folder = std::make_unique<QTemporaryDir>();
        h = std::make_unique<HostHarness>(std::make_unique<PosixFileSystem>());
        // One SQL Server table, Orders, keyed by its identity column OrderID.
        h->data.make = [](const std::string&) {
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
    }
    void cleanup() {
        h.reset();
        folder.reset();
        RW_VERIFY_NOTHING_LEFT();
    }
    void theWizardRegeneratesClassesOfTheLoadedProject_data() {
        QTest::addColumn<int>("answer");
        QTest::newRow("save the edit first") << int{kAnswerYes};
        QTest::newRow("do not save the edit") << int{kAnswerNo};
    }
    void theWizardRegeneratesClassesOfTheLoadedProject() {
        QFETCH(int, answer);
        const std::string vbp =
            writeSampleProject(*h->fs, folder->path().toStdString(), {"Class=clsOrders; clsOrders.cls\r\n", false});
        const std::string ordersFile = path("clsOrders.cls");
        writeClassFile(*h->fs, ordersFile, "clsOrders", "Option Explicit\r\nPrivate mvarOrderID As Variant\r\n");
        const std::string ordersBytes = readFile(ordersFile);
        h->registry.add(host::rowwrightRegistration());
        h->workbench->startUp();
        QVERIFY(h->workbench->openProject(vbp));
        ide::Project& project = *h->environment.projects().front();
        ide::Component& orders = *project.vbComponents().find("clsOrders");
        // The user's edit, not yet saved.
        h->workbench->selectComponent(orders);
        h->workbench->editor->moveCursor(QTextCursor::End);
        QTest::keyClick(h->workbench->editor, Qt::Key_Return);
        QTest::keyClicks(h->workbench->editor, "' mine");
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
        QCOMPARE(w.loadedChooseTables()->chosenTables(), std::vector<std::string>{"Orders"});
        click(w.loadedChooseTables()->cmdNext);
        h->ui.answers = {answer};
        click(w.loadedFields()->cmdFinish);
        QCOMPARE(h->ui.messages, (std::vector<Msg>{{"You have unsaved changes in clsOrders.  Do you want to save "
                                                    "your changes prior to generating the new file?", 19}}));
        // Yes saved the edit beside the project before the import.
        QCOMPARE(readFile(ordersFile), answer == kAnswerYes ? ordersBytes + "' mine\r\n" : ordersBytes);
        click(w.loadedReport()->cmdClose);
        QVERIFY(w.forms().empty() && !h->addIn()->FormDisplayed);
        // The run's components show as unsaved, and the editor shows the new code.
        QCOMPARE(treeLabels(h->workbench->tree),
                 QStringList({"Billing (Billing.vbp) *", "  frmMain (frmMain.frm)", "  modMain (modMain.bas)",
                              "  clsOrders (clsOrders.cls) *", "  clsOrdersColl *", "  modRowwrightErrHndlr *",
                              "  clsRwtConn *"}));
        QCOMPARE(h->workbench->shownComponent(), &orders);
        const QString shown = h->workbench->editor->toPlainText();
        QVERIFY(shown.contains(QStringLiteral("Public Property Get ShipName()")) && !shown.contains("' mine"));
        h->workbench->actSaveAll->trigger();
        QVERIFY(!project.isDirty());
        const std::string saved = readFile(ordersFile);
        QVERIFY(saved.starts_with("VERSION 1.0 CLASS\r\n") && saved.find("' mine") == std::string::npos);
        QVERIFY(saved.find("Public Property Get ShipName() As Variant\r\n") != std::string::npos);
        for (const char* file : {"clsOrders.cls", "clsOrdersColl.cls", "modRowwrightErrHndlr.bas", "clsRwtConn.cls"}) {
            const std::string name = QFileInfo(file).baseName().toStdString();
            QVERIFY2(readFile(path(file)).find("Attribute VB_Name = \"" + name + "\"\r\n") != std::string::npos, file);
        }
        const std::string projectFile = readFile(vbp);
        for (const char* line : {"Class=clsOrdersColl; clsOrdersColl.cls\r\n",
                                 "Module=modRowwrightErrHndlr; modRowwrightErrHndlr.bas\r\n",
                                 "Class=clsRwtConn; clsRwtConn.cls\r\n", "{00000200-0000-0010-8000-00AA006D2EA4}"})
            QVERIFY2(projectFile.find(line) != std::string::npos, line);
        QCOMPARE(h->ui.messages.size(), std::size_t{1});
    }
};

QTEST_MAIN(HostEndToEndTest)
#include "host_end_to_end_test.moc"
