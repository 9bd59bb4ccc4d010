// The workbench's projects: opening, editing, saving, asking before losing work; and the whole
// wizard into the loaded project. Every step's state goes into one transcript.
#include "host_support.h"

using namespace rw;
using namespace rw::test;

namespace {

// The tree's labels: each project, then its components indented.
QStringList treeLabels(const QTreeWidget* tree) {
    QStringList labels;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        labels << tree->topLevelItem(i)->text(0);
        for (int j = 0; j < tree->topLevelItem(i)->childCount(); ++j) labels << "  " + tree->topLevelItem(i)->child(j)->text(0);
    }
    return labels;
}

}  // namespace

class HostWorkbenchTest : public QObject {
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
    void cleanupTestCase() { QVERIFY(matchesGolden("gui_workbench.txt", t.text)); }
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
            state(QStringLiteral("regenerated, answer %1").arg(answer));
            QVERIFY(matchesGolden("gui_loaded_project_report.txt", QByteArray::fromStdString(w.loadedReport()->reportText())));
            click(w.loadedReport()->cmdSave);
            click(w.loadedReport()->cmdSaveAnswers);
            click(w.loadedReport()->cmdClose);
            t("pages, FormDisplayed, shown", int(w.forms().size()), h->addIn()->FormDisplayed, h->workbench->shownComponent() == &orders());
            h->workbench->actSaveAll->trigger();
            state("all saved");
            for (const char* file : {"Billing.vbp", "clsOrders.cls", "clsOrdersColl.cls", "modRowwrightErrHndlr.bas"})
                QVERIFY2(matchesGolden(QStringLiteral("gui_workbench_%1.txt").arg(file), QByteArray::fromStdString(readFile(path(file)))), file);
        }
    }
};

QTEST_MAIN(HostWorkbenchTest)
#include "host_workbench_test.moc"
