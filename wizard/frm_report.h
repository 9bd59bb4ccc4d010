#pragma once
// The report window: what the run did, which the user can save as a text
// file; and the run's answers file, so that the run can be repeated with
// `rowwright generate`. Closing it closes the whole wizard.
#include <string>
#include <vector>

#include "wizard/form.h"

class QPlainTextEdit;

namespace rw::wizard {

class FrmReport final : public WizardForm {
    Q_OBJECT

public:
    explicit FrmReport(Wizard& wizard);

    // Shows the report text; `vsWriteDir` and `vsReportFile` are where the
    // save dialog starts and the file name it proposes.
    void display(const std::string& vsMsg, const std::string& vsWriteDir, const std::string& vsReportFile);
    // The run's answers file (JSON), saved by "Save Answers...".
    void setAnswers(std::string answersJson) { answers_ = std::move(answersJson); }
    // The run's warnings about generated names, one line each, listed under
    // the report (not part of the saved report).
    void setWarnings(const std::vector<std::string>& lines);

    const std::string& reportText() const { return report_; }

    QPlainTextEdit* txtReport = nullptr;
    QPlainTextEdit* txtWarnings = nullptr;  // hidden when there is none
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdSaveAnswers = nullptr;
    QPushButton* cmdHelp = nullptr;
    QPushButton* cmdClose = nullptr;

    // The answers file name proposed beside a report file name.
    static std::string answersFileName(const std::string& reportFile);

protected:
    void userClose() override { cmdClose_Click(); }
    void formUnload() override;

private:
    void cmdSave_Click();
    void cmdSaveAnswers_Click();
    void cmdClose_Click();
    void cmdHelp_Click();

    std::string report_;
    std::string answers_;
    std::string writeDir_;
    std::string reportFile_;
};

}  // namespace rw::wizard
