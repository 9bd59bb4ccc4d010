// The workbench's projects: opening, the code editor, saving, and never
// losing unsaved work without a question.
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
    void initTestCase() {
        quietPlatformWarnings();
        usePrivateSettings();
    }
    void init() {
        modalFailures() = 0;
        clearSettings();
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
        QCOMPARE(h->workbench->shownComponent(), &orders());
        // The code without the member attribute, which belongs to the line above it.
        QCOMPARE(h->workbench->editor->toPlainText(),
                 QStringLiteral("Option Explicit\nPrivate mvarOrderID As Variant\n\nPublic Property Get OrderID() As "
                                "Variant\n    OrderID = mvarOrderID\nEnd Property"));
        QVERIFY(!orders().isDirty() && !h->workbench->editor->isReadOnly());
        h->workbench->tree->setCurrentItem(h->workbench->tree->topLevelItem(0));
        QVERIFY(h->workbench->shownComponent() == nullptr && h->workbench->editor->isReadOnly());
        QVERIFY(h->workbench->editor->toPlainText().isEmpty());
        // Opening it again selects the one already loaded; a missing one is shown.
        QVERIFY(h->workbench->openProject(vbp));
        QVERIFY(!h->workbench->openProject(path("Nope.vbp")));
        QCOMPARE(h->environment.projects().size(), std::size_t{1});
        QCOMPARE(h->ui.messages.size(), std::size_t{1});
        QVERIFY(h->ui.messages[0].text.starts_with("The project '" + path("Nope.vbp") + "' could not be opened.\r\n\r\n"));
        h->ui.messages.clear();
        const std::string edited = editOrders();
        QStringList dirty = kTree;
        dirty.first() += " *";
        dirty.last() += " *";
        QCOMPARE(treeLabels(h->workbench->tree), dirty);
        QCOMPARE(readFile(ordersFile), ordersBytes);
        h->workbench->actSave->trigger();
        QVERIFY(!orders().isDirty());
        QCOMPARE(readFile(ordersFile), edited);
        QCOMPARE(treeLabels(h->workbench->tree), kTree);
        h->workbench->actCloseProject->trigger();  // saved: no question
        QVERIFY(h->environment.projects().empty() && h->workbench->tree->topLevelItemCount() == 0);
        QVERIFY(h->workbench->shownComponent() == nullptr && h->ui.messages.empty());
    }
    void editingKeepsTheAttributesOfTheLinesLeftAlone() {
        openBilling();
        ide::Component& c = orders();
        QVERIFY(!host::setCodeText(c, host::codeText(c)) && !c.isDirty());
        QString text = host::codeText(c);
        text.replace(QStringLiteral("    OrderID = mvarOrderID"), QStringLiteral("    OrderID = mvarOrderID ' kept"));
        QVERIFY(host::setCodeText(c, text));
        QCOMPARE(host::codeText(c), text);
        QVERIFY(c.fileBytes().find("Variant\r\nAttribute OrderID.VB_UserMemId = 0\r\n    OrderID = mvarOrderID ' kept\r\n") !=
                std::string::npos);
        // Lines added at the end and removed at the start.
        text = text.mid(text.indexOf(QLatin1Char('\n')) + 1) + QStringLiteral("\n\n' end");
        QVERIFY(host::setCodeText(c, text));
        QCOMPARE(host::codeText(c), text);
        QCOMPARE(c.codeModule().countOfLines(), 7);
        // Removing the line an attribute follows removes the attribute too.
        text.replace(QStringLiteral("Public Property Get OrderID() As Variant\n"), QString());
        QVERIFY(host::setCodeText(c, text));
        QVERIFY(c.fileBytes().find("VB_UserMemId") == std::string::npos);
        QVERIFY(host::setCodeText(c, QString()));
        QCOMPARE(c.codeModule().countOfLines(), 0);
    }
    // Closing a project or the workbench with unsaved work asks first; the
    // add-in goes only with the window.
    void closingAsksFirst_data() {
        QTest::addColumn<bool>("workbench");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("closed");
        QTest::addColumn<bool>("saved");
        for (bool workbench : {false, true}) {
            const char* what = workbench ? "workbench, " : "project, ";
            QTest::newRow(qPrintable(what + QString("Yes"))) << workbench << int{kAnswerYes} << true << true;
            QTest::newRow(qPrintable(what + QString("No"))) << workbench << int{kAnswerNo} << true << false;
            QTest::newRow(qPrintable(what + QString("Cancel"))) << workbench << int{kAnswerCancel} << false << false;
        }
    }
    void closingAsksFirst() {
        QFETCH(bool, workbench);
        QFETCH(int, answer);
        QFETCH(bool, closed);
        QFETCH(bool, saved);
        h->registry.add(host::rowwrightRegistration());
        h->workbench->startUp();
        openBilling();
        const std::string edited = editOrders();
        h->ui.answers.push_back(answer);
        (workbench ? h->workbench->actExit : h->workbench->actCloseProject)->trigger();
        const Msg question{"Save changes to the following projects?\r\n\r\nBilling (Billing.vbp)\r\n    clsOrders", 35,
                           "Rowwright Workbench"};
        QCOMPARE(h->ui.messages, std::vector<Msg>{question});
        QCOMPARE(readFile(ordersFile), saved ? edited : ordersBytes);
        if (!closed) QVERIFY(orders().isDirty() && h->workbench->shownComponent() == &orders());
        if (workbench) {
            QCOMPARE(h->workbench->isVisible(), !closed);
            QCOMPARE(h->workbench->isConnected(host::kAddInProgId), !closed);
            QCOMPARE(h->menuEntry() != nullptr, !closed);
        } else {
            QCOMPARE(h->environment.projects().empty(), closed);
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
        QVERIFY(h->workbench->isVisible() && project().isDirty());
        QCOMPARE(h->ui.messages.size(), std::size_t{2});
        QCOMPARE(h->ui.messages[1].style, int{kStyleExclamation});
        QVERIFY(h->ui.messages[1].text.starts_with("The project 'Billing' could not be saved.\r\n\r\nFile already exists"));
        QCOMPARE(readFile(path("Class1.cls")), std::string("not ours\r\n"));
    }
};

QTEST_MAIN(HostWorkbenchTest)
#include "host_workbench_test.moc"
