#include "wizard/form.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace rw::wizard {

QString qs(const std::string& text) { return QString::fromStdString(text); }

std::string ss(const QString& text) { return text.toStdString(); }

QString displayText(const std::string& text) {
    QString shown = qs(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return shown;
}

WizardForm::WizardForm(Wizard& wizard, const char* formName, QWidget* parent)
    : QDialog(parent), wizard_(&wizard), formName_(formName) {
    setObjectName(QString::fromLatin1(formName));
    setModal(false);
    wizard.formLoaded(this);
}

WizardForm::~WizardForm() {
    if (!unloaded_ && wizard_) wizard_->formUnloaded(this);
}

void WizardForm::unload() {
    if (unloaded_) return;
    unloaded_ = true;
    formUnload();
    if (wizard_) wizard_->formUnloaded(this);
    closing_ = true;
    if (deleteOnUnload()) {
        hide();
        deleteLater();
    } else {
        done(QDialog::Rejected);
    }
}

void WizardForm::closeEvent(QCloseEvent* event) {
    if (closing_ || unloaded_) {
        event->accept();
        return;
    }
    // The close box does what the form's Cancel does; that decides whether
    // and how the form goes.
    event->ignore();
    userClose();
}

void WizardForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    formActivate();
}

void WizardForm::reject() {
    if (!unloaded_) userClose();
}

WizardPage::WizardPage(Wizard& wizard, const char* formName, int helpPage)
    : WizardForm(wizard, formName), helpPage_(helpPage) {
    setWindowFlag(Qt::WindowMinMaxButtonsHint, true);
    setSizeGripEnabled(true);

    auto* outer = new QVBoxLayout(this);
    body_ = new QVBoxLayout;
    outer->addLayout(body_, 1);

    auto makeButton = [this](const char* name, const char* caption) {
        auto* b = new QPushButton(QString::fromUtf8(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        // Enter presses only the page's default button, never a button
        // that merely has the focus.
        b->setAutoDefault(false);
        return b;
    };
    cmdHelp = makeButton("cmdHelp", "Help");
    cmdCancel = makeButton("cmdCancel", "Cancel");
    cmdBack = makeButton("cmdBack", "< &Back");
    cmdNext = makeButton("cmdNext", "&Next >");
    cmdFinish = makeButton("cmdFinish", "&Finish");

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdHelp);
    buttons->addStretch(1);
    buttons->addWidget(cmdCancel);
    buttons->addSpacing(12);
    buttons->addWidget(cmdBack);
    buttons->addWidget(cmdNext);
    buttons->addSpacing(12);
    buttons->addWidget(cmdFinish);
    outer->addLayout(buttons);

    connect(cmdCancel, &QPushButton::clicked, this, &WizardPage::cmdCancel_Click);
    connect(cmdHelp, &QPushButton::clicked, this, &WizardPage::cmdHelp_Click);
}

void WizardPage::showInPlaceOf(const QWidget* previous) {
    if (previous != nullptr && previous->isWindow()) move(previous->pos());
    if (previous != nullptr && previous != this && previous->isWindow()) resize(previous->size());
    show();
    raise();
    activateWindow();
}

void WizardPage::showEvent(QShowEvent* event) {
    if (!focusPlaced_) {
        focusPlaced_ = true;
        // The buttons were made before the page's controls, so Tab, which
        // goes round the page, reaches them after the last control; the
        // page opens on its first control, so its controls come first.
        for (QWidget* w = cmdFinish->nextInFocusChain(); w != cmdHelp; w = w->nextInFocusChain()) {
            if ((w->focusPolicy() & Qt::TabFocus) != 0 && w->isEnabled()) {
                w->setFocus(Qt::TabFocusReason);
                break;
            }
        }
    }
    WizardForm::showEvent(event);
}

void WizardPage::cmdCancel_Click() {
    handler("cmdCancel_Click", [&] { wizard().closeWizard(true); });
}

void WizardPage::cmdHelp_Click() {
    handler("cmdHelp_Click", [&] { wizard().showHelp(helpPage_); });
}

}  // namespace rw::wizard
