#include "support/gui_support.h"

#include "support/memory_temp_folders.h"

namespace rw::test {

std::optional<std::string> ScriptedWizardUi::answer(Dialog dialog) {
    dialogs.push_back(std::move(dialog));
    if (dialogAnswers.empty()) return std::nullopt;
    std::optional<std::string> answer = dialogAnswers.front();
    dialogAnswers.pop_front();
    return answer;
}

Msg shownError(long number, const std::string& source, const std::string& where, const std::string& description) {
    return {errorMessageText(number, source + " (" + where + ")", description), kStyleExclamation};
}

void Transcript::operator()(const QString& what, const QVariant& value) {
    const bool list = value.typeId() == QMetaType::QStringList;
    text += (what + ": " + (list ? value.toStringList().join(" | ") : value.toString())).toUtf8() + "\r\n";
}

void Transcript::said(std::vector<Msg>& messages) {
    for (const Msg& m : messages) {
        QString line = QString::fromStdString(m.text).replace("\r\n", "\\n") + " (" + QString::number(m.style);
        if (m.title != kProductName) line += ", " + QString::fromStdString(m.title);
        if (!m.path.empty()) line += ", " + QString::fromStdString(m.path);
        (*this)("said", line + ")");
    }
    messages.clear();
}

void Transcript::asked(std::vector<ScriptedWizardUi::Dialog>& dialogs) {
    for (const auto& d : dialogs) {
        QStringList facts{QString::fromStdString(d.folder), QString::fromStdString(d.fileName),
                          QString::fromStdString(d.filter), QString::fromStdString(d.title)};
        if (facts[0] == QDir::homePath()) facts[0] = "<home>";
        (*this)(QString::fromStdString(d.kind), facts << QString::number(d.root) << QString::number(d.flags));
    }
    dialogs.clear();
}

void Transcript::widgets(std::initializer_list<std::pair<const char*, const QWidget*>> named) {
    for (const auto& [name, w] : named) {
        QStringList facts;
        if (auto* e = qobject_cast<const QLineEdit*>(w)) facts << "'" + e->text() + "'";
        if (auto* e = qobject_cast<const QPlainTextEdit*>(w)) facts << "'" + e->toPlainText().replace('\n', "\\n") + "'";
        if (auto* c = qobject_cast<const QComboBox*>(w)) facts << QString::number(c->currentIndex()) + " of " + QString::number(c->count());
        if (auto* l = qobject_cast<const QListWidget*>(w))
            for (int i = 0; i < l->count(); ++i) facts << l->item(i)->text();
        if (auto* b = qobject_cast<const QAbstractButton*>(w); b != nullptr && b->isChecked()) facts << "checked";
        if (!w->isEnabled()) facts << "disabled";
        if (!w->isVisibleTo(w->window())) facts << "hidden";
        (*this)(QString::fromLatin1(name), facts);
    }
}

bool matchesGolden(const QString& name, const QByteArray& actual) {
    QFile file(QStringLiteral(RW_GOLDEN_DIR "/") + name);
    if (qgetenv("RW_UPDATE_GOLDEN") == "1") return file.open(QIODevice::WriteOnly) && file.write(actual) == actual.size();
    const bool same = file.open(QIODevice::ReadOnly) && file.readAll() == actual;
    if (!same) qWarning("not as in %s:\n%s", qPrintable(file.fileName()), actual.constData());
    return same;
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

static void usePrivateSettings() {
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
        } else if (modal != seen) {
            seen = modal;
            since.start();
        } else if (since.elapsed() >= 3000) {
            ++modalFailures();
            qWarning("an unexpected modal %s was closed", modal->metaObject()->className());
            seen = nullptr;
            modal->close();
        }
    });
    watchdog->start();
}

QtMessageHandler previousHandler = nullptr;

void withoutPlatformNotes(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    // The offscreen platform says so whenever a window is raised.
    if (message.startsWith(QStringLiteral("This plugin does not support"))) return;
    if (previousHandler != nullptr) previousHandler(type, context, message);
}

}  // namespace

void whenModal(const char* className, std::function<void(QWidget*)> answer) {
    startModalWatchdog();
    ++pendingModalAnswers;
    auto* timer = new QTimer;
    timer->setInterval(10);
    const QDeadlineTimer deadline(5000);
    const QByteArray wanted(className);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, deadline, wanted, answer] {
        QWidget* modal = QApplication::activeModalWidget();
        const bool right = modal != nullptr && modal->inherits(wanted.constData());
        if (!right && !deadline.hasExpired()) return;
        timer->stop();
        timer->deleteLater();
        --pendingModalAnswers;
        if (right) return answer(modal);
        ++modalFailures();
        qWarning("expected a modal %s, found %s", wanted.constData(),
                 modal != nullptr ? modal->metaObject()->className() : "none");
        if (modal != nullptr) modal->close();
    });
    timer->start();
}

void quietPlatformWarnings() {
    if (previousHandler == nullptr) previousHandler = qInstallMessageHandler(withoutPlatformNotes);
    startModalWatchdog();
    usePrivateSettings();
}

QStringList windowsLeft() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QStringList names;
    for (QWidget* w : QApplication::topLevelWidgets())
        names << QString::fromLatin1(w->metaObject()->className()) + QLatin1Char(':') + w->objectName();
    return names;
}

}  // namespace rw::test
