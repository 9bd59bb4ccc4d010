#include "host/workbench.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHeaderView>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QStatusBar>
#include <QTreeWidget>
#include <algorithm>
#include <exception>

#include "host/add_in_manager.h"
#include "platform/runtime_error.h"

namespace rw::host {

namespace {

// Message box styles and answers of the workbench's own questions.
constexpr int kStyleSaveQuestion = 35;  // Yes, No and Cancel with the question icon

enum ItemKind : int { kProjectItem = 1, kComponentItem = 2 };
constexpr int kKindRole = Qt::UserRole;
constexpr int kPointerRole = Qt::UserRole + 1;

QString q(const std::string& text) { return QString::fromStdString(text); }

std::string fileNameOf(const std::string& path) { return QFileInfo(q(path)).fileName().toStdString(); }

std::string describe(const std::exception& e) {
    if (const auto* runtime = dynamic_cast<const RuntimeError*>(&e)) return runtime->description;
    return e.what();
}

QString projectLabel(const ide::Project& project) {
    return q(project.name() + " (" + fileNameOf(project.fileName()) + ")" + (project.isDirty() ? " *" : ""));
}

QString componentLabel(const ide::Component& component) {
    std::string label = component.name();
    if (!component.fileName().empty()) label += " (" + fileNameOf(component.fileName()) + ")";
    if (component.isDirty()) label += " *";
    return q(label);
}

template <class T>
T* pointerOf(const QTreeWidgetItem* item) {
    return item == nullptr ? nullptr : reinterpret_cast<T*>(item->data(0, kPointerRole).value<quintptr>());
}

int kindOf(const QTreeWidgetItem* item) { return item == nullptr ? 0 : item->data(0, kKindRole).toInt(); }

}  // namespace

// ---- code text --------------------------------------------------------------

QString codeText(const ide::Component& component) {
    const ide::CodeModule& code = component.codeModule();
    if (code.countOfLines() == 0) return {};
    QString text = q(code.lines(1, code.countOfLines()));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

bool setCodeText(ide::Component& component, const QString& text) {
    ide::CodeModule& code = component.codeModule();
    std::vector<std::string> before;
    before.reserve(static_cast<std::size_t>(code.countOfLines()));
    for (int i = 1; i <= code.countOfLines(); ++i) before.push_back(code.lines(i, 1));
    std::vector<std::string> after;
    if (!text.isEmpty()) {
        for (const QString& line : text.split(QLatin1Char('\n'))) after.push_back(line.toStdString());
    }

    // Only the stretch between the common beginning and the common end
    // changes, so the attribute lines of every other line stay with it.
    std::size_t head = 0;
    while (head < before.size() && head < after.size() && before[head] == after[head]) ++head;
    std::size_t tail = 0;
    while (tail < before.size() - head && tail < after.size() - head &&
           before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
        ++tail;
    const std::size_t removed = before.size() - head - tail;
    const std::size_t added = after.size() - head - tail;
    if (removed == 0 && added == 0) return false;

    if (removed > 0) code.deleteLines(static_cast<int>(head) + 1, static_cast<int>(removed));
    if (added > 0) {
        std::string inserted;
        for (std::size_t i = head; i < head + added; ++i) {
            if (i > head) inserted += "\r\n";
            inserted += after[i];
        }
        code.insertLines(static_cast<int>(head) + 1, inserted);
    }
    return true;
}

// ---- window -------------------------------------------------------------------

Workbench::Workbench(WorkbenchServices services, QWidget* parent)
    : QMainWindow(parent), services_(services), vbe_(std::make_unique<VBE>(services.environment, this)) {
    setObjectName(QStringLiteral("frmWorkbench"));
    setWindowTitle(QString::fromLatin1(kWorkbenchTitle));
    setAttribute(Qt::WA_QuitOnClose, true);

    auto* splitter = new QSplitter(this);
    tree = new QTreeWidget(splitter);
    tree->setObjectName(QStringLiteral("tvwProjects"));
    tree->setHeaderLabel(QStringLiteral("Projects"));
    tree->header()->setStretchLastSection(true);
    editor = new QPlainTextEdit(splitter);
    editor->setObjectName(QStringLiteral("txtCode"));
    editor->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    editor->setLineWrapMode(QPlainTextEdit::NoWrap);
    editor->setReadOnly(true);
    editor->setPlaceholderText(QStringLiteral("Open a project (File > Open Project...) and choose a component."));
    splitter->addWidget(tree);
    splitter->addWidget(editor);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 3);
    splitter->setSizes({280, 620});
    setCentralWidget(splitter);
    statusBar();
    resize(900, 560);

    buildMenus();

    connect(tree, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* item, QTreeWidgetItem*) { currentItemChanged(item); });
    connect(editor, &QPlainTextEdit::textChanged, this, &Workbench::applyEditorText);
    connect(vbe_.get(), &VBE::projectsChanged, this, &Workbench::refresh);
    refresh();
}

Workbench::~Workbench() {
    disconnectAll(kRemoveHostShutdown);
    // The bars go before the menus they stand on.
    vbe_.reset();
}

void Workbench::buildMenus() {
    fileMenu = menuBar()->addMenu(QStringLiteral("&File"));
    fileMenu->setObjectName(QStringLiteral("mnuFile"));
    actOpenProject = fileMenu->addAction(QStringLiteral("&Open Project..."), this, &Workbench::openProjectDialog);
    actOpenProject->setShortcut(QKeySequence::Open);
    actSave = fileMenu->addAction(QStringLiteral("&Save"), this, [this] {
        if (ide::Project* project = currentProject()) saveProject(*project);
    });
    actSave->setShortcut(QKeySequence::Save);
    actSaveAll = fileMenu->addAction(QStringLiteral("Save A&ll"), this, &Workbench::saveAll);
    actCloseProject = fileMenu->addAction(QStringLiteral("&Close Project"), this, [this] {
        if (ide::Project* project = currentProject()) closeProject(*project);
    });
    fileMenu->addSeparator();
    actExit = fileMenu->addAction(QStringLiteral("E&xit"), this, &QWidget::close);

    addInsMenu = menuBar()->addMenu(QStringLiteral("&Add-Ins"));
    addInsMenu->setObjectName(QStringLiteral("mnuAddIns"));
    actAddInManager = addInsMenu->addAction(QStringLiteral("&Add-In Manager..."), this, &Workbench::showAddInManager);

    vbe_->commandBars().add("File", *fileMenu);
    vbe_->commandBars().add("Add-Ins", *addInsMenu);
}

void Workbench::showFailure(const std::string& text) {
    services_.ui.msgBox(text, kStyleExclamation, kWorkbenchTitle);
}

// ---- add-ins ------------------------------------------------------------------

template <class Body>
void Workbench::raiseAddInEvent(const std::string& progId, Body&& body) {
    try {
        body();
    } catch (const std::exception& e) {
        showFailure("The add-in '" + progId + "' failed: " + describe(e));
    }
}

void Workbench::startUp(const std::string& externalProgId) {
    // A user who unregistered every add-in has a list written empty, and
    // keeps it so.
    if (services_.bundledAddIn != nullptr && !services_.registry.written()) registerBundledAddIn();
    connectStartupAddIns(externalProgId);
    show();
    raiseStartupComplete();
    if (!externalProgId.empty()) connectAddIn(externalProgId, kConnectExternal);
}

void Workbench::connectStartupAddIns(const std::string& except) {
    for (const AddInEntry& entry : services_.registry.entries()) {
        if (entry.loadOnStartup && entry.progId != except) connectAddIn(entry.progId, kConnectStartup);
    }
}

void Workbench::raiseStartupComplete() {
    if (startupCompleted_) return;
    startupCompleted_ = true;
    // A copy: an add-in's handler may open windows whose events reach the list.
    std::vector<std::pair<std::string, AddInInstance*>> atStartup;
    for (const auto& c : connected_) {
        if (c->connectMode == kConnectStartup) atStartup.emplace_back(c->progId, c->object.get());
    }
    for (const auto& [progId, object] : atStartup) {
        if (addInObject(progId) != object) continue;
        raiseAddInEvent(progId, [&, object = object] {
            Custom custom;
            object->OnStartupComplete(custom);
        });
    }
}

bool Workbench::isConnected(const std::string& progId) const { return addInObject(progId) != nullptr; }

AddInInstance* Workbench::addInObject(const std::string& progId) const {
    for (const auto& c : connected_) {
        if (c->progId == progId) return c->object.get();
    }
    return nullptr;
}

bool Workbench::connectAddIn(const std::string& progId, int connectMode) {
    if (isConnected(progId)) return false;
    const std::optional<AddInEntry> entry = services_.registry.find(progId);
    if (!entry) {
        showFailure("The add-in '" + progId + "' is not registered, so it cannot be loaded.");
        return false;
    }
    std::unique_ptr<AddInInstance> object = services_.classes.create(progId);
    if (!object) {
        showFailure("The add-in '" + entry->displayName + "' could not be loaded: its class '" + progId +
                    "' is not available.");
        return false;
    }
    auto c = std::make_unique<Connected>();
    c->progId = progId;
    c->info = AddIn{progId, entry->description, true};
    c->object = std::move(object);
    c->connectMode = connectMode;
    Connected& added = *c;
    connected_.push_back(std::move(c));
    raiseAddInEvent(progId, [&] {
        Custom custom;
        added.object->OnConnection(vbe_.get(), connectMode, &added.info, custom);
    });
    return true;
}

bool Workbench::disconnectAddIn(const std::string& progId, int removeMode) {
    const auto it = std::find_if(connected_.begin(), connected_.end(), [&](const auto& c) { return c->progId == progId; });
    if (it == connected_.end()) return false;
    // Out of the list first, so that nothing the handler does reaches it twice.
    std::unique_ptr<Connected> c = std::move(*it);
    connected_.erase(it);
    c->info.connected = false;
    raiseAddInEvent(progId, [&] {
        Custom custom;
        c->object->OnDisconnection(removeMode, custom);
    });
    return true;
}

void Workbench::disconnectAll(int removeMode) {
    // The last connected goes first.
    while (!connected_.empty()) disconnectAddIn(connected_.back()->progId, removeMode);
}

bool Workbench::registerBundledAddIn() {
    try {
        services_.registry.add(*services_.bundledAddIn);
    } catch (const std::exception& e) {
        showFailure("The add-in '" + services_.bundledAddIn->displayName + "' could not be registered: " + describe(e));
        return false;
    }
    return true;
}

void Workbench::showAddInManager() {
    if (services_.bundledAddIn != nullptr && services_.registry.entries().empty()) {
        const std::string& name = services_.bundledAddIn->displayName;
        const int answer = services_.ui.msgBox("No add-in is registered. To register " + name +
                                                   ", run \"rowwright-gui --register\" or answer Yes " +
                                                   "here.\r\n\r\nRegister " + name + " and load it now?",
                                               kStyleQuestionYesNo, kWorkbenchTitle);
        if (answer == kAnswerYes && registerBundledAddIn())
            connectAddIn(services_.bundledAddIn->progId, kConnectAfterStartup);
    }
    AddInManager manager(services_.registry.entries(), *this, this);
    if (manager.exec() != QDialog::Accepted) return;
    for (const AddInManager::Row& row : manager.rows()) {
        if (row.loadOnStartup != row.entry.loadOnStartup) {
            try {
                services_.registry.setLoadOnStartup(row.entry.progId, row.loadOnStartup);
            } catch (const std::exception& e) {
                showFailure(describe(e));
            }
        }
        if (row.loaded && !isConnected(row.entry.progId)) connectAddIn(row.entry.progId, kConnectAfterStartup);
        if (!row.loaded && isConnected(row.entry.progId)) disconnectAddIn(row.entry.progId, kRemoveUserClosed);
    }
}

// ---- projects -----------------------------------------------------------------

bool Workbench::openProject(const std::string& vbpPath) {
    ide::Project* project = nullptr;
    try {
        project = &services_.environment.loadProject(vbpPath);
    } catch (const std::exception& e) {
        showFailure("The project '" + vbpPath + "' could not be opened." + "\r\n\r\n" + describe(e));
        return false;
    }
    lastFolder_ = QFileInfo(q(vbpPath)).absolutePath().toStdString();
    refresh();
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        if (pointerOf<ide::Project>(tree->topLevelItem(i)) == project) tree->setCurrentItem(tree->topLevelItem(i));
    }
    return true;
}

void Workbench::openProjectDialog() {
    const std::optional<std::string> path = services_.ui.openFile(this, "VB Projects (*.vbp)|*.vbp", lastFolder_);
    if (path) openProject(*path);
}

ide::Project* Workbench::currentProject() const {
    QTreeWidgetItem* item = tree->currentItem();
    while (item != nullptr && item->parent() != nullptr) item = item->parent();
    if (item != nullptr) return pointerOf<ide::Project>(item);
    const auto& projects = services_.environment.projects();
    return projects.size() == 1 ? projects.front().get() : nullptr;
}

bool Workbench::saveProject(ide::Project& project) {
    try {
        project.save();
    } catch (const std::exception& e) {
        showFailure("The project '" + project.name() + "' could not be saved." + "\r\n\r\n" + describe(e));
        refresh();
        return false;
    }
    refresh();
    return true;
}

bool Workbench::saveAll() {
    for (const auto& project : services_.environment.projects()) {
        if (project->isDirty() && !saveProject(*project)) return false;
    }
    return true;
}

bool Workbench::askToSave(const std::vector<ide::Project*>& projects) {
    std::vector<ide::Project*> unsaved;
    std::string list;
    for (ide::Project* project : projects) {
        if (!project->isDirty()) continue;
        unsaved.push_back(project);
        list += "\r\n" + project->name() + " (" + fileNameOf(project->fileName()) + ")";
        for (const auto& component : project->vbComponents()) {
            if (component->isDirty()) list += "\r\n    " + component->name();
        }
    }
    if (unsaved.empty()) return true;
    const int answer = services_.ui.msgBox("Save changes to the following projects?\r\n" + list, kStyleSaveQuestion,
                                           kWorkbenchTitle);
    if (answer == kAnswerNo) return true;
    if (answer != kAnswerYes) return false;
    for (ide::Project* project : unsaved) {
        if (!saveProject(*project)) return false;
    }
    return true;
}

bool Workbench::closeProject(ide::Project& project) {
    if (!askToSave({&project})) return false;
    if (shown_ != nullptr) {
        for (const auto& component : project.vbComponents()) {
            if (component.get() == shown_) showComponent(nullptr);
        }
    }
    if (std::unique_ptr<ide::Project> closed = services_.environment.closeProject(project))
        closedProjects_.push_back(std::move(closed));
    refresh();
    return true;
}

void Workbench::closeEvent(QCloseEvent* event) {
    if (closing_) {
        event->ignore();
        return;
    }
    std::vector<ide::Project*> all;
    for (const auto& project : services_.environment.projects()) all.push_back(project.get());
    closing_ = true;
    const bool mayClose = askToSave(all);
    if (mayClose) disconnectAll(kRemoveHostShutdown);
    closing_ = false;
    if (mayClose)
        event->accept();
    else
        event->ignore();
}

void Workbench::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    // Coming back to the workbench shows what an add-in changed meanwhile.
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) refresh();
}

// ---- tree and editor ----------------------------------------------------------

void Workbench::refresh() {
    // What the tree should hold, in the environment's order.
    struct Node {
        int kind;
        void* pointer;
        QString label;
    };
    std::vector<Node> nodes;
    bool shownAlive = false;
    for (const auto& project : services_.environment.projects()) {
        nodes.push_back({kProjectItem, project.get(), projectLabel(*project)});
        for (const auto& component : project->vbComponents()) {
            nodes.push_back({kComponentItem, component.get(), componentLabel(*component)});
            shownAlive = shownAlive || component.get() == shown_;
        }
    }

    std::vector<QTreeWidgetItem*> items;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        items.push_back(tree->topLevelItem(i));
        for (int j = 0; j < tree->topLevelItem(i)->childCount(); ++j) items.push_back(tree->topLevelItem(i)->child(j));
    }
    bool sameShape = items.size() == nodes.size();
    for (std::size_t i = 0; sameShape && i < items.size(); ++i)
        sameShape = kindOf(items[i]) == nodes[i].kind && pointerOf<void>(items[i]) == nodes[i].pointer;

    if (sameShape) {
        for (std::size_t i = 0; i < items.size(); ++i) {
            if (items[i]->text(0) != nodes[i].label) items[i]->setText(0, nodes[i].label);
        }
    } else {
        void* selected = pointerOf<void>(tree->currentItem());
        std::vector<void*> collapsed;
        for (int i = 0; i < tree->topLevelItemCount(); ++i) {
            if (!tree->topLevelItem(i)->isExpanded()) collapsed.push_back(pointerOf<void>(tree->topLevelItem(i)));
        }
        const QSignalBlocker block(tree);
        tree->clear();
        QTreeWidgetItem* projectItem = nullptr;
        QTreeWidgetItem* current = nullptr;
        for (const Node& node : nodes) {
            QTreeWidgetItem* item =
                node.kind == kProjectItem ? new QTreeWidgetItem(tree) : new QTreeWidgetItem(projectItem);
            item->setText(0, node.label);
            item->setData(0, kKindRole, node.kind);
            item->setData(0, kPointerRole, QVariant::fromValue(reinterpret_cast<quintptr>(node.pointer)));
            if (node.kind == kProjectItem) {
                projectItem = item;
                item->setExpanded(std::find(collapsed.begin(), collapsed.end(), node.pointer) == collapsed.end());
            }
            if (node.pointer == selected) current = item;
        }
        if (current != nullptr) tree->setCurrentItem(current);
    }

    if (!shownAlive) {
        showComponent(nullptr);
    } else if (editor->toPlainText() != codeText(*shown_)) {
        // Changed from outside the editor (an add-in's run).
        showComponent(shown_);
    }
    updateActions();
}

void Workbench::selectComponent(const ide::Component& component) {
    refresh();
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem* projectItem = tree->topLevelItem(i);
        for (int j = 0; j < projectItem->childCount(); ++j) {
            if (pointerOf<const ide::Component>(projectItem->child(j)) == &component)
                tree->setCurrentItem(projectItem->child(j));
        }
    }
}

void Workbench::currentItemChanged(QTreeWidgetItem* item) {
    showComponent(kindOf(item) == kComponentItem ? pointerOf<ide::Component>(item) : nullptr);
    updateActions();
}

void Workbench::showComponent(ide::Component* component) {
    shown_ = component;
    settingEditor_ = true;
    editor->setPlainText(component != nullptr ? codeText(*component) : QString());
    editor->setReadOnly(component == nullptr);
    settingEditor_ = false;
}

void Workbench::applyEditorText() {
    if (settingEditor_ || shown_ == nullptr) return;
    try {
        if (!setCodeText(*shown_, editor->toPlainText())) return;
    } catch (const std::exception& e) {
        showFailure(describe(e));
    }
    refresh();
}

void Workbench::updateActions() {
    const bool any = !services_.environment.projects().empty();
    const bool current = currentProject() != nullptr;
    actSave->setEnabled(current);
    actCloseProject->setEnabled(current);
    actSaveAll->setEnabled(any);
}

}  // namespace rw::host
