// The Qt user interface: message boxes by style value, answered for real;
// the busy pointer; the data source dialog; dialog filters.
#include "support/gui_support.h"
#include "wizard/qt_ui.h"

using namespace rw;
using namespace rw::test;
using namespace rw::wizard;

class QtUiTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { quietPlatformWarnings(); }
    void init() { modalFailures() = 0; }
    void cleanup() { RW_VERIFY_NOTHING_LEFT(); }
    // The icon and buttons of a style; the answer of a button or of Escape.
    void boxesByStyle_data() {
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("icon");
        QTest::addColumn<QList<int>>("buttons");
        QTest::addColumn<int>("press");  // a button, or 0 for Escape
        QTest::addColumn<int>("answer");
        using B = QMessageBox;
        QTest::newRow("64 information") << 64 << int(B::Information) << QList<int>{B::Ok} << int(B::Ok) << 1;
        QTest::newRow("48 exclamation") << 48 << int(B::Warning) << QList<int>{B::Ok} << int(B::Ok) << 1;
        QTest::newRow("36 question, No") << 36 << int(B::Question) << QList<int>{B::Yes, B::No} << int(B::No) << 7;
        QTest::newRow("36 question, Escape") << 36 << int(B::Question) << QList<int>{B::Yes, B::No} << 0 << 7;
        QTest::newRow("20 critical, Yes") << 20 << int(B::Critical) << QList<int>{B::Yes, B::No} << int(B::Yes) << 6;
        QTest::newRow("19 critical, Cancel")
            << 19 << int(B::Critical) << QList<int>{B::Yes, B::No, B::Cancel} << int(B::Cancel) << 2;
        QTest::newRow("19 critical, Escape") << 19 << int(B::Critical) << QList<int>{B::Yes, B::No, B::Cancel} << 0 << 2;
    }
    void boxesByStyle() {
        QFETCH(int, style);
        QFETCH(int, icon);
        QFETCH(QList<int>, buttons);
        QFETCH(int, press);
        QFETCH(int, answer);
        QtUi ui;
        whenModal<QMessageBox>([=](QMessageBox* box) {
            QCOMPARE(box->windowTitle(), QStringLiteral("Other"));
            QCOMPARE(box->text(), QStringLiteral("Error: 76\nSource: x\n\nDescription: <b>y</b>"));
            QCOMPARE(box->textFormat(), Qt::PlainText);
            QCOMPARE(int(box->icon()), icon);
            QList<int> shown;
            for (QAbstractButton* b : box->buttons()) shown << int(box->standardButton(b));
            std::sort(shown.begin(), shown.end());
            QCOMPARE(shown, buttons);
            if (press == 0) return QTest::keyClick(box, Qt::Key_Escape);
            click(box->button(QMessageBox::StandardButton(press)));
        });
        QCOMPARE(ui.msgBox("Error: 76\r\nSource: x\r\n\r\nDescription: <b>y</b>", style, "Other"), answer);
    }
    // The busy pointer nests; a question is asked with the ordinary pointer;
    // a pointer left busy is restored when the interface goes.
    void busyPointer() {
        {
            QtUi ui;
            {
                BusyPointer outer(ui);
                { BusyPointer inner(ui); }
                QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
                whenModal<QMessageBox>([](QMessageBox* b) {
                    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::ArrowCursor);
                    click(b->button(QMessageBox::Ok));
                });
                ui.msgBox("x", 64);
                QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
            }
            QVERIFY(QApplication::overrideCursor() == nullptr);
            ui.setBusy(true);
        }
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }
    void dataSourceDialog() {
        QtUi ui;
        std::string chosen = "unchanged";
        whenModal<DataSourceDialog>([](DataSourceDialog* d) {
            QVERIFY(d->lstDataSources->currentRow() == 0 && !d->lblNoDataSources->isVisibleTo(d));
            d->lstDataSources->setCurrentRow(1);
            QTest::keyClicks(d->txtUserName, QStringLiteral("me;you"));
            QTest::keyClicks(d->txtPassword, QStringLiteral("pw"));
            QCOMPARE(d->txtPassword->echoMode(), QLineEdit::Password);
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
        QCOMPARE(dataSourceConnectionString("Orders", "", ""), std::string("DSN=Orders;UID=;PWD="));
    }
    void missingHelpFileAndDialogFilters() {
        try {
            QtUi().openUrl("file:///no/such/help/rwhelp1.htm");
            QFAIL("no error");
        } catch (const RuntimeError& e) {
            QVERIFY(e.number == 53 && e.source == "RwtAddIn");
        }
        QCOMPARE(qtDialogFilter("Text (*.txt)|*.txt|All Files (*.*)|*.*"), QStringLiteral("Text (*.txt);;All Files (*.*)"));
        QCOMPARE(qtDialogFilter("VB Projects (*.vbp)|*.vbp"), QStringLiteral("VB Projects (*.vbp)"));
        QCOMPARE(qtDialogFilter("Pictures|*.png;*.jpg"), QStringLiteral("Pictures (*.png *.jpg)"));
    }
};

QTEST_MAIN(QtUiTest)
#include "qt_ui_test.moc"
