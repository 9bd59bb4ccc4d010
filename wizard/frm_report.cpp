#include "wizard/frm_report.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "model/product.h"
#include "run/report.h"

namespace rw::wizard {

FrmReport::FrmReport(Wizard& wizard) : WizardForm(wizard, "frmReport") {
    setWindowFlag(Qt::WindowMinMaxButtonsHint, true);
    setSizeGripEnabled(true);

    txtReport = new QPlainTextEdit(this);
    txtReport->setObjectName(QStringLiteral("txtReport"));
    txtReport->setReadOnly(true);
    txtReport->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    txtReport->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtWarnings = new QPlainTextEdit(this);
    txtWarnings->setObjectName(QStringLiteral("txtWarnings"));
    txtWarnings->setReadOnly(true);
    txtWarnings->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtWarnings->setMaximumHeight(txtWarnings->fontMetrics().lineSpacing() * 6);
    txtWarnings->hide();

    auto makeButton = [this](const char* name, const char* caption) {
        auto* b = new QPushButton(QString::fromUtf8(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    cmdHelp = makeButton("cmdHelp", "Help");
    cmdSave = makeButton("cmdSave", "&Save...");
    cmdSaveAnswers = makeButton("cmdSaveAnswers", "Save &Answers...");
    cmdSaveAnswers->setToolTip(
        QStringLiteral("Save this run's choices and field rows, to repeat it with \"rowwright generate\""));
    cmdClose = makeButton("cmdClose", "&Close");
    cmdClose->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdHelp);
    buttons->addStretch(1);
    buttons->addWidget(cmdSave);
    buttons->addWidget(cmdSaveAnswers);
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(txtReport, 1);
    layout->addWidget(txtWarnings);
    layout->addLayout(buttons);

    connect(cmdSave, &QPushButton::clicked, this, &FrmReport::cmdSave_Click);
    connect(cmdSaveAnswers, &QPushButton::clicked, this, &FrmReport::cmdSaveAnswers_Click);
    connect(cmdClose, &QPushButton::clicked, this, &FrmReport::cmdClose_Click);
    connect(cmdHelp, &QPushButton::clicked, this, &FrmReport::cmdHelp_Click);
    resize(640, 560);
}

std::string FrmReport::answersFileName(const std::string& reportFile) {
    const std::string txt = ".txt";
    if (reportFile.size() >= txt.size() && reportFile.compare(reportFile.size() - txt.size(), txt.size(), txt) == 0)
        return reportFile.substr(0, reportFile.size() - txt.size()) + ".json";
    return reportFile + ".json";
}

void FrmReport::setWarnings(const std::vector<std::string>& lines) {
    QStringList text;
    for (const std::string& line : lines) text << qs(line);
    txtWarnings->setPlainText(text.join(QLatin1Char('\n')));
    txtWarnings->setVisible(!lines.empty());
}

void FrmReport::display(const std::string& vsMsg, const std::string& vsWriteDir, const std::string& vsReportFile) {
    handler("Display", [&] {
        setWindowTitle(QString::fromLatin1(product::kDisplayName) + QStringLiteral(" - File Generation Report"));
        report_ = vsMsg;
        txtReport->setPlainText(displayText(vsMsg));
        writeDir_ = vsWriteDir;
        reportFile_ = vsReportFile;
        cmdSaveAnswers->setEnabled(!answers_.empty());
        ui().beep();
        show();
        raise();
        activateWindow();
    });
}

void FrmReport::cmdSave_Click() {
    handler("cmdSave_Click", [&] {
        const std::optional<std::string> path =
            ui().saveFile(this, "Text (*.txt)|*.txt|All Files (*.*)|*.*", writeDir_, reportFile_);
        if (!path) return;  // a cancelled dialog is silent
        saveReport(wizard().services().fs, *path, report_);
    });
}

void FrmReport::cmdSaveAnswers_Click() {
    handler("cmdSaveAnswers_Click", [&] {
        const std::optional<std::string> path = ui().saveFile(this, "Answers Files (*.json)|*.json|All Files (*.*)|*.*",
                                                               writeDir_, answersFileName(reportFile_));
        if (!path) return;
        std::unique_ptr<ByteSink> file = wizard().services().fs.create(*path);
        file->write(answers_);
        file->close();
    });
}

void FrmReport::cmdClose_Click() {
    handler("cmdClose_Click", [&] { unload(); });
}

void FrmReport::cmdHelp_Click() {
    handler("cmdHelp_Click", [&] { wizard().showHelp(6); });
}

void FrmReport::formUnload() {
    // Closing the report ends the wizard, without a question.
    handler("Form_Unload", [&] { wizard().closeWizard(false); });
}

}  // namespace rw::wizard
