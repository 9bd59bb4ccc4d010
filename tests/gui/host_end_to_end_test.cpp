// From the workbench's menu through the whole wizard into the loaded
// project: a VB6 project on disk with an existing clsOrders that the user
// has edited, the unsaved-changes question answered each way, the new and
// replaced components in the tree, and File > Save All writing them.
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include "host_support.h"
#include "support/sample_vb_project.h"
#include "wizard/frm_add_in_main.h"
#include "wizard/frm_choose_tables.h"
#include "wizard/frm_connection.h"
#include "wizard/frm_fields.h"
#include "wizard/frm_project.h"
#include "wizard/frm_report.h"

using namespace rw;
using namespace rw::test;

namespace {

const std::string kOrdersCode =
    "Option Explicit\r\n"
    "Private mvarOrderID As Variant\r\n";

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// One SQL Server table, Orders, keyed by its identity column OrderID.
std::unique_ptr<FakeConnection> ordersDatabase() {
    auto c = std::make_unique<FakeConnection>();
    c->properties["DBMS Name"] = "Microsoft SQL Server";
    c->properties["Data Source Name"] = "Orders";
    c->tables = {{"Orders", "TABLE"}};
    c->columns["Orders"] = {{"OrderID", 3, 10, 0, false}, {"ShipName", 130, {}, {}, true}};
    c->keys["Orders"] = {"OrderID"};
    c->queries["SELECT IDENTITYCOL FROM Orders"] = [] {
        return std::make_unique<MemoryRecordset>(std::vector<std::string>{"OrderID"},
                                                 std::vector<std::vector<Variant>>{});
    };
    return c;
}

}  // namespace

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
        QVERIFY(folder->isValid());
        h = std::make_unique<HostHarness>(std::make_unique<PosixFileSystem>());
        h->data.make = [](const std::string&) { return ordersDatabase(); };
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
        writeClassFile(*h->fs, ordersFile, "clsOrders", kOrdersCode);
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
        QVERIFY(orders.isDirty());

        h->menuEntry()->trigger();
        QVERIFY(h->welcomeShown());
        click(h->welcomePage()->cmdNext);

        wizard::Wizard& w = *h->launcher()->wizard();
        wizard::FrmProject& projectPage = *w.loadedProject();
        // The command again raises the page the wizard is on.
        const std::size_t pages = w.forms().size();
        h->menuEntry()->trigger();
        QCOMPARE(w.forms().size(), pages);
        QVERIFY(!h->welcomeShown());
        QTRY_COMPARE(QApplication::activeWindow(), &projectPage);
        QVERIFY(projectPage.optLoaded->isChecked());
        QCOMPARE(projectPage.cboLoadedProject->count(), 1);
        projectPage.cboLoadedProject->setCurrentIndex(projectPage.cboLoadedProject->findText(QStringLiteral("Billing")));
        click(projectPage.cmdNext);

        wizard::FrmConnection* connection = w.loadedConnection();
        QVERIFY(connection != nullptr);
        click(connection->optDSNLess);
        connection->txtConnString->setText(QStringLiteral("DSN=Orders;"));
        click(connection->cmdNext);

        wizard::FrmChooseTables* tables = w.loadedChooseTables();
        QVERIFY(tables != nullptr);
        QCOMPARE(tables->chosenTables(), std::vector<std::string>{"Orders"});
        click(tables->cmdNext);

        wizard::FrmFields* fields = w.loadedFields();
        QVERIFY(fields != nullptr);
        h->ui.answers = {answer};
        click(fields->cmdFinish);
        QCOMPARE(h->ui.messages.size(), std::size_t{1});
        QCOMPARE(h->ui.messages.front(),
                 (ScriptedWizardUi::Message{"You have unsaved changes in clsOrders.  Do you want to save your changes "
                                            "prior to generating the new file?",
                                            19, "Rowwright"}));
        // Yes saved the edit beside the project before the import.
        const std::string edited = ordersBytes + "' mine\r\n";
        QCOMPARE(readFile(ordersFile), answer == kAnswerYes ? edited : ordersBytes);

        wizard::FrmReport* report = w.loadedReport();
        QVERIFY(report != nullptr);
        click(report->cmdClose);
        QVERIFY(w.forms().empty());
        QVERIFY(!h->addIn()->FormDisplayed);

        // The run's components show as unsaved, and the editor shows the new code.
        QCOMPARE(treeLabels(h->workbench->tree),
                 QStringList({"Billing (Billing.vbp) *", "  frmMain (frmMain.frm)", "  modMain (modMain.bas)",
                              "  clsOrders (clsOrders.cls) *", "  clsOrdersColl *", "  modRowwrightErrHndlr *",
                              "  clsRwtConn *"}));
        QCOMPARE(h->workbench->shownComponent(), &orders);
        QVERIFY(h->workbench->editor->toPlainText().contains(QStringLiteral("Public Property Get ShipName()")));
        QVERIFY(!h->workbench->editor->toPlainText().contains(QStringLiteral("' mine")));

        h->workbench->actSaveAll->trigger();
        QVERIFY(!project.isDirty());
        const std::string saved = readFile(ordersFile);
        QVERIFY(saved.starts_with("VERSION 1.0 CLASS\r\n"));
        QVERIFY(contains(saved, "Attribute VB_Name = \"clsOrders\"\r\n"));
        QVERIFY(contains(saved, "Public Property Get ShipName() As Variant\r\n"));
        QVERIFY(!contains(saved, "' mine"));
        QVERIFY(contains(readFile(path("clsOrdersColl.cls")), "Attribute VB_Name = \"clsOrdersColl\"\r\n"));
        QVERIFY(contains(readFile(path("modRowwrightErrHndlr.bas")), "Attribute VB_Name = \"modRowwrightErrHndlr\""));
        QVERIFY(contains(readFile(path("clsRwtConn.cls")), "Attribute VB_Name = \"clsRwtConn\""));
        const std::string projectFile = readFile(vbp);
        QVERIFY(contains(projectFile, "Class=clsOrdersColl; clsOrdersColl.cls\r\n"));
        QVERIFY(contains(projectFile, "Module=modRowwrightErrHndlr; modRowwrightErrHndlr.bas\r\n"));
        QVERIFY(contains(projectFile, "Class=clsRwtConn; clsRwtConn.cls\r\n"));
        QVERIFY(contains(projectFile, "{00000200-0000-0010-8000-00AA006D2EA4}"));
        QCOMPARE(h->ui.messages.size(), std::size_t{1});
    }
};

QTEST_MAIN(HostEndToEndTest)
#include "host_end_to_end_test.moc"
