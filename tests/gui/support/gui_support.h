#pragma once
// What the GUI tests share: a scripted wizard user interface, a wizard over
// in-memory or real services, finding controls by name, answering modal
// dialogs, screenshots, and the check that no window outlives a test.
#include <QApplication>
#include <QString>
#include <QTest>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/ide/environment.h"
#include "platform/temp_folders.h"
#include "support/fake_db.h"
#include "wizard/wizard.h"
#include "support/memory_file_system.h"

namespace rw::test {

// Records every message, dialog and address; answers from queues.
class ScriptedWizardUi final : public wizard::WizardUi {
public:
    struct Message {
        std::string text;
        int style;
        std::string title;
        bool operator==(const Message&) const = default;
    };
    struct Dialog {
        std::string kind;  // "open", "save", "folder"
        std::string filter;
        std::string folder;
        std::string fileName;
        std::string title;
        int root = 0;
        int flags = 0;
    };

    int msgBox(const std::string& text, int style, const std::string& title = kProductName) override;
    void beep() override { ++beeps; }
    void setBusy(bool busy) override { busy ? ++busyDepth : --busyDepth; }
    bool promptDataSource(const std::vector<std::string>& dataSources, std::string& connectionString) override;
    std::optional<std::string> openFile(QWidget* owner, const std::string& filter,
                                        const std::string& initialFolder) override;
    std::optional<std::string> saveFile(QWidget* owner, const std::string& filter, const std::string& initialFolder,
                                        const std::string& fileName) override;
    std::optional<std::string> browseFolder(QWidget* owner, int root, int flags, const std::string& title,
                                            const std::string& initialFolder) override;
    void openUrl(const std::string& url) override { urls.push_back(url); }

    std::deque<int> answers;  // message answers; then kAnswerOk
    std::vector<Message> messages;
    // Runs when a message is shown, before it is answered.
    std::function<void(const Message&)> onMessage;
    std::deque<std::optional<std::string>> dialogAnswers;  // open/save/folder; empty: cancelled
    std::vector<Dialog> dialogs;
    std::deque<std::string> dataSourceAnswers;  // empty: cancelled
    std::vector<std::vector<std::string>> dataSourcePrompts;
    std::vector<std::string> urls;
    int beeps = 0;
    int busyDepth = 0;
};

// The error display's text for an error shown under `where`.
std::string shownError(long number, const std::string& source, const std::string& where, const std::string& description);

// A wizard over scripted, fake or real services.
struct WizardHarness {
    // `fs` null: an in-memory file system.
    // `memory` null: nothing is remembered between runs.
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
};

// The child of `parent` with that object name and type; fails the test when
// there is none.
template <class T>
T* child(QObject* parent, const char* name) {
    T* found = parent != nullptr ? parent->findChild<T*>(QString::fromLatin1(name)) : nullptr;
    if (found == nullptr) qWarning("no child named %s", name);
    return found;
}

// Clicks a button (or any widget) with the mouse.
void click(QWidget* widget);

// Answers the next modal dialog of type T: `answer` runs with it once it is
// shown. A different modal dialog, or none within five seconds, is closed
// and counted in modalFailures().
void whenModal(const char* className, std::function<void(QWidget*)> answer);
template <class T>
void whenModal(std::function<void(T*)> answer) {
    whenModal(T::staticMetaObject.className(), [answer](QWidget* w) { answer(static_cast<T*>(w)); });
}
int& modalFailures();

// Points every QSettings of this process at a private folder. Call once,
// in initTestCase.
void usePrivateSettings();

// Leaves out the offscreen platform's notes about what it cannot do (raise
// a window, ...), which say nothing about the test. Call in initTestCase.
void quietPlatformWarnings();

// Saves a picture of the window into the build folder's screenshots/.
void screenshot(QWidget* window, const QString& name);

// The top-level windows there are now, after pending deletions; their
// object names, for a readable failure.
QStringList windowsLeft();

// Checks that no window and no busy pointer is left after a test.
#define RW_VERIFY_NOTHING_LEFT()                                                        \
    do {                                                                                \
        const QStringList left = ::rw::test::windowsLeft();                             \
        QVERIFY2(left.isEmpty(), qPrintable(QStringLiteral("windows left: ") + left.join(", "))); \
        QVERIFY(QApplication::overrideCursor() == nullptr);                             \
        QCOMPARE(::rw::test::modalFailures(), 0);                                       \
    } while (false)

}  // namespace rw::test
