#pragma once
// The welcome page: a greeting, the five generation options and the links
// to the web site.
#include "model/settings.h"
#include "wizard/form.h"

class QCheckBox;
class QGroupBox;
class QLabel;

namespace rw::wizard {

class FrmAddInMain final : public WizardPage {
    Q_OBJECT

public:
    explicit FrmAddInMain(Wizard& wizard);

    // The five check boxes, as the fields page reads them.
    WelcomeOptions options() const;

    QGroupBox* fraOptions = nullptr;
    QCheckBox* chkModuleHead = nullptr;
    QCheckBox* chkFunctionHead = nullptr;
    QCheckBox* chkDevNotes = nullptr;
    QCheckBox* chkEH = nullptr;
    QCheckBox* chkCode = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;

    static std::string welcomeText();
    static std::string notesText();

protected:
    void formActivate() override;

private:
    void cmdNext_Click();
    void chkDevNotes_Click();
    void chkHead_Click(const char* operation);
    void Label3_Click();
    void Label4_Click();

    // Keep the boxes' own click handlers from re-entering while the page
    // changes a box itself: one guard per direction of the interlock.
    bool mbSettingHeaders = false;  // the notes box is checking the header boxes
    bool mbClearingNotes = false;   // a header box is clearing the notes box
};

}  // namespace rw::wizard
