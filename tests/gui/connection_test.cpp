// The connection page with its login dialog and OLE DB builder, the table
// page and the fields page, over a database in memory; and Finish.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTableView>
#include <QTemporaryFile>
#include <QTest>

#include "answers/answers.h"
#include "support/gui_support.h"
#include "support/sample_vb_project.h"
#include "wizard/frm_add_in_main.h"
#include "wizard/frm_choose_tables.h"
#include "wizard/frm_connection.h"
#include "wizard/frm_fields.h"
#include "wizard/frm_login.h"
#include "wizard/frm_oledb_login.h"
#include "wizard/frm_project.h"
#include "wizard/frm_report.h"

using namespace rw;
using namespace rw::test;
using namespace rw::wizard;

using Msg = ScriptedWizardUi::Message;

namespace {

std::unique_ptr<Recordset> fieldNamed(const std::string& name) {
    return std::make_unique<MemoryRecordset>(std::vector<std::string>{name}, std::vector<std::vector<Variant>>{});
}

// A small SQL Server database: Customers keyed by CustomerID, Orders with
// an identity OrderID, a view and the system's own tables.
std::unique_ptr<FakeConnection> sampleDatabase() {
    auto c = std::make_unique<FakeConnection>();
    c->properties["DBMS Name"] = "Microsoft SQL Server";
    c->properties["Data Source Name"] = "Orders";
    c->tables = {{"Customers", "TABLE"}, {"dtproperties", "TABLE"}, {"MSysObjects", "TABLE"},
                 {"msysLower", "TABLE"}, {"CustomerView", "VIEW"},  {"Orders", "TABLE"}};
    c->columns["Customers"] = {{"CustomerID", 130, {}, {}, false}, {"CompanyName", 130, {}, {}, false},
                               {"CreditLimit", 131, 10, 2, true}};
    c->columns["Orders"] = {{"OrderID", 3, 10, 0, false}, {"CustomerID", 130, {}, {}, false},
                            {"ShipVia", 3, 10, 0, true}, {"Freight", 131, 4, 0, true}};
    c->columns["msysLower"] = {{"next", 3, 10, 0, true}};
    c->keys["Customers"] = {"CustomerID"};
    c->keys["Orders"] = {"OrderID"};
    c->queries["SELECT IDENTITYCOL FROM Orders"] = [] { return fieldNamed("OrderID"); };
    return c;
}

// The names of the controls Tab visits, in order, from where the page's
// focus is.
QStringList tabOrder(QWidget* page) {
    QStringList names;
    QWidget* w = page->focusWidget();
    do {
        if ((w->focusPolicy() & Qt::TabFocus) != 0) names << w->objectName();
        w = w->nextInFocusChain();
    } while (w != page->focusWidget());
    return names;
}

std::vector<std::string> listTexts(const QListWidget* list) {
    std::vector<std::string> texts;
    for (int i = 0; i < list->count(); ++i) texts.push_back(list->item(i)->text().toStdString());
    return texts;
}

}  // namespace

class ConnectionTest : public QObject {
    Q_OBJECT

    std::unique_ptr<WizardHarness> h;

    FrmConnection& toConnectionPage() {
        h->memoryFs()->createDirectories("/out");
        h->wizard->start();
        click(h->wizard->frmAddInMain().cmdNext);
        FrmProject& p = *h->wizard->loadedProject();
        click(p.optNew);
        p.txtNewStoreDir->setText(QStringLiteral("/out"));
        p.txtProjName->setText(QStringLiteral("Orders"));
        click(p.cmdNext);
        return *h->wizard->loadedConnection();
    }

    // Through a DSN-less connection string, which needs no login.
    FrmChooseTables& toTablesPage() {
        FrmConnection& c = toConnectionPage();
        click(c.optDSNLess);
        c.txtConnString->setText(QStringLiteral("DSN=Orders;"));
        click(c.cmdNext);
        return *h->wizard->loadedChooseTables();
    }

    FrmFields& toFieldsPage() {
        FrmChooseTables& t = toTablesPage();
        click(t.cmdNext);
        return *h->wizard->loadedFields();
    }

    // The grid's cell of a row and a column, clicked with the mouse.
    void clickCell(FrmFields& f, int row, int column) {
        QTableView* grid = f.grdFields;
        const QRect cell = grid->visualRect(grid->model()->index(row, column));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    }

private slots:
    void initTestCase() {
        quietPlatformWarnings();
        usePrivateSettings();
    }

    void init() {
        modalFailures() = 0;
        h = std::make_unique<WizardHarness>();
        h->fakeData.make = [](const std::string&) { return sampleDatabase(); };
    }

    void cleanup() {
        h.reset();
        RW_VERIFY_NOTHING_LEFT();
    }

    // A page opens on its first control: Tab visits its controls, then the
    // button row. Every page is shown at the size the wizard opened with,
    // which none is smaller than.
    void tabOrderAndSteadySize() {
        const QStringList buttons{"cmdHelp", "cmdCancel", "cmdBack", "cmdNext", "cmdFinish"};
        FrmAddInMain& w = h->wizard->start();
        QCOMPARE(tabOrder(&w), QStringList({"chkModuleHead", "chkFunctionHead", "chkDevNotes", "chkEH", "chkCode",
                                            "Label3", "Label4"}) + buttons);
        FrmChooseTables& t = toTablesPage();
        QCOMPARE(tabOrder(&t), QStringList({"lstNo", "cmdInclude", "cmdDontInclude", "cmdIncludeAll",
                                            "cmdDontIncludeAll", "lstYes"}) + buttons);
        click(t.cmdNext);
        for (QWidget* page : std::initializer_list<QWidget*>{h->wizard->loadedProject(), h->wizard->loadedConnection(),
                                                             &t, h->wizard->loadedFields()}) {
            QCOMPARE(page->size(), w.size());
            QCOMPARE(page->size().expandedTo(page->sizeHint()), page->size());
        }
    }

    // What one run chose comes back in the next, any password left out.
    void choicesAreRememberedAcrossRuns() {
        QSettings(QStringLiteral("Rowwright"), QStringLiteral("Rowwright")).clear();
        WizardMemory memory;
        for (int run = 0; run < 2; ++run) {
            h = std::make_unique<WizardHarness>(nullptr, nullptr, &memory);
            h->fakeData.make = [](const std::string&) { return sampleDatabase(); };
            h->memoryFs()->createDirectories("/out");
            FrmAddInMain& w = h->wizard->start();
            if (run == 0) {
                click(w.chkEH);
                click(w.chkCode);
            }
            const WelcomeOptions o = w.options();
            QVERIFY(o.chkModuleHead && o.chkFunctionHead && o.chkDevNotes && !o.chkEH && !o.chkCode);
            click(w.cmdNext);
            FrmProject& p = *h->wizard->loadedProject();
            if (run == 0) {
                click(p.optNew);
                click(p.optProjectStdExe);
                click(p.optProjectExisting);
                h->ui.dialogAnswers = {std::string("/out")};
                click(p.cmdExistStore);
                p.txtExistProject->setText(QStringLiteral("/out/Billing.vbp"));
            } else {
                QVERIFY(p.optProjectExisting->isChecked() && p.optProjectStdExe->isChecked());
                QCOMPARE(p.txtExistProject->text(), QStringLiteral("/out/Billing.vbp"));
                QCOMPARE(p.txtExistStoreDir->text(), QStringLiteral("/out"));
                QCOMPARE(p.txtNewStoreDir->text(), QStringLiteral("/out"));
                click(p.cmdExistStore);  // cancelled; opens where the last run's browser went
                QVERIFY(h->ui.dialogs.size() == 1 && h->ui.dialogs[0].folder == "/out");
            }
            click(p.cmdNext);
            FrmConnection& c = *h->wizard->loadedConnection();
            if (run == 0) {
                c.txtDSN->setText(QStringLiteral("Northwind"));
                click(c.optDSNLess);
                c.txtConnString->setText(QStringLiteral("DSN=Orders;PWD={a;b};UID=u"));
                click(c.cmdNext);
                QVERIFY(h->wizard->loadedChooseTables() != nullptr);
            } else {
                QVERIFY(c.optDSNLess->isChecked() && c.txtConnString->isEnabled());
                QCOMPARE(c.txtDSN->text(), QStringLiteral("Northwind"));
                QCOMPARE(c.txtConnString->text(), QStringLiteral("DSN=Orders;UID=u"));
            }
            h->wizard->closeWizard(false);
        }
    }

    void connectionPageDefaults() {
        FrmConnection& c = toConnectionPage();
        QVERIFY(c.isVisible());
        QCOMPARE(c.windowTitle(), QStringLiteral("Rowwright - Choose Connection"));
        QCOMPARE(c.txtInstructions->toPlainText().toStdString(),
                 std::string("Choose whether you wish to use an ODBC DSN connection or a DSN-less or OLE DB "
                             "connection. A DSN-less connection requires that you manually enter a complete and "
                             "accurate connection string.  For an OLE DB connecton, you can either enter the "
                             "connection string for your provider manually, or click the 'Choose OLE DB Provider' "
                             "button which will display a dialog box to assist you in connecting to your OLE DB "
                             "provider."));
        QCOMPARE(c.optDSN->text(), QStringLiteral("Use ODBC DSN Connection"));
        QCOMPARE(c.optDSNLess->text(), QStringLiteral("Use DSN-less or OLE DB Connection"));
        QVERIFY(c.optDSN->isChecked());
        QVERIFY(c.txtDSN->isEnabled() && c.cmdDSN->isEnabled());
        QVERIFY(!c.txtConnString->isEnabled() && !c.cmdOLEDB->isEnabled());
        screenshot(&c, QStringLiteral("frmConnection"));

        c.txtDSN->setText(QStringLiteral("Orders"));
        click(c.optDSNLess);
        QVERIFY(!c.txtDSN->isEnabled() && !c.cmdDSN->isEnabled());
        QVERIFY(c.txtConnString->isEnabled() && c.cmdOLEDB->isEnabled());
        c.txtConnString->setText(QStringLiteral("Driver=X;"));
        click(c.optDSN);
        QCOMPARE(c.txtDSN->text(), QStringLiteral("Orders"));
        QCOMPARE(c.txtConnString->text(), QStringLiteral("Driver=X;"));
        QCOMPARE(c.cmdFinish->text(), QStringLiteral("&Finish"));

        click(c.cmdHelp);
        QCOMPARE(h->ui.urls, std::vector<std::string>{helpPageUrl(RW_SOURCE_HELP_DIR, 3)});
    }

    void emptyEntriesAreRefused() {
        FrmConnection& c = toConnectionPage();
        c.txtDSN->setText(QStringLiteral("   "));
        click(c.cmdNext);
        click(c.optDSNLess);
        c.txtConnString->setText(QStringLiteral("  "));
        click(c.cmdNext);
        QCOMPARE(h->ui.messages,
                 (std::vector<Msg>{{"You have chosen to use a DSN connection but have not chosen one.  Rowwright can "
                                    "not continue until you do.",
                                    64, "Rowwright"},
                                   {"You have chosen to use a DSN-less connection but have not entered a connection "
                                    "string.  Rowwright can not continue until you do.",
                                    64, "Rowwright"}}));
        QVERIFY(h->fakeData.opens.empty());
        QVERIFY(c.isVisible());
    }

    void loginCancelledStaysOnThePage() {
        FrmConnection& c = toConnectionPage();
        c.txtDSN->setText(QStringLiteral("Orders"));
        bool seen = false;
        whenModal<FrmLogin>([&](FrmLogin* d) {
            seen = true;
            QCOMPARE(d->windowTitle(), QStringLiteral("Orders Login"));
            QVERIFY(d->txtUserName->text().isEmpty() && d->txtPassword->text().isEmpty());
            QCOMPARE(d->txtPassword->echoMode(), QLineEdit::Password);
            QVERIFY(d->cmdOK->isDefault());
            screenshot(d, QStringLiteral("frmLogin"));
            click(d->cmdCancel);
        });
        click(c.cmdNext);
        QVERIFY(seen);
        QVERIFY(h->fakeData.opens.empty());
        QVERIFY(h->ui.messages.empty());
        QVERIFY(c.isVisible());
        QVERIFY(h->wizard->loadedChooseTables() == nullptr);
    }

    void loginGivenOpensTheConnection() {
        FrmConnection& c = toConnectionPage();
        c.txtDSN->setText(QStringLiteral("Orders"));
        whenModal<FrmLogin>([&](FrmLogin* d) {
            QTest::keyClicks(d->txtUserName, QStringLiteral("sa"));
            QTest::keyClicks(d->txtPassword, QStringLiteral("pw"));
            QTest::keyClick(d, Qt::Key_Return);  // OK is the default button
        });
        click(c.cmdNext);
        QCOMPARE(h->fakeData.opens.size(), std::size_t{1});
        QCOMPARE(h->fakeData.opens[0].connectionString, std::string("Orders"));
        QCOMPARE(h->fakeData.opens[0].user, std::string("sa"));
        QCOMPARE(h->fakeData.opens[0].password, std::string("pw"));
        QVERIFY(!c.isVisible());
        QVERIFY(h->wizard->loadedChooseTables()->isVisible());

        // Back and Next again: the login is known, no dialog, a new connection.
        click(h->wizard->loadedChooseTables()->cmdBack);
        QVERIFY(c.isVisible());
        QVERIFY(c.moConn() != nullptr);
        click(c.cmdNext);
        QCOMPARE(h->fakeData.opens.size(), std::size_t{2});
        QCOMPARE(h->fakeData.opens[1].user, std::string("sa"));
    }

    void dataSourceDialog() {
        h->fakeData.sources = {{0, "Orders"}, {0, "   "}, {0, "Billing"}};
        h->fakeData.make = [](const std::string&) {
            auto c = sampleDatabase();
            c->completedString = "DSN=Orders;UID=admin;";
            return c;
        };
        FrmConnection& c = toConnectionPage();
        c.txtDSN->setText(QStringLiteral("typed"));
        click(c.cmdDSN);  // cancelled: nothing changes, nothing is said
        QCOMPARE(c.txtDSN->text(), QStringLiteral("typed"));
        QCOMPARE(h->ui.dataSourcePrompts.size(), std::size_t{1});
        QCOMPARE(h->ui.dataSourcePrompts[0], (std::vector<std::string>{"Orders", "Billing"}));

        h->ui.dataSourceAnswers = {"DSN=Orders;UID=admin;PWD="};
        click(c.cmdDSN);
        QCOMPARE(c.txtDSN->text(), QStringLiteral("Orders"));
        QCOMPARE(h->fakeData.opens.back().connectionString, std::string("DSN=Orders;UID=admin;PWD="));
        // The user name came with the data source: Next asks for no login.
        click(c.cmdNext);
        QCOMPARE(h->fakeData.opens.back().connectionString, std::string("Orders"));
        QCOMPARE(h->fakeData.opens.back().user, std::string("admin"));
        QCOMPARE(h->fakeData.opens.back().password, std::string());
        QVERIFY(h->ui.messages.empty());
        QVERIFY(h->wizard->loadedChooseTables()->isVisible());
    }

    void failedConnectionIsShownAndThePageStays() {
        h->fakeData.openError =
            RuntimeError(-2147467259, "Microsoft OLE DB Provider for ODBC Drivers",
                         "[unixODBC][Driver Manager]Data source name not found and no default driver specified (IM002)");
        FrmConnection& c = toConnectionPage();
        click(c.optDSNLess);
        c.txtConnString->setText(QStringLiteral("DSN=Nowhere;"));
        click(c.cmdNext);
        QCOMPARE(h->ui.messages,
                 (std::vector<Msg>{{shownError(-2147467259, "Microsoft OLE DB Provider for ODBC Drivers",
                                               "frmConnection.cmdNext_Click",
                                               "[unixODBC][Driver Manager]Data source name not found and no default "
                                               "driver specified (IM002)"),
                                    48, "Rowwright"}}));
        QVERIFY(c.isVisible());
        QVERIFY(h->wizard->loadedChooseTables() == nullptr);
    }

    void builderForSqlServer() {
        FrmConnection& c = toConnectionPage();
        click(c.optDSNLess);
        whenModal<FrmOLEDBLogin>([&](FrmOLEDBLogin* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Rowwright - OLE DB Connection Builder"));
            QCOMPARE(d->cboProviders->count(), 5);
            const QStringList providers{"Microsoft OLE DB Provider for SQL Server",
                                        "Microsoft OLE DB Provider for Oracle", "Microsoft Jet 3.51 OLE DB Provider",
                                        "Microsoft Jet 4.0 OLE DB Provider",
                                        "Microsoft OLE DB Provider for ODBC Drivers"};
            for (int i = 0; i < 5; ++i) QCOMPARE(d->cboProviders->itemText(i), providers[i]);
            QCOMPARE(d->cboProviders->currentIndex(), -1);
            d->cboProviders->setCurrentIndex(0);
            QVERIFY(d->txtServer->isVisibleTo(d) && d->txtDatabase->isVisibleTo(d));
            QVERIFY(!d->cmdDB->isVisibleTo(d) && !d->cboDSNList->isVisibleTo(d));
            QVERIFY(d->txtUID->isVisibleTo(d) && d->txtPWD->isVisibleTo(d));
            QCOMPARE(d->txtPWD->echoMode(), QLineEdit::Normal);
            QTest::keyClicks(d->txtServer, QStringLiteral("db1"));
            QTest::keyClicks(d->txtDatabase, QStringLiteral("Orders"));
            QTest::keyClicks(d->txtUID, QStringLiteral("sa"));
            QTest::keyClicks(d->txtPWD, QStringLiteral("secret"));
            screenshot(d, QStringLiteral("frmOLEDBLogin"));
            click(d->cmdOK);
        });
        click(c.cmdOLEDB);
        QCOMPARE(c.txtConnString->text(),
                 QStringLiteral("PROVIDER=SQLOLEDB;Data Source=db1;Initial Catalog=Orders;User ID=sa;Password=secret;"));
        QVERIFY(h->ui.messages.empty());
    }

    void builderChecksTestsAndCancels() {
        h->fakeData.sources = {{0, "Orders"}, {0, ""}, {0, "Billing"}};
        h->fakeData.drivers = {{"PostgreSQL Unicode", {"Driver=psqlodbcw.so"}}};
        FrmConnection& c = toConnectionPage();
        click(c.optDSNLess);
        c.txtConnString->setText(QStringLiteral("old"));
        whenModal<FrmOLEDBLogin>([&](FrmOLEDBLogin* d) {
            // SQL Server without a server.
            d->cboProviders->setCurrentIndex(0);
            click(d->cmdOK);
            // ODBC with a typed, not chosen, data source.
            d->cboProviders->setCurrentIndex(4);
            QVERIFY(!d->txtServer->isVisibleTo(d) && !d->txtDatabase->isVisibleTo(d));
            QVERIFY(d->cboDSNList->isVisibleTo(d));
            QCOMPARE(d->cboDSNList->count(), 2);
            QTest::keyClicks(d->cboDSNList->lineEdit(), QStringLiteral("Orders"));
            click(d->cmdTest);
            QVERIFY(d->isVisible());
            // Chosen from the list, the test opens the string.
            d->cboDSNList->setCurrentIndex(1);
            emit d->cboDSNList->activated(1);
            click(d->cmdTest);
            // A driver's string, with the port, tested the same way.
            d->cboProviders->setCurrentIndex(5);
            QTest::keyClicks(d->txtServer, QStringLiteral("db1"));
            QTest::keyClicks(d->txtPort, QStringLiteral("5433"));
            click(d->cmdTest);
            QVERIFY(d->isVisible());
            click(d->cmdCancel);
        });
        click(c.cmdOLEDB);
        const std::string pending = "  Rowwright can not continue with your request until you do so.";
        QCOMPARE(h->ui.messages,
                 (std::vector<Msg>{{"You have requested to use the Microsoft OLE DB Provider for SQL Server, but you "
                                    "have not indicated a server." + pending,
                                    48, "Rowwright"},
                                   {"You have requested to use the Microsoft OLE DB Provider for ODBC Drivers, but you "
                                    "have not selected a DSN." + pending,
                                    48, "Rowwright"},
                                   {"Test successful!", 64, "Rowwright"},
                                   {"Test successful!", 64, "Rowwright"}}));
        QCOMPARE(h->fakeData.opens.size(), std::size_t{2});
        QCOMPARE(h->fakeData.opens[0].connectionString,
                 std::string("PROVIDER=MSDASQL;Data Source=Billing;User ID=;Password=;"));
        QCOMPARE(h->fakeData.opens[1].connectionString, std::string("DRIVER={PostgreSQL Unicode};SERVER=db1;PORT=5433;"));
        // Cancelling the builder empties the connection string.
        QVERIFY(c.txtConnString->text().isEmpty());
        QCOMPARE(h->ui.busyDepth, 0);
    }

    void builderDatabaseFile() {
        QTemporaryFile mdb(QDir::tempPath() + QStringLiteral("/rw-XXXXXX.mdb"));
        QVERIFY(mdb.open());
        FrmConnection& c = toConnectionPage();
        click(c.optDSNLess);
        h->ui.dialogAnswers = {std::string("/no/such/file.mdb"), mdb.fileName().toStdString()};
        whenModal<FrmOLEDBLogin>([&](FrmOLEDBLogin* d) {
            d->cboProviders->setCurrentIndex(3);
            QVERIFY(d->cmdDB->isVisibleTo(d) && !d->txtServer->isVisibleTo(d));
            click(d->cmdDB);
            QVERIFY(d->txtDatabase->text().isEmpty());
            click(d->cmdDB);
            click(d->cmdOK);
        });
        click(c.cmdOLEDB);
        QCOMPARE(h->ui.dialogs.size(), std::size_t{2});
        QCOMPARE(h->ui.dialogs[0].filter, std::string("Access DB Files (*.mdb)|*.mdb"));
        QCOMPARE(h->ui.messages.size(), std::size_t{1});
        QCOMPARE(h->ui.messages[0].text,
                 shownError(53, "RwtAddIn", "frmOLEDBLogin.cmdDB_Click", "File not found"));
        QCOMPARE(c.txtConnString->text(), QStringLiteral("PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=") +
                                              mdb.fileName() + QStringLiteral(";User ID=;Password=;"));
    }

    void tablesPage() {
        FrmChooseTables& t = toTablesPage();
        QVERIFY(t.isVisible());
        QVERIFY(!h->wizard->loadedConnection()->isVisible());
        QCOMPARE(t.windowTitle(), QStringLiteral("Rowwright - Choose Tables"));
        QCOMPARE(t.Label2->text().toStdString(),
                 std::string("Rowwright will create your data objects based on the tables you choose in the Include "
                             "listbox to the right.  All tables are chosen by default."));
        QCOMPARE(listTexts(t.lstYes), (std::vector<std::string>{"Customers", "msysLower", "Orders"}));
        QCOMPARE(t.lstNo->count(), 0);
        QCOMPARE(t.cmdInclude->text(), QStringLiteral(">"));
        QCOMPARE(t.cmdDontInclude->text(), QStringLiteral("<"));
        QCOMPARE(t.cmdIncludeAll->text(), QStringLiteral(">>"));
        QCOMPARE(t.cmdDontIncludeAll->text(), QStringLiteral("<<"));
        screenshot(&t, QStringLiteral("frmChooseTables"));

        // The first and third move out, walked from the last.
        t.lstYes->item(0)->setSelected(true);
        t.lstYes->item(2)->setSelected(true);
        click(t.cmdDontInclude);
        QCOMPARE(listTexts(t.lstYes), std::vector<std::string>{"msysLower"});
        QCOMPARE(listTexts(t.lstNo), (std::vector<std::string>{"Orders", "Customers"}));
        click(t.cmdDontIncludeAll);
        QCOMPARE(t.lstYes->count(), 0);

        // Next with nothing included: the beep and the notice, nothing else.
        click(t.cmdNext);
        QCOMPARE(h->ui.beeps, 1);
        QCOMPARE(h->ui.messages,
                 (std::vector<Msg>{{"You have not chosen any tables from which to generate objects.", 48, "Rowwright"}}));
        QVERIFY(t.isVisible());
        QVERIFY(h->wizard->loadedFields() == nullptr);

        click(t.cmdIncludeAll);
        QCOMPARE(t.lstYes->count(), 3);
        click(t.cmdHelp);
        QCOMPARE(h->ui.urls.back(), helpPageUrl(RW_SOURCE_HELP_DIR, 4));
    }

    void tableCatalogueFailures() {
        h->fakeData.make = [](const std::string&) {
            auto c = sampleDatabase();
            c->tablesError = RuntimeError(-2147217842, "Microsoft OLE DB Provider for ODBC Drivers", "Operation Canceled");
            return c;
        };
        FrmConnection& c = toConnectionPage();
        click(c.optDSNLess);
        c.txtConnString->setText(QStringLiteral("DSN=Orders;"));
        click(c.cmdNext);
        // Cancelled by the provider: silent, and the connection page is back.
        QVERIFY(h->ui.messages.empty());
        QVERIFY(h->wizard->loadedChooseTables() == nullptr);
        QVERIFY(c.isVisible());

        h->fakeData.make = [](const std::string&) {
            auto c = sampleDatabase();
            c->tablesError = RuntimeError(-2147467259, "Microsoft OLE DB Provider for ODBC Drivers", "Communication link failure");
            return c;
        };
        click(c.cmdNext);
        QCOMPARE(h->ui.messages,
                 (std::vector<Msg>{{shownError(-2147467259, "Microsoft OLE DB Provider for ODBC Drivers",
                                               "frmChooseTables.Display", "Communication link failure"),
                                    48, "Rowwright"}}));
        QVERIFY(h->wizard->loadedChooseTables() == nullptr);
        QVERIFY(c.isVisible());
    }

    void fieldsPageAndClickRule() {
        FrmChooseTables& t = toTablesPage();
        t.lstYes->item(1)->setSelected(true);  // msysLower out
        click(t.cmdDontInclude);
        click(t.cmdNext);
        FrmFields& f = *h->wizard->loadedFields();
        QVERIFY(f.isVisible());
        QVERIFY(!t.isVisible());
        QCOMPARE(h->ui.busyDepth, 0);
        QCOMPARE(f.windowTitle(), QStringLiteral("Rowwright - Choose Keys"));
        QVERIFY(f.txtInstructions->toPlainText().startsWith(QStringLiteral("IMPORTANT!!\n\nEach table you chose")));
        QVERIFY(f.txtInstructions->toPlainText().contains(QStringLiteral("you MUST indicate anyPrimary Key field(s)")));
        QAbstractItemModel* m = f.grdFields->model();
        QCOMPARE(m->columnCount(), 4);
        QCOMPARE(m->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Primary"));
        QCOMPARE(m->headerData(3, Qt::Horizontal).toString(), QStringLiteral("Auto"));
        // The rows of the chosen tables in list order, SQL Server's key and
        // identity pre-marked.
        QCOMPARE(m->rowCount(), 7);
        QCOMPARE(fieldRowText(f.fieldRows().row(3)), std::string("Orders\tOrderID\tTrue\tTrue\t3\tFalse"));
        QCOMPARE(m->index(3, 3).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QCOMPARE(m->index(0, 1).data().toString(), QStringLiteral("CustomerID"));
        screenshot(&f, QStringLiteral("frmFields"));

        // Ticking Auto ticks Primary.
        clickCell(f, 5, 3);
        QVERIFY(f.fieldRows().row(5).autoNumber && f.fieldRows().row(5).primary);
        QCOMPARE(m->index(5, 2).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        // Clearing Auto leaves Primary.
        clickCell(f, 5, 3);
        QVERIFY(!f.fieldRows().row(5).autoNumber && f.fieldRows().row(5).primary);
        // Clearing Primary clears Auto.
        clickCell(f, 3, 2);
        QVERIFY(!f.fieldRows().row(3).primary && !f.fieldRows().row(3).autoNumber);
        // The Space key on a cell is a click.
        f.grdFields->setCurrentIndex(m->index(1, 2));
        QTest::keyClick(f.grdFields, Qt::Key_Space);
        QVERIFY(f.fieldRows().row(1).primary);
        // Clicks on the names change nothing.
        clickCell(f, 2, 0);
        QCOMPARE(f.fieldRows().row(2).primary, false);
        QVERIFY(h->ui.messages.empty());

        // The settings came from the earlier pages.
        QVERIFY(f.settings().mbActiveXDll && f.settings().mbErrorHandler);
        QCOMPARE(f.settings().msProjectFile, std::string("/out/Orders.vbp"));

        click(f.cmdHelp);
        QCOMPARE(h->ui.urls.back(), helpPageUrl(RW_SOURCE_HELP_DIR, 5));
        QVERIFY(!f.cmdNext->isEnabled());
    }

    void fieldsPageFailureKeepsTheTablePage() {
        h->fakeData.make = [](const std::string&) {
            auto c = sampleDatabase();
            c->brokenTable = "Orders";
            return c;
        };
        FrmChooseTables& t = toTablesPage();
        click(t.cmdNext);
        QCOMPARE(h->ui.messages,
                 (std::vector<Msg>{{shownError(-2147467259, "Microsoft OLE DB Provider for ODBC Drivers",
                                               "frmFields.Display", "Communication link failure"),
                                    48, "Rowwright"}}));
        QVERIFY(t.isVisible());
        QVERIFY(h->wizard->loadedFields() == nullptr);
        QCOMPARE(h->ui.busyDepth, 0);
    }

    void backFromFieldsKeepsTheTables() {
        FrmChooseTables& t = toTablesPage();
        t.lstYes->item(0)->setSelected(true);
        click(t.cmdDontInclude);
        click(t.cmdNext);
        click(h->wizard->loadedFields()->cmdBack);
        QVERIFY(h->wizard->loadedFields() == nullptr);
        QVERIFY(t.isVisible());
        QCOMPARE(listTexts(t.lstYes), (std::vector<std::string>{"msysLower", "Orders"}));
        QCOMPARE(listTexts(t.lstNo), std::vector<std::string>{"Customers"});
    }

    void finishWritesTheFilesAndShowsTheReport() {
        FrmFields& f = toFieldsPage();
        click(f.cmdFinish);
        QVERIFY(h->ui.messages.empty());
        QVERIFY(!f.isVisible());
        FrmReport* r = h->wizard->loadedReport();
        QVERIFY(r != nullptr && r->isVisible());
        QVERIFY(r->reportText().rfind("Rowwright completed file generation at: \r\n12/5/2026 8:17:21 AM\r\n\r\n"
                                      "Files stored in: \r\n/out\r\n",
                                      0) == 0);
        for (const char* file : {"/out/Orders.vbp", "/out/clsCustomers.cls", "/out/clsCustomersColl.cls",
                                 "/out/clsOrders.cls", "/out/clsOrdersColl.cls", "/out/clsMsysLower.cls",
                                 "/out/modRowwrightErrHndlr.bas", "/out/clsRwtConn.cls"})
            QVERIFY2(h->fs->exists(file), file);
        QCOMPARE(h->ui.beeps, 1);
        QCOMPARE(r->txtWarnings->toPlainText(), QStringLiteral("warning: msysLower.next: the property name Next is a "
                                                               "reserved word (the class will not compile)"));

        // The answers file holds the run's choices and its rows.
        h->ui.dialogAnswers = {std::string("/out/Orders.json")};
        click(r->cmdSaveAnswers);
        QCOMPARE(h->ui.dialogs.back().fileName, std::string("/out/Orders.json"));
        const Answers a = parseAnswers(h->fs->readAll("/out/Orders.json"), "Orders.json");
        QVERIFY(a.project.optNew && a.project.optProjectActiveXDLL);
        QCOMPARE(a.project.txtProjName, std::string("Orders"));
        QCOMPARE(a.project.msStoreDir, std::string("/out"));
        QVERIFY(a.connection.optDSNLess);
        QCOMPARE(a.connection.txtConnString, std::string("DSN=Orders;"));
        QVERIFY(a.rows.has_value());
        QCOMPARE(a.rows->size(), f.fieldRows().rowCount());
        QCOMPARE(a.dbmsName.value_or(""), std::string("Microsoft SQL Server"));
        QCOMPARE(a.dataSourceName.value_or(""), std::string("Orders"));

        // Closing the report closes every page.
        click(r->cmdClose);
        QVERIFY(h->wizard->forms().empty());
    }

    void loadedProjectTarget() {
        h->memoryFs()->createDirectories("/p");
        h->environment.loadProject(writeSampleProject(*h->fs, "/p"));
        h->wizard->start();
        click(h->wizard->frmAddInMain().cmdNext);
        FrmProject& p = *h->wizard->loadedProject();
        p.cboLoadedProject->setCurrentIndex(0);
        click(p.cmdNext);
        FrmConnection& c = *h->wizard->loadedConnection();
        click(c.optDSNLess);
        c.txtConnString->setText(QStringLiteral("DSN=Orders;"));
        click(c.cmdNext);
        click(h->wizard->loadedChooseTables()->cmdNext);
        click(h->wizard->loadedFields()->cmdFinish);
        QVERIFY(h->ui.messages.empty());

        ide::Project& project = *h->environment.projects().front();
        for (const char* name : {"clsCustomers", "clsCustomersColl", "clsOrders", "clsOrdersColl",
                                 "modRowwrightErrHndlr", "clsRwtConn"})
            QVERIFY2(project.vbComponents().find(name) != nullptr, name);
        FrmReport* r = h->wizard->loadedReport();
        QVERIFY(r != nullptr);
        QVERIFY(r->reportText().find("Added files to Billing as per request.\r\n") != std::string::npos);
        QVERIFY(r->reportText().find("Files stored in") == std::string::npos);
        // The save dialog starts without a folder and proposes the project's name.
        h->ui.dialogAnswers = {std::nullopt, std::nullopt};
        click(r->cmdSave);
        click(r->cmdSaveAnswers);
        QCOMPARE(h->ui.dialogs[0].folder, std::string());
        QCOMPARE(h->ui.dialogs[0].fileName, std::string("Billing.txt"));
        QCOMPARE(h->ui.dialogs[1].fileName, std::string("Billing.json"));
        QVERIFY(h->ui.messages.empty());
    }

    void overwriteQuestionAnsweredNo() {
        FrmFields& f = toFieldsPage();
        h->memoryFs()->put("/out/clsOrders.cls", "earlier");
        h->ui.answers = {kAnswerNo};
        click(f.cmdFinish);
        QCOMPARE(h->ui.messages,
                 (std::vector<Msg>{{"You are about to overwrite previously generated files.  Continue?", 20, "Rowwright"}}));
        QVERIFY(f.isVisible());
        QVERIFY(h->wizard->loadedReport() == nullptr);
        QVERIFY(!h->fs->exists("/out/Orders.vbp"));
        QCOMPARE(h->fs->readAll("/out/clsOrders.cls"), std::string("earlier"));
        QCOMPARE(h->ui.busyDepth, 0);
    }

    void cancelFromTheLastPage() {
        FrmFields& f = toFieldsPage();
        QCOMPARE(h->wizard->forms().size(), std::size_t{5});
        h->ui.answers = {kAnswerNo};
        click(f.cmdCancel);
        QCOMPARE(h->wizard->forms().size(), std::size_t{5});
        h->ui.answers = {kAnswerYes};
        click(f.cmdCancel);
        QVERIFY(h->wizard->forms().empty());
        QVERIFY(windowsLeft().isEmpty());
    }
};

QTEST_MAIN(ConnectionTest)
#include "connection_test.moc"
