#include "support/gui_support.h"

#include "support/memory_temp_folders.h"

namespace rw::test {

ScriptedWizardUi::Answer ScriptedWizardUi::answer(Dialog dialog) {
    dialogs.push_back(std::move(dialog));
    if (dialogAnswers.empty()) return std::nullopt;
    const Answer answer = dialogAnswers.front();
    dialogAnswers.pop_front();
    return answer;
}

void Transcript::line(const QString& what, const QStringList& facts) {
    text += (what + ": " + facts.join(" | ")).toUtf8() + "\r\n";
}

void Transcript::said(ScriptedWizardUi& ui) {
    for (const Msg& m : ui.messages) {
        QString line = QString::fromStdString(m.text).replace("\r\n", "\\n") + " (" + QString::number(m.style);
        if (m.title != kProductName) line += ", " + QString::fromStdString(m.title);
        if (!m.path.empty()) line += ", " + QString::fromStdString(m.path);
        (*this)("said", line + ")");
    }
    for (const auto& d : ui.dialogs) {
        QStringList facts{QString::fromStdString(d.folder), QString::fromStdString(d.fileName),
                          QString::fromStdString(d.filter), QString::fromStdString(d.title)};
        if (facts[0] == QDir::homePath()) facts[0] = "<home>";
        (*this)(QString::fromStdString(d.kind), facts, d.root, d.flags);
    }
    for (const std::string& url : ui.urls) {
        QString shown = QString::fromStdString(url);
        for (int n = 1; n <= 6; ++n)
            if (url == wizard::helpPageUrl(RW_SOURCE_HELP_DIR, n)) shown = QString::number(n);
        (*this)("help", shown.replace(QUrl::fromLocalFile(QDir::cleanPath(RW_SOURCE_HELP_DIR "/..")).toString(), "<top>"));
    }
    if (ui.beeps != 0 || ui.busyDepth != 0) (*this)("beeps, busy", ui.beeps, ui.busyDepth);
    ui.messages.clear(), ui.dialogs.clear(), ui.urls.clear(), ui.beeps = 0;
}

void Transcript::widgets(const QWidget* page, const char* names) {
    for (const QString& name : QString::fromLatin1(names).split(' ', Qt::SkipEmptyParts)) {
        const auto* w = page->findChild<const QWidget*>(name);
        QStringList facts;
        if (w == nullptr) facts << "<missing>";
        else if (auto* e = qobject_cast<const QLineEdit*>(w)) facts << "'" + e->text() + "'";
        else if (auto* e = qobject_cast<const QPlainTextEdit*>(w)) facts << "'" + e->toPlainText().replace('\n', "\\n") + "'";
        else if (auto* c = qobject_cast<const QComboBox*>(w)) facts << QString::number(c->currentIndex()) + " of " + QString::number(c->count());
        else if (auto* l = qobject_cast<const QListWidget*>(w))
            for (int i = 0; i < l->count(); ++i) facts << l->item(i)->text();
        if (auto* b = qobject_cast<const QAbstractButton*>(w); b != nullptr && b->isChecked()) facts << "checked";
        if (auto* b = qobject_cast<const QPushButton*>(w); b != nullptr && b->isDefault()) facts << "default";
        if (w != nullptr && !w->isEnabled()) facts << "disabled";
        if (w != nullptr && !w->isVisibleTo(w->window())) facts << "hidden";
        (*this)(name, facts);
    }
}

std::string readFile(const std::string& path) {
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "<missing>";
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
    tempFolders = memoryFs() != nullptr ? std::unique_ptr<TempFolders>(std::make_unique<MemoryTempFolders>(*memoryFs()))
                                        : std::make_unique<SystemTempFolders>();
    wizard = std::make_unique<wizard::Wizard>(wizard::WizardServices{
        ui, data != nullptr ? *data : fakeData, environment, *fs, clock, tempFolders.get(), RW_SOURCE_HELP_DIR,
        memory});
}

WizardHarness::~WizardHarness() = default;

wizard::FrmProject& WizardHarness::toProjectPage() {
    click(wizard->start().cmdNext);
    return *wizard->loadedProject();
}

wizard::FrmConnection& WizardHarness::toConnectionPage(const QString& store) {
    wizard::FrmProject& p = toProjectPage();
    click(p.optNew);
    p.txtProjName->setText(QStringLiteral("Orders"));
    p.txtNewStoreDir->setText(store);
    if (memoryFs() != nullptr) memoryFs()->createDirectories(store.toStdString());
    else ui.answers = {kAnswerYes};
    click(p.cmdNext);
    return *wizard->loadedConnection();
}

std::function<std::unique_ptr<FakeConnection>(const std::string&)> sampleDatabase(
    std::function<void(FakeConnection&)> change) {
    return [change](const std::string&) {
        auto c = std::make_unique<FakeConnection>();
        c->properties = {{"DBMS Name", "Microsoft SQL Server"}, {"Data Source Name", "Orders"}};
        c->tables = {{"Customers", "TABLE"}, {"dtproperties", "TABLE"}, {"MSysObjects", "TABLE"},
                     {"msysLower", "TABLE"}, {"CustomerView", "VIEW"},  {"Orders", "TABLE"}};
        c->columns["Customers"] = {{"CustomerID", 130, {}, {}, false}, {"CompanyName", 130, {}, {}, false}};
        c->columns["Orders"] = {{"OrderID", 3, 10, 0, false}, {"CustomerID", 130, {}, {}, false}};
        c->columns["msysLower"] = {{"next", 3, 10, 0, true}};
        c->keys = {{"Customers", {"CustomerID"}}, {"Orders", {"OrderID"}}};
        c->queries["SELECT IDENTITYCOL FROM Orders"] = [] {
            return std::make_unique<MemoryRecordset>(std::vector<std::string>{"OrderID"}, std::vector<std::vector<Variant>>{});
        };
        if (change) change(*c);
        return c;
    };
}

void click(QWidget* widget) {
    QVERIFY(widget != nullptr);
    // A check box or option button takes clicks on its indicator and its
    // text, not on the rest of its width.
    QStyleOptionButton option;
    option.initFrom(widget);
    const bool box = qobject_cast<QCheckBox*>(widget) != nullptr, option_ = qobject_cast<QRadioButton*>(widget) != nullptr;
    const QRect at = box || option_ ? widget->style()->subElementRect(
                                          box ? QStyle::SE_CheckBoxIndicator : QStyle::SE_RadioButtonIndicator, &option, widget)
                                    : widget->rect();
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, at.center());
}

static void usePrivateSettings() {
    static QTemporaryDir folder;
    QVERIFY(folder.isValid());
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat}) {
        QSettings::setPath(format, QSettings::UserScope, folder.path() + QStringLiteral("/user"));
        QSettings::setPath(format, QSettings::SystemScope, folder.path() + QStringLiteral("/system"));
    }
}

int& modalFailures() { static int failures = 0; return failures; }

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
        if (modal == nullptr || pendingModalAnswers > 0) return void(seen = nullptr);
        if (modal != seen) return seen = modal, since.start();
        if (since.elapsed() < 3000) return;
        ++modalFailures();
        qWarning("an unexpected modal %s was closed", modal->metaObject()->className());
        seen = nullptr;
        modal->close();
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
        timer->deleteLater(), --pendingModalAnswers;
        timer->stop();
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
