// The workbench's projects: opening, the code editor, saving, and never
// losing unsaved work without a question; and its picture with the Add-Ins
// menu open.
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include "host_support.h"
#include "support/sample_vb_project.h"

using namespace rw;
using namespace rw::test;
using host::kAddInProgId;

namespace {

const std::string kOrdersCode =
    "Option Explicit\r\n"
    "Private mvarOrderID As Variant\r\n"
    "\r\n"
    "Public Property Get OrderID() As Variant\r\n"
    "Attribute OrderID.VB_UserMemId = 0\r\n"
    "    OrderID = mvarOrderID\r\n"
    "End Property\r\n";

const std::string kSaveQuestion = "Save changes to the following projects?\r\n\r\nBilling (Billing.vbp)\r\n    clsOrders";

}  // namespace

class HostWorkbenchTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> folder;
    std::unique_ptr<HostHarness> h;
    std::string vbp;
    std::string ordersFile;
    std::string ordersBytes;

    std::string path(const char* name) const { return folder->filePath(QString::fromLatin1(name)).toStdString(); }

    ide::Project& project() { return *h->environment.projects().front(); }
    ide::Component& orders() { return *project().vbComponents().find("clsOrders"); }

    void openBilling() {
        h->ui.dialogAnswers.push_back(vbp);
        h->workbench->actOpenProject->trigger();
        QCOMPARE(h->environment.projects().size(), std::size_t{1});
    }

    // Types a comment line at the start of the class's third line.
    void editOrders() {
        h->workbench->selectComponent(orders());
        QTextCursor cursor = h->workbench->editor->textCursor();
        cursor.movePosition(QTextCursor::Start);
        cursor.movePosition(QTextCursor::Down, QTextCursor::MoveAnchor, 2);
        h->workbench->editor->setTextCursor(cursor);
        QTest::keyClicks(h->workbench->editor, "' note");
        QVERIFY(orders().isDirty());
    }

    std::string editedOrdersBytes() const {
        std::string bytes = ordersBytes;
        const std::string at = "Private mvarOrderID As Variant\r\n";
        bytes.insert(bytes.find(at) + at.size(), "' note");
        return bytes;
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
        QVERIFY(folder->isValid());
        h = std::make_unique<HostHarness>(std::make_unique<PosixFileSystem>());
        vbp = writeSampleProject(*h->fs, folder->path().toStdString(),
                                 {"Class=clsOrders; clsOrders.cls\r\n", false});
        ordersFile = path("clsOrders.cls");
        writeClassFile(*h->fs, ordersFile, "clsOrders", kOrdersCode);
        ordersBytes = readFile(ordersFile);
    }

    void cleanup() {
        h.reset();
        folder.reset();
        RW_VERIFY_NOTHING_LEFT();
    }

    void openProjectShowsItsComponentsAndTheirCode() {
        h->workbench->show();
        // A cancelled dialog opens nothing.
        h->workbench->actOpenProject->trigger();
        QVERIFY(h->environment.projects().empty());
        QVERIFY(!h->workbench->actSave->isEnabled());

        openBilling();
        QCOMPARE(h->ui.dialogs.back().filter, std::string("VB Projects (*.vbp)|*.vbp"));
        QCOMPARE(treeLabels(h->workbench->tree),
                 QStringList({"Billing (Billing.vbp)", "  frmMain (frmMain.frm)", "  modMain (modMain.bas)",
                              "  clsOrders (clsOrders.cls)"}));
        QVERIFY(h->workbench->actSave->isEnabled());
        QVERIFY(h->workbench->actCloseProject->isEnabled());

        h->workbench->selectComponent(orders());
        QCOMPARE(h->workbench->shownComponent(), &orders());
        QVERIFY(!h->workbench->editor->isReadOnly());
        // The code without the member attribute, which belongs to the line above it.
        QCOMPARE(h->workbench->editor->toPlainText(),
                 QStringLiteral("Option Explicit\nPrivate mvarOrderID As Variant\n\nPublic Property Get OrderID() As "
                                "Variant\n    OrderID = mvarOrderID\nEnd Property"));
        QVERIFY(!orders().isDirty());

        h->workbench->tree->setCurrentItem(h->workbench->tree->topLevelItem(0));
        QVERIFY(h->workbench->shownComponent() == nullptr);
        QVERIFY(h->workbench->editor->isReadOnly());
        QVERIFY(h->workbench->editor->toPlainText().isEmpty());

        // Opening it again selects the one already loaded.
        QVERIFY(h->workbench->openProject(vbp));
        QCOMPARE(h->environment.projects().size(), std::size_t{1});

        const std::string missing = path("Nope.vbp");
        QVERIFY(!h->workbench->openProject(missing));
        QCOMPARE(h->ui.messages.size(), std::size_t{1});
        QVERIFY(h->ui.messages.front().text.starts_with("The project '" + missing + "' could not be opened.\r\n\r\n"));
        QCOMPARE(h->environment.projects().size(), std::size_t{1});
    }

    void anEditMarksTheComponentUnsavedAndSaveWritesIt() {
        h->workbench->show();
        openBilling();
        editOrders();
        QCOMPARE(treeLabels(h->workbench->tree),
                 QStringList({"Billing (Billing.vbp) *", "  frmMain (frmMain.frm)", "  modMain (modMain.bas)",
                              "  clsOrders (clsOrders.cls) *"}));
        QCOMPARE(readFile(ordersFile), ordersBytes);

        h->workbench->actSave->trigger();
        QVERIFY(!orders().isDirty());
        QCOMPARE(readFile(ordersFile), editedOrdersBytes());
        QCOMPARE(treeLabels(h->workbench->tree).front(), QStringLiteral("Billing (Billing.vbp)"));
        QVERIFY(h->ui.messages.empty());

        // Closing a saved project asks nothing.
        h->workbench->actCloseProject->trigger();
        QVERIFY(h->environment.projects().empty());
        QVERIFY(h->ui.messages.empty());
        QCOMPARE(h->workbench->tree->topLevelItemCount(), 0);
        QVERIFY(h->workbench->shownComponent() == nullptr);
    }

    void editingKeepsTheAttributesOfTheLinesLeftAlone() {
        openBilling();
        ide::Component& c = orders();
        QVERIFY(!host::setCodeText(c, host::codeText(c)));
        QVERIFY(!c.isDirty());

        // A changed line between untouched ones.
        QString text = host::codeText(c);
        text.replace(QStringLiteral("    OrderID = mvarOrderID"), QStringLiteral("    OrderID = mvarOrderID ' kept"));
        QVERIFY(host::setCodeText(c, text));
        QCOMPARE(host::codeText(c), text);
        std::string bytes = c.fileBytes();
        QVERIFY(bytes.find("Variant\r\nAttribute OrderID.VB_UserMemId = 0\r\n    OrderID = mvarOrderID ' kept\r\n") !=
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

    void closingAProjectAsksFirst_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("closed");
        QTest::addColumn<bool>("saved");
        QTest::newRow("Yes: saved and closed") << int{kAnswerYes} << true << true;
        QTest::newRow("No: closed without saving") << int{kAnswerNo} << true << false;
        QTest::newRow("Cancel: stays as it was") << int{kAnswerCancel} << false << false;
    }

    void closingAProjectAsksFirst() {
        QFETCH(int, answer);
        QFETCH(bool, closed);
        QFETCH(bool, saved);
        h->workbench->show();
        openBilling();
        editOrders();
        h->ui.answers.push_back(answer);
        h->workbench->actCloseProject->trigger();
        QCOMPARE(h->ui.messages.size(), std::size_t{1});
        QCOMPARE(h->ui.messages.front(), (ScriptedWizardUi::Message{kSaveQuestion, 35, "Rowwright Workbench"}));
        QCOMPARE(h->environment.projects().empty(), closed);
        QCOMPARE(readFile(ordersFile), saved ? editedOrdersBytes() : ordersBytes);
        QCOMPARE(h->workbench->tree->topLevelItemCount(), closed ? 0 : 1);
        if (!closed) {
            QVERIFY(orders().isDirty());
            QCOMPARE(h->workbench->shownComponent(), &orders());
        }
    }

    void closingTheWorkbenchAsksFirst_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("closed");
        QTest::addColumn<bool>("saved");
        QTest::newRow("Yes") << int{kAnswerYes} << true << true;
        QTest::newRow("No") << int{kAnswerNo} << true << false;
        QTest::newRow("Cancel") << int{kAnswerCancel} << false << false;
    }

    void closingTheWorkbenchAsksFirst() {
        QFETCH(int, answer);
        QFETCH(bool, closed);
        QFETCH(bool, saved);
        h->registry.add(host::rowwrightRegistration());
        h->workbench->startUp();
        openBilling();
        editOrders();
        h->ui.answers.push_back(answer);
        h->workbench->actExit->trigger();
        QCOMPARE(h->ui.messages.size(), std::size_t{1});
        QCOMPARE(h->ui.messages.front().text, kSaveQuestion);
        QCOMPARE(h->workbench->isVisible(), !closed);
        QCOMPARE(readFile(ordersFile), saved ? editedOrdersBytes() : ordersBytes);
        // The add-in goes only with the window.
        QCOMPARE(h->workbench->isConnected(kAddInProgId), !closed);
        QCOMPARE(h->menuEntry() != nullptr, !closed);
        if (!closed) QVERIFY(orders().isDirty());
    }

    void aFailedSaveKeepsTheWorkbenchOpen() {
        h->workbench->show();
        openBilling();
        // A new class whose file name is taken by a file the project does not own.
        project().vbComponents().add(ide::kClassModule);
        writeBytes(*h->fs, path("Class1.cls"), "not ours\r\n");
        h->ui.answers.push_back(kAnswerYes);
        QVERIFY(!h->workbench->close());
        QVERIFY(h->workbench->isVisible());
        QCOMPARE(h->ui.messages.size(), std::size_t{2});
        QCOMPARE(h->ui.messages[1].style, int{kStyleExclamation});
        QVERIFY(h->ui.messages[1].text.starts_with("The project 'Billing' could not be saved.\r\n\r\nFile already exists"));
        QVERIFY(project().isDirty());
        QCOMPARE(readFile(path("Class1.cls")), std::string("not ours\r\n"));
    }

    void changesMadeByAnAddInShowInTheTreeAndTheEditor() {
        h->workbench->show();
        openBilling();
        h->workbench->selectComponent(orders());
        // What a loaded-project run does: new components, and imported code
        // in an existing one.
        ide::Component& added = project().vbComponents().add(ide::kClassModule);
        added.setName("clsOrdersColl");
        orders().codeModule().insertLines(2, "' generated");
        h->workbench->vbe().notifyProjectsChanged();
        QCOMPARE(treeLabels(h->workbench->tree),
                 QStringList({"Billing (Billing.vbp) *", "  frmMain (frmMain.frm)", "  modMain (modMain.bas)",
                              "  clsOrders (clsOrders.cls) *", "  clsOrdersColl *"}));
        QVERIFY(h->workbench->editor->toPlainText().startsWith(QStringLiteral("Option Explicit\n' generated\n")));
        QCOMPARE(h->workbench->shownComponent(), &orders());

        h->workbench->actSaveAll->trigger();
        QVERIFY(!project().isDirty());
        QVERIFY(readFile(path("clsOrdersColl.cls")).find("Attribute VB_Name = \"clsOrdersColl\"") != std::string::npos);
        QVERIFY(readFile(vbp).find("Class=clsOrdersColl; clsOrdersColl.cls") != std::string::npos);
        QVERIFY(h->ui.messages.empty());
    }

    void pictureWithTheAddInsMenuOpen() {
        h->registry.add(host::rowwrightRegistration());
        h->workbench->startUp();
        openBilling();
        h->workbench->selectComponent(orders());
        h->workbench->tree->expandAll();
        QMenu* menu = h->workbench->addInsMenu;
        h->workbench->menuBar()->setActiveAction(menu->menuAction());
        QTRY_VERIFY(menu->isVisible());
        menu->setActiveAction(h->menuEntry());

        // The menu is a window of its own: paint it where it stands.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QPixmap picture = h->workbench->grab();
        {
            QPainter painter(&picture);
            const QPoint at = h->workbench->mapFromGlobal(menu->mapToGlobal(QPoint(0, 0)));
            painter.drawPixmap(at, menu->grab());
        }
        QDir().mkpath(QStringLiteral(RW_SCREENSHOT_DIR));
        QVERIFY(picture.save(QStringLiteral(RW_SCREENSHOT_DIR "/workbench.png")));
        menu->hide();
    }
};

QTEST_MAIN(HostWorkbenchTest)
#include "host_workbench_test.moc"
