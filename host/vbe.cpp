#include "host/vbe.h"

#include <QAction>
#include <QMenu>
#include <algorithm>

#include "platform/ide/vb_text.h"

namespace rw::host {

// ---- controls -------------------------------------------------------------

CommandBarControl::CommandBarControl(CommandBar& bar, QAction* action) : QObject(&bar), bar_(&bar), action_(action) {
    connect(action_, &QAction::triggered, this, &CommandBarControl::execute);
}

void CommandBarControl::checkAlive() const {
    if (action_ == nullptr) throw ide::ideError(5, "Invalid procedure call or argument");
}

void CommandBarControl::setCaption(const std::string& caption) {
    checkAlive();
    caption_ = caption;
    action_->setText(QString::fromStdString(caption));
}

void CommandBarControl::Delete() {
    checkAlive();
    if (bar_) bar_->controls_.remove(*this);
    QAction* action = action_;
    action_ = nullptr;
    if (bar_ && bar_->menu_) bar_->menu_->removeAction(action);
    delete action;
    if (bar_) bar_->updateSeparator();
    deleteLater();
}

void CommandBarControl::execute() {
    if (action_ == nullptr) return;
    const QPointer<CommandBarControl> self(this);
    bool handled = false;
    bool cancelDefault = false;
    // A handler may ask for more sources or delete the button: walk a copy.
    const std::vector<QPointer<CommandBarEvents>> sources = sources_;
    for (const QPointer<CommandBarEvents>& source : sources) {
        if (!self) return;
        if (source) emit source->Click(this, handled, cancelDefault);
    }
    // Buttons added by add-ins have no action of their own, so there is no
    // default for CancelDefault to cancel.
}

CommandBarControl& CommandBarControls::Add(int type) {
    if (type != kControlButton) throw ide::ideError(5, "Invalid procedure call or argument");
    auto* action = new QAction(&bar_.menu());
    bar_.menu().addAction(action);
    auto* control = new CommandBarControl(bar_, action);
    controls_.push_back(control);
    bar_.updateSeparator();
    return *control;
}

CommandBarControl& CommandBarControls::item(int index) const {
    if (index < 1 || index > count()) throw ide::ideError(5, "Invalid procedure call or argument");
    return *controls_[static_cast<std::size_t>(index - 1)];
}

void CommandBarControls::remove(CommandBarControl& control) {
    controls_.erase(std::remove(controls_.begin(), controls_.end(), &control), controls_.end());
}

// ---- bars -----------------------------------------------------------------

CommandBar::CommandBar(std::string name, QMenu& menu)
    : name_(std::move(name)), menu_(&menu), separator_(menu.addSeparator()), controls_(*this) {
    separator_->setVisible(false);
}

CommandBar::~CommandBar() {
    // The menu outlives the bar when the bar alone is removed: take the
    // bar's actions out of it.
    for (CommandBarControl* control : controls_.controls_) {
        if (menu_) menu_->removeAction(control->action_);
        delete control->action_;
        control->action_ = nullptr;
    }
    controls_.controls_.clear();
    if (menu_) {
        menu_->removeAction(separator_);
        delete separator_;
    }
}

void CommandBar::updateSeparator() {
    // The separator divides the menu's own items from the added buttons.
    const bool ownItems = menu_ && menu_->actions().size() > controls_.count() + 1;
    separator_->setVisible(ownItems && controls_.count() > 0);
}

CommandBar* CommandBars::item(const std::string& name) const {
    for (const auto& bar : bars_) {
        if (bar->name() == name) return bar.get();
    }
    return nullptr;
}

CommandBar& CommandBars::add(const std::string& name, QMenu& menu) {
    bars_.push_back(std::make_unique<CommandBar>(name, menu));
    return *bars_.back();
}

void CommandBars::remove(const std::string& name) {
    bars_.erase(std::remove_if(bars_.begin(), bars_.end(), [&](const auto& bar) { return bar->name() == name; }),
                bars_.end());
}

// ---- events ---------------------------------------------------------------

CommandBarEvents::CommandBarEvents(CommandBarControl& control) : QObject(&control), control_(&control) {}

CommandBarEvents& Events::CommandBarEvents(CommandBarControl* control) {
    if (control == nullptr) throw ide::ideError(91, "Object variable or With block variable not set");
    control->checkAlive();
    auto* source = new host::CommandBarEvents(*control);
    control->sources_.emplace_back(source);
    return *source;
}

// ---- root -----------------------------------------------------------------

VBE::VBE(ide::Environment& environment, QWidget* mainWindow) : environment_(environment), mainWindow_(mainWindow) {}

}  // namespace rw::host
