#include "support/gui_support.h"
#include "support/memory_file_system.h"
#include "support/memory_temp_folders.h"

#include <QCheckBox>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QDir>
#include <QPixmap>
#include <QPointer>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

namespace rw::test {

int ScriptedWizardUi::msgBox(const std::string& text, int style, const std::string& title) {
    messages.push_back({text, style, title});
    if (onMessage) onMessage(messages.back());
    if (answers.empty()) return kAnswerOk;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
}

bool ScriptedWizardUi::promptDataSource(const std::vector<std::string>& dataSources, std::string& connectionString) {
    dataSourcePrompts.push_back(dataSources);
    if (dataSourceAnswers.empty()) return false;
    connectionString = dataSourceAnswers.front();
    dataSourceAnswers.pop_front();
    return true;
}

namespace {

std::optional<std::string> nextAnswer(std::deque<std::optional<std::string>>& queue) {
    if (queue.empty()) return std::nullopt;
    std::optional<std::string> answer = queue.front();
    queue.pop_front();
    return answer;
}

}  // namespace

std::optional<std::string> ScriptedWizardUi::openFile(QWidget*, const std::string& filter,
                                                      const std::string& initialFolder) {
    dialogs.push_back({"open", filter, initialFolder, "", "", 0, 0});
    return nextAnswer(dialogAnswers);
}

std::optional<std::string> ScriptedWizardUi::saveFile(QWidget*, const std::string& filter,
                                                      const std::string& initialFolder, const std::string& fileName) {
    dialogs.push_back({"save", filter, initialFolder, fileName, "", 0, 0});
    return nextAnswer(dialogAnswers);
}

std::optional<std::string> ScriptedWizardUi::browseFolder(QWidget*, int root, int flags, const std::string& title,
                                                          const std::string& initialFolder) {
    dialogs.push_back({"folder", "", initialFolder, "", title, root, flags});
    return nextAnswer(dialogAnswers);
}

std::string shownError(long number, const std::string& source, const std::string& where,
                       const std::string& description) {
    return errorMessageText(number, source + " (" + where + ")", description);
}

WizardHarness::WizardHarness(std::unique_ptr<FileSystem> files, DataAccess* data, wizard::WizardMemory* memory)
    : fs(files ? std::move(files) : std::make_unique<MemoryFileSystem>()), environment(*fs) {
    if (auto* memory = memoryFs())
        tempFolders = std::make_unique<MemoryTempFolders>(*memory);
    else
        tempFolders = std::make_unique<SystemTempFolders>();
    wizard = std::make_unique<wizard::Wizard>(wizard::WizardServices{
        ui, data != nullptr ? *data : fakeData, environment, *fs, clock, tempFolders.get(), RW_SOURCE_HELP_DIR,
        memory});
}

WizardHarness::~WizardHarness() = default;

void click(QWidget* widget) {
    QVERIFY(widget != nullptr);
    // A check box or option button takes clicks on its indicator and its
    // text, not on the rest of its width.
    QPoint at = widget->rect().center();
    QStyleOptionButton option;
    option.initFrom(widget);
    if (qobject_cast<QCheckBox*>(widget) != nullptr)
        at = widget->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, widget).center();
    else if (qobject_cast<QRadioButton*>(widget) != nullptr)
        at = widget->style()->subElementRect(QStyle::SE_RadioButtonIndicator, &option, widget).center();
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, at);
}

void usePrivateSettings() {
    static QTemporaryDir folder;
    QVERIFY(folder.isValid());
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat}) {
        QSettings::setPath(format, QSettings::UserScope, folder.path() + QStringLiteral("/user"));
        QSettings::setPath(format, QSettings::SystemScope, folder.path() + QStringLiteral("/system"));
    }
}

int& modalFailures() {
    static int failures = 0;
    return failures;
}

namespace {

int pendingModalAnswers = 0;

// Closes a modal dialog that nobody is waiting to answer, so that a test
// that did not expect it fails instead of waiting for ever.
void startModalWatchdog() {
    static QTimer* watchdog = nullptr;
    if (watchdog != nullptr) return;
    watchdog = new QTimer;
    watchdog->setInterval(200);
    QObject::connect(watchdog, &QTimer::timeout, [] {
        static QPointer<QWidget> seen;
        static QElapsedTimer since;
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || pendingModalAnswers > 0) {
            seen = nullptr;
            return;
        }
        if (modal != seen) {
            seen = modal;
            since.start();
            return;
        }
        if (since.elapsed() < 3000) return;
        ++modalFailures();
        qWarning("an unexpected modal %s was closed", modal->metaObject()->className());
        seen = nullptr;
        modal->close();
    });
    watchdog->start();
}

}  // namespace

void whenModal(const char* className, std::function<void(QWidget*)> answer) {
    startModalWatchdog();
    ++pendingModalAnswers;
    auto* timer = new QTimer;
    timer->setInterval(10);
    const QDeadlineTimer deadline(5000);
    const QString wanted = QString::fromLatin1(className);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, deadline, wanted, answer] {
        QWidget* modal = QApplication::activeModalWidget();
        const bool right = modal != nullptr && modal->inherits(wanted.toLatin1().constData());
        if (!right && !deadline.hasExpired()) return;
        timer->stop();
        timer->deleteLater();
        --pendingModalAnswers;
        if (right) {
            answer(modal);
            return;
        }
        ++modalFailures();
        qWarning("expected a modal %s, found %s", qPrintable(wanted),
                 modal != nullptr ? modal->metaObject()->className() : "none");
        if (modal != nullptr) modal->close();
    });
    timer->start();
}

namespace {

QtMessageHandler previousHandler = nullptr;

void withoutPlatformNotes(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    // The offscreen platform says so whenever a window is raised.
    if (message.startsWith(QStringLiteral("This plugin does not support"))) return;
    if (previousHandler != nullptr) previousHandler(type, context, message);
}

}  // namespace

void quietPlatformWarnings() {
    if (previousHandler == nullptr) previousHandler = qInstallMessageHandler(withoutPlatformNotes);
    startModalWatchdog();
}

void screenshot(QWidget* window, const QString& name) {
    QDir().mkpath(QStringLiteral(RW_SCREENSHOT_DIR));
    // Layouts settle before the picture is taken.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    const QPixmap picture = window->grab();
    QVERIFY2(picture.save(QStringLiteral(RW_SCREENSHOT_DIR "/") + name + QStringLiteral(".png")),
             qPrintable(QStringLiteral("cannot save screenshot ") + name));
}

QStringList windowsLeft() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QStringList names;
    for (QWidget* w : QApplication::topLevelWidgets())
        names << QString::fromLatin1(w->metaObject()->className()) + QLatin1Char(':') + w->objectName();
    return names;
}

}  // namespace rw::test
