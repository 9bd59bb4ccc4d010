#pragma once
// The workbench: the development environment the add-in lives in. Its
// window holds the loaded VB6 projects and their components in a tree and
// the selected component's code in an editor; its File menu opens, saves
// and closes projects, never losing unsaved work without asking; its
// "Add-Ins" menu is the command bar add-ins put their commands on, with
// the Add-In Manager that loads and unloads the registered add-ins.
#include <QMainWindow>
#include <memory>
#include <string>
#include <vector>

#include "host/add_in.h"
#include "host/vbe.h"
#include "platform/ide/environment.h"
#include "wizard/wizard_ui.h"

class QAction;
class QMenu;
class QPlainTextEdit;
class QTreeWidget;
class QTreeWidgetItem;

namespace rw::host {

struct WorkbenchServices {
    // Messages and the open dialog.
    wizard::WizardUi& ui;
    // The loaded projects.
    ide::Environment& environment;
    // The registered add-ins and the classes that can be created.
    AddInRegistry& registry;
    const AddInClasses& classes;
    // The add-in shipped with the workbench: registered at the first start
    // (when the add-in list was never written) and offered by the Add-In
    // Manager while none is registered. Null: none.
    const AddInEntry* bundledAddIn = nullptr;
};

inline constexpr const char* kWorkbenchTitle = "Rowwright Workbench";

class Workbench final : public QMainWindow {
    Q_OBJECT

public:
    explicit Workbench(WorkbenchServices services, QWidget* parent = nullptr);
    // Add-ins still connected are disconnected as at shutdown.
    ~Workbench() override;

    VBE& vbe() { return *vbe_; }

    // Start-up: registers the bundled add-in when the add-in list was never
    // written, connects the registered add-ins set to load on start-up
    // (connect mode 1), shows the window, raises the start-up-complete
    // event for them, and then, when `externalProgId` is given, connects
    // that add-in as started from outside (connect mode 2) instead of at
    // start-up.
    void startUp(const std::string& externalProgId = "");
    // The steps of startUp, each on its own.
    void connectStartupAddIns(const std::string& except = "");
    void raiseStartupComplete();

    // Connects a registered add-in. Shows why and returns false when it is
    // not registered, its class cannot be made, or it is connected already.
    bool connectAddIn(const std::string& progId, int connectMode);
    // Disconnects and releases the add-in; false when it was not connected.
    bool disconnectAddIn(const std::string& progId, int removeMode);
    bool isConnected(const std::string& progId) const;
    // The connected add-in object, or null.
    AddInInstance* addInObject(const std::string& progId) const;

    // File menu. Each shows its own failures.
    bool openProject(const std::string& vbpPath);
    void openProjectDialog();
    // The project of the selected tree item (the only project when there
    // is one and nothing is selected), or null.
    ide::Project* currentProject() const;
    bool saveProject(ide::Project& project);
    bool saveAll();
    // Asks first when the project has unsaved changes; false when the user
    // cancelled or the save failed, and the project stays loaded.
    bool closeProject(ide::Project& project);

    // Shows the Add-In Manager (modal). While no add-in is registered, it
    // first says how to register the bundled one and offers to register and
    // load it.
    void showAddInManager();

    // Brings the tree, the editor and the menu states up to date with the
    // loaded projects.
    void refresh();
    // Selects a component in the tree, so that the editor shows its code.
    void selectComponent(const ide::Component& component);
    // The component whose code the editor shows, or null.
    ide::Component* shownComponent() const { return shown_; }

    QTreeWidget* tree = nullptr;
    QPlainTextEdit* editor = nullptr;
    QMenu* fileMenu = nullptr;
    QMenu* addInsMenu = nullptr;
    QAction* actOpenProject = nullptr;
    QAction* actSave = nullptr;
    QAction* actSaveAll = nullptr;
    QAction* actCloseProject = nullptr;
    QAction* actExit = nullptr;
    QAction* actAddInManager = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct Connected {
        std::string progId;
        AddIn info;
        std::unique_ptr<AddInInstance> object;
        int connectMode;
    };

    void buildMenus();
    // Registers the bundled add-in; shows why and returns false when the
    // list cannot be written.
    bool registerBundledAddIn();
    // Asks whether to save the unsaved work of `projects`: true when the
    // work is saved or may go, false on Cancel or a failed save.
    bool askToSave(const std::vector<ide::Project*>& projects);
    void disconnectAll(int removeMode);
    void showComponent(ide::Component* component);
    void applyEditorText();
    void currentItemChanged(QTreeWidgetItem* item);
    void updateActions();
    // Runs an add-in's event; a failure that escapes it is shown.
    template <class Body>
    void raiseAddInEvent(const std::string& progId, Body&& body);
    void showFailure(const std::string& text);

    WorkbenchServices services_;
    std::unique_ptr<VBE> vbe_;
    std::vector<std::unique_ptr<Connected>> connected_;
    bool startupCompleted_ = false;
    // Closed projects stay alive until the workbench goes: an open wizard
    // page may still hold one.
    std::vector<std::unique_ptr<ide::Project>> closedProjects_;
    std::string lastFolder_;
    ide::Component* shown_ = nullptr;
    bool settingEditor_ = false;
    bool closing_ = false;
};

// The text of a component's code as the editor shows it: its code lines
// joined by line feeds.
QString codeText(const ide::Component& component);
// Makes the component's code read `text`, touching only the lines that
// differ (so member attributes of the others stay). False when nothing
// changed.
bool setCodeText(ide::Component& component, const QString& text);

}  // namespace rw::host
