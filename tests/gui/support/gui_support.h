#pragma once
// What the GUI tests share: a scripted wizard user interface, a wizard over
// in-memory or real services, answering modal dialogs, outcome transcripts
// and the check that no window outlives a test.
#include <QtTest>
#include <QtWidgets>
#include "support/fake_db.h"
#include "support/memory_file_system.h"
#include "support/sample_vb_project.h"
#include "support/scripted_ui.h"
#include "wizard/frm_add_in_main.h"
#include "wizard/frm_choose_tables.h"
#include "wizard/frm_connection.h"
#include "wizard/frm_fields.h"
#include "wizard/frm_login.h"
#include "wizard/frm_oledb_login.h"
#include "wizard/frm_project.h"
#include "wizard/frm_report.h"
#include "wizard/wizard.h"

namespace rw::test {

// Also answers the file and folder dialogs from a queue (empty: cancelled).
class ScriptedWizardUi final : public ScriptedUiOver<wizard::WizardUi> {
public:
    struct Dialog {
        std::string kind, filter, folder, fileName, title;  // kind: "open", "save", "folder"
        int root = 0, flags = 0;
    };
    using Answer = std::optional<std::string>;
    Answer openFile(QWidget*, const std::string& filter, const std::string& folder) override {
        return answer({"open", filter, folder, "", ""});
    }
    Answer saveFile(QWidget*, const std::string& filter, const std::string& folder, const std::string& name) override {
        return answer({"save", filter, folder, name, ""});
    }
    Answer browseFolder(QWidget*, int root, int flags, const std::string& title, const std::string& folder) override {
        return answer({"folder", "", folder, "", title, root, flags});
    }
    void openUrl(const std::string& url) override { urls.push_back(url); }
    std::deque<Answer> dialogAnswers;
    std::vector<Dialog> dialogs;
    std::vector<std::string> urls;

private:
    Answer answer(Dialog dialog);
};
using Msg = ScriptedWizardUi::Message;

// Whether `actual` is tests/golden/expected/<name> (shown when not); RW_UPDATE_GOLDEN=1 writes it.
bool matchesGolden(const QString& name, const QByteArray& actual);

// A file's bytes, or "<missing>".
std::string readFile(const std::string& path);

// An outcome transcript: a "== name" heading per case, then one fact a line.
struct Transcript {
    QByteArray text;
    void row(const QString& name) { text += "== " + name.toUtf8() + "\r\n"; }
    // "what: " and the values joined by " | " (a string list's items too).
    template <class... T>
    void operator()(const QString& what, const T&... values) {
        line(what, QStringList{fact(values)...});
    }
    // Each message shown (CR LF as \n) with its style, a title other than
    // the product's and an error's path; each dialog asked for; each help
    // page opened (by number, else its address); then forgets them.
    void said(ScriptedWizardUi& ui);
    // A line per child of `page` named in `names` (split at spaces): its
    // text, choice or items, then "checked", "default", "disabled" and
    // "hidden" as they hold.
    void widgets(const QWidget* page, const char* names);

private:
    void line(const QString& what, const QStringList& facts);
    template <class T>
    static QString fact(const T& value) {
        if constexpr (std::is_convertible_v<T, std::string>) return QString::fromStdString(std::string(value));
        else if constexpr (std::is_same_v<T, QStringList>) return value.join(" | ");
        else if constexpr (std::is_same_v<T, QVariant>) return value.toString();
        else if constexpr (std::is_same_v<T, bool>) return value ? "true" : "false";
        else return QVariant::fromValue(value).toString();
    }
};

// A wizard over scripted, fake or real services.
struct WizardHarness {
    // Null `fs`: in memory; null `memory`: nothing is remembered.
    explicit WizardHarness(std::unique_ptr<FileSystem> fs = nullptr, DataAccess* data = nullptr,
                           wizard::WizardMemory* memory = nullptr);
    ~WizardHarness();
    ScriptedWizardUi ui;
    FakeAccess fakeData;
    std::unique_ptr<FileSystem> fs;
    ide::Environment environment;
    FixedClock clock{DateTime{2026, 12, 5, 8, 17, 21}};
    std::unique_ptr<TempFolders> tempFolders;
    std::unique_ptr<wizard::Wizard> wizard;
    MemoryFileSystem* memoryFs() { return dynamic_cast<MemoryFileSystem*>(fs.get()); }
    wizard::FrmProject& toProjectPage();
    // After a new project "Orders" in `store` (made on the question, or at once in memory).
    wizard::FrmConnection& toConnectionPage(const QString& store = "/out");
};

// A small SQL Server database: Customers keyed by CustomerID, Orders with
// an identity OrderID, a view and the system's own tables; `change` alters it.
std::function<std::unique_ptr<FakeConnection>(const std::string&)> sampleDatabase(
    std::function<void(FakeConnection&)> change = {});

void click(QWidget* widget);

// `answer` runs with the next modal dialog of type T; another one, or none
// within five seconds, is closed and counted in modalFailures().
void whenModal(const char* className, std::function<void(QWidget*)> answer);
template <class T>
void whenModal(std::function<void(T*)> answer) {
    whenModal(T::staticMetaObject.className(), [answer](QWidget* w) { answer(static_cast<T*>(w)); });
}
int& modalFailures();

// Leaves out the offscreen platform's notes, closes modal dialogs nobody
// answers and puts every QSettings in a private folder.
void quietPlatformWarnings();
QStringList windowsLeft();  // the top-level windows, after pending deletions

// Checks that no window, busy pointer or unanswered dialog is left after a test.
#define RW_VERIFY_NOTHING_LEFT()                                                                  \
    do {                                                                                          \
        const QStringList left = ::rw::test::windowsLeft();                                       \
        QVERIFY2(left.isEmpty(), qPrintable(QStringLiteral("windows left: ") + left.join(", "))); \
        QVERIFY(QApplication::overrideCursor() == nullptr);                                       \
        QCOMPARE(std::exchange(::rw::test::modalFailures(), 0), 0);                               \
    } while (false)

}  // namespace rw::test
