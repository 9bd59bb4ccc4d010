// The Qt user interface: message boxes by style value, answered for real;
// the busy pointer; the data source dialog; dialog filters.
#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "core/connection_page.h"
#include "platform/db/odbc.h"
#include "support/gui_support.h"
#include "wizard/qt_ui.h"

using namespace rw;
using namespace rw::test;
using namespace rw::wizard;

namespace {

// Presses the box's button with that standard role.
void press(QWidget* w, QMessageBox::StandardButton which) {
    auto* box = qobject_cast<QMessageBox*>(w);
    QVERIFY(box != nullptr);
    QAbstractButton* button = box->button(which);
    QVERIFY(button != nullptr);
    click(button);
}

}  // namespace

class QtUiTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { quietPlatformWarnings(); }
    void init() { modalFailures() = 0; }
    void cleanup() { RW_VERIFY_NOTHING_LEFT(); }

    void boxesByStyle_data() {
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("icon");
        QTest::addColumn<QList<int>>("buttons");
        using B = QMessageBox;
        QTest::newRow("64 information") << 64 << int(B::Information) << QList<int>{B::Ok};
        QTest::newRow("48 exclamation") << 48 << int(B::Warning) << QList<int>{B::Ok};
        QTest::newRow("36 question") << 36 << int(B::Question) << QList<int>{B::Yes, B::No};
        QTest::newRow("20 critical yes/no") << 20 << int(B::Critical) << QList<int>{B::Yes, B::No};
        QTest::newRow("19 critical yes/no/cancel") << 19 << int(B::Critical) << QList<int>{B::Yes, B::No, B::Cancel};
    }

    void boxesByStyle() {
        QFETCH(int, style);
        QFETCH(int, icon);
        QFETCH(QList<int>, buttons);
        std::unique_ptr<QMessageBox> box(makeMessageBox("Error: 76\r\nSource: x\r\n\r\nDescription: <b>y</b>", style,
                                                        "Rowwright", nullptr));
        QCOMPARE(box->windowTitle(), QStringLiteral("Rowwright"));
        QCOMPARE(box->text(), QStringLiteral("Error: 76\nSource: x\n\nDescription: <b>y</b>"));
        QCOMPARE(box->textFormat(), Qt::PlainText);
        QCOMPARE(int(box->icon()), icon);
        QList<int> shown;
        for (QAbstractButton* b : box->buttons()) shown << int(box->standardButton(b));
        std::sort(shown.begin(), shown.end());
        std::sort(buttons.begin(), buttons.end());
        QCOMPARE(shown, buttons);
    }

    void answersAreTheStyleAnswers() {
        QtUi ui;
        whenModal<QMessageBox>([](QMessageBox* b) { press(b, QMessageBox::Yes); });
        QCOMPARE(ui.msgBox("Continue?", 20), 6);
        whenModal<QMessageBox>([](QMessageBox* b) { press(b, QMessageBox::No); });
        QCOMPARE(ui.msgBox("Continue?", 36), 7);
        whenModal<QMessageBox>([](QMessageBox* b) { press(b, QMessageBox::Cancel); });
        QCOMPARE(ui.msgBox("Save?", 19), 2);
        whenModal<QMessageBox>([](QMessageBox* b) {
            QCOMPARE(b->windowTitle(), QStringLiteral("Other"));
            press(b, QMessageBox::Ok);
        });
        QCOMPARE(ui.msgBox("Note", 64, "Other"), 1);
        // Escape on a Yes/No question is No; on Yes/No/Cancel it is Cancel.
        whenModal<QMessageBox>([](QMessageBox* b) { QTest::keyClick(b, Qt::Key_Escape); });
        QCOMPARE(ui.msgBox("Sure?", 36), 7);
        whenModal<QMessageBox>([](QMessageBox* b) { QTest::keyClick(b, Qt::Key_Escape); });
        QCOMPARE(ui.msgBox("Save?", 19), 2);
    }

    void busyPointerNestsAndIsRestored() {
        {
            QtUi ui;
            {
                BusyPointer outer(ui);
                QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
                {
                    BusyPointer inner(ui);
                    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
                }
                // A question is asked with the ordinary pointer, and the busy
                // one comes back after it.
                whenModal<QMessageBox>([](QMessageBox* b) {
                    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::ArrowCursor);
                    press(b, QMessageBox::Ok);
                });
                ui.msgBox("x", 64);
                QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
            }
            QVERIFY(QApplication::overrideCursor() == nullptr);
            // A pointer left busy is restored when the interface goes.
            ui.setBusy(true);
        }
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }

    void dataSourceDialog() {
        QtUi ui;
        std::string chosen = "unchanged";
        whenModal<DataSourceDialog>([](DataSourceDialog* d) {
            QCOMPARE(d->lstDataSources->count(), 2);
            QCOMPARE(d->lstDataSources->currentRow(), 0);
            QVERIFY(!d->lblNoDataSources->isVisibleTo(d));
            d->lstDataSources->setCurrentRow(1);
            QVERIFY(d->cmdOK->isEnabled());
            QTest::keyClicks(d->txtUserName, QStringLiteral("me;you"));
            QTest::keyClicks(d->txtPassword, QStringLiteral("pw"));
            QCOMPARE(d->txtPassword->echoMode(), QLineEdit::Password);
            screenshot(d, QStringLiteral("dlgDataSource"));
            click(d->cmdOK);
        });
        QVERIFY(ui.promptDataSource({"Orders", "Billing"}, chosen));
        QCOMPARE(chosen, std::string("DSN=Billing;UID={me;you};PWD=pw"));

        whenModal<DataSourceDialog>([](DataSourceDialog* d) { click(d->cmdCancel); });
        QVERIFY(!ui.promptDataSource({"Orders"}, chosen));
        // With no data source there is nothing to confirm.
        whenModal<DataSourceDialog>([](DataSourceDialog* d) {
            QVERIFY(!d->cmdOK->isEnabled());
            QTest::keyClick(d, Qt::Key_Escape);
        });
        QVERIFY(!ui.promptDataSource({}, chosen));
        QCOMPARE(chosen, std::string("DSN=Billing;UID={me;you};PWD=pw"));
    }

    // With no data source defined anywhere, the dialog says where they are
    // defined. (No other test here lists data sources.)
    void noDataSourceGivesTheHint() {
        QTemporaryDir dir;
        const QString ini = dir.path() + QStringLiteral("/odbc.ini");
        QVERIFY(QFile(ini).open(QIODevice::WriteOnly));
        qputenv("ODBCINI", ini.toUtf8());
        qputenv("ODBCSYSINI", dir.path().toUtf8());
        db::OdbcDataAccess data;
        QtUi ui;
        whenModal<DataSourceDialog>([](DataSourceDialog* d) {
            QCOMPARE(d->lstDataSources->count(), 0);
            QVERIFY(d->lblNoDataSources->isVisibleTo(d));
            QCOMPARE(d->lblNoDataSources->text().toStdString(), ConnectionPage::noDataSourcesHint());
            click(d->cmdCancel);
        });
        ConnectionPage().chooseDataSource(data, ui);
        qunsetenv("ODBCINI");
        qunsetenv("ODBCSYSINI");
    }

    void helpFileThatIsMissing() {
        QtUi ui;
        try {
            ui.openUrl("file:///no/such/help/rwhelp1.htm");
            QFAIL("no error");
        } catch (const RuntimeError& e) {
            QCOMPARE(e.number, 53L);
            QCOMPARE(e.source, std::string("RwtAddIn"));
        }
    }

    void dialogFilters() {
        QCOMPARE(qtDialogFilter("Text (*.txt)|*.txt|All Files (*.*)|*.*"),
                 QStringLiteral("Text (*.txt);;All Files (*.*)"));
        QCOMPARE(qtDialogFilter("VB Projects (*.vbp)|*.vbp"), QStringLiteral("VB Projects (*.vbp)"));
        QCOMPARE(qtDialogFilter("Pictures|*.png;*.jpg"), QStringLiteral("Pictures (*.png *.jpg)"));
        QCOMPARE(dataSourceConnectionString("Orders", "", ""), std::string("DSN=Orders;UID=;PWD="));
    }
};

QTEST_MAIN(QtUiTest)
#include "qt_ui_test.moc"
