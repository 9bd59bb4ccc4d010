#include "wizard/frm_add_in_main.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "model/product.h"
#include "wizard/frm_project.h"

namespace rw::wizard {

namespace {

QCheckBox* makeCheck(QWidget* parent, const char* name, const char* caption) {
    auto* box = new QCheckBox(QString::fromUtf8(caption), parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setChecked(true);
    return box;
}

// A label that opens a page when clicked; it reads like a link.
QLabel* makeLinkLabel(QWidget* parent, const char* name, const QString& caption) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::RichText);
    label->setText(QStringLiteral("<a href=\"#\">%1</a>").arg(caption.toHtmlEscaped()));
    label->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    label->setCursor(Qt::PointingHandCursor);
    return label;
}

}  // namespace

std::string FrmAddInMain::welcomeText() {
    return std::string("Welcome to ") + product::kDisplayName +
           ".  Please make your choices from the options at the right, and then click 'Next' to continue.";
}

std::string FrmAddInMain::notesText() {
    return "Note: \"Developer Notes\" can be included in module and function headers.  These notes often offer "
           "details about the generated code and explain how to implement it.";
}

FrmAddInMain::FrmAddInMain(Wizard& wizard) : WizardPage(wizard, "frmAddInMain", 1) {
    setWindowTitle(QString::fromLatin1(product::kDisplayName));

    Label6 = new QLabel(this);
    Label6->setObjectName(QStringLiteral("Label6"));
    Label6->setWordWrap(true);
    Label6->setText(qs(welcomeText()));
    QFont greeting = Label6->font();
    greeting.setPointSizeF(greeting.pointSizeF() * 1.15);
    Label6->setFont(greeting);

    Label1 = new QLabel(qs(notesText()), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);

    Label3 = makeLinkLabel(this, "Label3",
                           QStringLiteral("Visit the %1 web site").arg(QString::fromLatin1(product::kDisplayName)));
    Label4 = makeLinkLabel(this, "Label4", QStringLiteral("Suggestions/Bug Reports"));

    fraOptions = new QGroupBox(QStringLiteral("Options"), this);
    fraOptions->setObjectName(QStringLiteral("fraOptions"));
    chkModuleHead = makeCheck(fraOptions, "chkModuleHead", "Include Module Headers");
    chkFunctionHead = makeCheck(fraOptions, "chkFunctionHead", "Include Function Headers");
    chkDevNotes = makeCheck(fraOptions, "chkDevNotes", "Include Developer Notes");
    chkEH = makeCheck(fraOptions, "chkEH", "Include Error Handling");
    chkCode = makeCheck(fraOptions, "chkCode", "Include SQL and processing code in generated methods");
    // The options of the last run, if any, replace the boxes' first state.
    if (const std::optional<WelcomeOptions> last = wizard.remembered().options)
        for (auto [box, on] : std::initializer_list<std::pair<QCheckBox*, bool>>{
                 {chkModuleHead, last->chkModuleHead}, {chkFunctionHead, last->chkFunctionHead},
                 {chkDevNotes, last->chkDevNotes}, {chkEH, last->chkEH}, {chkCode, last->chkCode}})
            box->setChecked(on);
    auto* options = new QVBoxLayout(fraOptions);
    for (QCheckBox* box : {chkModuleHead, chkFunctionHead, chkDevNotes, chkEH, chkCode}) options->addWidget(box);
    options->addStretch(1);

    // The greeting and the links on the left, the options at the right.
    auto* left = new QVBoxLayout;
    left->addWidget(Label6);
    left->addSpacing(12);
    left->addWidget(Label1);
    left->addStretch(1);
    left->addWidget(Label3);
    left->addWidget(Label4);
    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 1);
    columns->addWidget(fraOptions, 1);
    body()->addLayout(columns);
    // Tab visits the options before the links.
    setTabOrder(chkCode, Label3);
    setTabOrder(Label3, Label4);

    cmdNext->setDefault(true);
    connect(cmdNext, &QPushButton::clicked, this, &FrmAddInMain::cmdNext_Click);
    // Back and Finish have no action on this page.
    // stateChanged fires for the user's clicks and for the page's own
    // changes alike, which the guards below are there for.
    connect(chkDevNotes, &QCheckBox::stateChanged, this, &FrmAddInMain::chkDevNotes_Click);
    connect(chkModuleHead, &QCheckBox::stateChanged, this, [this] { chkHead_Click("chkModuleHead_Click"); });
    connect(chkFunctionHead, &QCheckBox::stateChanged, this, [this] { chkHead_Click("chkFunctionHead_Click"); });
    connect(Label3, &QLabel::linkActivated, this, &FrmAddInMain::Label3_Click);
    connect(Label4, &QLabel::linkActivated, this, &FrmAddInMain::Label4_Click);

    resize(620, 360);
}

WelcomeOptions FrmAddInMain::options() const {
    return {chkModuleHead->isChecked(), chkFunctionHead->isChecked(), chkDevNotes->isChecked(), chkEH->isChecked(),
            chkCode->isChecked()};
}

void FrmAddInMain::formActivate() {
    handler("Form_Activate", [&] { Label6->setText(qs(welcomeText())); });
}

void FrmAddInMain::cmdNext_Click() {
    handler("cmdNext_Click", [&] {
        wizard().remember([&](RememberedChoices& r) { r.options = options(); });
        hide();
        if (!wizard().frmProject().display(*this)) showInPlaceOf(this);
    });
}

void FrmAddInMain::chkDevNotes_Click() {
    handler("chkDevNotes_Click", [&] {
        if (mbClearingNotes) return;
        // Notes live inside headers: asking for notes with no header at
        // all brings both kinds of header back.
        if (!chkModuleHead->isChecked() && !chkFunctionHead->isChecked()) {
            mbSettingHeaders = true;
            chkModuleHead->setChecked(true);
            chkFunctionHead->setChecked(true);
            mbSettingHeaders = false;
        }
    });
}

void FrmAddInMain::chkHead_Click(const char* operation) {
    handler(operation, [&] {
        if (mbSettingHeaders) return;
        if (!chkModuleHead->isChecked() && !chkFunctionHead->isChecked()) {
            mbClearingNotes = true;
            chkDevNotes->setChecked(false);
            mbClearingNotes = false;
        }
    });
}

void FrmAddInMain::Label3_Click() {
    handler("Label3_Click", [&] { wizard().showHelp(1); });
}

void FrmAddInMain::Label4_Click() {
    handler("Label4_Click", [&] { ui().openUrl(readmeUrl(wizard().services().helpFolder)); });
}

}  // namespace rw::wizard
