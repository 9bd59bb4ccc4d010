#pragma once
// The base of every window of the wizard: the pages, the two modal dialogs
// and the report window. A form registers with the wizard when it loads and
// leaves it when it unloads; each of its event handlers runs under its own
// error handler; its close box and the Escape key do what the form's own
// Cancel does.
#include <QDialog>
#include <QPointer>
#include <exception>
#include <string>
#include <string_view>

#include "model/gen_context.h"
#include "platform/runtime_error.h"
#include "wizard/wizard.h"

class QPushButton;
class QVBoxLayout;

namespace rw::wizard {

// The number an unexpected failure (not a run-time error) is shown with:
// the run-time's "Internal error".
inline constexpr long kErrInternal = 51;

// Runs `body` as the event handler `where` ("frmProject.cmdNext_Click"): a
// run-time error is shown by ShowError with its source followed by
// " (" + where + ")", and ends only this handler. Any other exception is
// shown the same way as an internal error, so that nothing escapes into
// the event loop. Returns false when an error was shown.
template <class Body>
bool runHandler(Ui& ui, std::string_view where, Body&& body) {
    try {
        return guarded(ui, where, std::forward<Body>(body));
    } catch (const std::exception& e) {
        ShowError(ui, kErrInternal, std::string(kAddInSource) + " (" + std::string(where) + ")", e.what());
        return false;
    }
}

class WizardForm : public QDialog {
    Q_OBJECT

public:
    // `formName` is the form's name ("frmProject"): its object name and the
    // first part of its handlers' error sources.
    WizardForm(Wizard& wizard, const char* formName, QWidget* parent = nullptr);
    ~WizardForm() override;

    Wizard& wizard() { return *wizard_; }
    WizardUi& ui() { return wizard_->ui(); }
    const std::string& formName() const { return formName_; }

    // Unloads the form: its unload handler runs, it leaves the wizard's
    // list of loaded forms, and its window goes (a page is deleted, a modal
    // dialog returns from its Display). A second call does nothing.
    void unload();
    bool isUnloaded() const { return unloaded_; }

protected:
    template <class Body>
    bool handler(const char* operation, Body&& body) {
        return runHandler(ui(), formName_ + "." + operation, std::forward<Body>(body));
    }

    // Form_Unload.
    virtual void formUnload() {}
    // Form_Activate: each time the form is shown.
    virtual void formActivate() {}
    // What the close box and Escape do.
    virtual void userClose() = 0;
    // Modal dialogs live in their caller's scope and are not deleted on unload.
    virtual bool deleteOnUnload() const { return true; }

    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void reject() override;

private:
    QPointer<Wizard> wizard_;
    std::string formName_;
    bool unloaded_ = false;
    bool closing_ = false;
};

// A page of the wizard's chain: its controls above a row of Help, Cancel,
// < Back, Next > and Finish.
class WizardPage : public WizardForm {
    Q_OBJECT

public:
    WizardPage(Wizard& wizard, const char* formName, int helpPage);

    // Shows the page where `previous` stood and at its size, so the wizard
    // seems to stay in one place, at one size, while its pages change.
    void showInPlaceOf(const QWidget* previous);

protected:
    // The layout the page puts its controls into.
    QVBoxLayout* body() { return body_; }

    void userClose() override { cmdCancel_Click(); }
    // The first time the page shows, the focus goes to its first control:
    // Tab then visits its controls first, then Help, Cancel, Back, Next and
    // Finish.
    void showEvent(QShowEvent* event) override;
    void cmdCancel_Click();
    void cmdHelp_Click();

public:
    QPushButton* cmdHelp = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdBack = nullptr;
    QPushButton* cmdNext = nullptr;
    QPushButton* cmdFinish = nullptr;

private:
    QVBoxLayout* body_ = nullptr;
    int helpPage_;
    bool focusPlaced_ = false;
};

// "\r\n" as a text control shows it: a line break.
QString displayText(const std::string& text);
QString qs(const std::string& text);
std::string ss(const QString& text);

}  // namespace rw::wizard
