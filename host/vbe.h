#pragma once
// The workbench's extensibility objects, as an add-in sees them: the root
// object (VBE) with its command bars, its event sources and the loaded
// projects. A command bar is one of the workbench's menus; a button added
// to it is an action in that menu.
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <memory>
#include <string>
#include <vector>

#include "platform/ide/environment.h"

class QAction;
class QWidget;

namespace rw::host {

// Control types of Controls.Add.
inline constexpr int kControlButton = 1;

class CommandBar;
class CommandBarEvents;

// A control on a command bar. Only buttons exist here.
class CommandBarControl final : public QObject {
    Q_OBJECT

public:
    int type() const { return kControlButton; }
    const std::string& caption() const { return caption_; }
    void setCaption(const std::string& caption);
    // Removes the control from its bar; the object goes once control is
    // back in the event loop (a click handler may delete its own button),
    // and QPointers to it become null then. Any use after Delete raises
    // error 5.
    void Delete();
    bool isDeleted() const { return action_ == nullptr; }
    // The menu action that stands for the control; null once deleted.
    QAction* action() const { return action_; }

    // What choosing the control does: raises Click on each of its event
    // sources.
    void execute();

private:
    friend class CommandBarControls;
    friend class CommandBar;
    friend class Events;
    CommandBarControl(CommandBar& bar, QAction* action);
    void checkAlive() const;

    QPointer<CommandBar> bar_;
    QAction* action_;
    std::string caption_;
    std::vector<QPointer<CommandBarEvents>> sources_;
};

class CommandBarControls {
public:
    // Adds a control of type 1 (a button) at the end of the bar. Other
    // types raise error 5.
    CommandBarControl& Add(int type = kControlButton);
    int count() const { return static_cast<int>(controls_.size()); }
    // 1-based, as the collection counts.
    CommandBarControl& item(int index) const;

private:
    friend class CommandBar;
    friend class CommandBarControl;
    explicit CommandBarControls(CommandBar& bar) : bar_(bar) {}
    void remove(CommandBarControl& control);

    CommandBar& bar_;
    std::vector<CommandBarControl*> controls_;  // owned by the bar (QObject children)
};

// A named command bar over a menu. Controls added to it go after the
// menu's own items, below a separator that shows only while there are any.
class CommandBar final : public QObject {
    Q_OBJECT

public:
    CommandBar(std::string name, QMenu& menu);
    ~CommandBar() override;

    const std::string& name() const { return name_; }
    CommandBarControls& Controls() { return controls_; }
    QMenu& menu() const { return *menu_; }

private:
    friend class CommandBarControls;
    friend class CommandBarControl;
    void updateSeparator();

    std::string name_;
    QPointer<QMenu> menu_;
    QAction* separator_;
    CommandBarControls controls_;
};

class CommandBars {
public:
    // The bar of that name, or null when there is none.
    CommandBar* item(const std::string& name) const;
    CommandBar& add(const std::string& name, QMenu& menu);
    // Removes the bar (its menu stays as it is, without the bar's controls).
    void remove(const std::string& name);
    int count() const { return static_cast<int>(bars_.size()); }

private:
    std::vector<std::unique_ptr<CommandBar>> bars_;
};

// The event source of one control: when the control is chosen, Click
// passes it with the handled flag and the cancel-default flag, both False
// to begin with. Every source of that control is raised in the order the
// sources were asked for, each seeing the flags the earlier ones left.
class CommandBarEvents final : public QObject {
    Q_OBJECT

public:
    CommandBarControl* control() const { return control_; }

signals:
    void Click(rw::host::CommandBarControl* CommandBarControl, bool& handled, bool& CancelDefault);

private:
    friend class Events;
    explicit CommandBarEvents(CommandBarControl& control);
    QPointer<CommandBarControl> control_;
};

class Events {
public:
    // A new event source for the control, owned by the control: it goes
    // when the control is deleted. A null control raises error 91.
    host::CommandBarEvents& CommandBarEvents(CommandBarControl* control);
};

// The root object an add-in receives on connection.
class VBE final : public QObject {
    Q_OBJECT

public:
    VBE(ide::Environment& environment, QWidget* mainWindow);

    host::CommandBars& commandBars() { return commandBars_; }
    // CommandBars("name"): the bar, or null.
    CommandBar* CommandBars(const std::string& name) const { return commandBars_.item(name); }
    host::Events& events() { return events_; }
    // The loaded projects.
    ide::Environment& environment() { return environment_; }
    QWidget* mainWindow() const { return mainWindow_; }

    // Says that projects or components changed from outside the workbench's
    // own windows (an add-in's run), so that its views catch up.
    void notifyProjectsChanged() { emit projectsChanged(); }

signals:
    void projectsChanged();

private:
    ide::Environment& environment_;
    QPointer<QWidget> mainWindow_;
    host::CommandBars commandBars_;
    host::Events events_;
};

}  // namespace rw::host
