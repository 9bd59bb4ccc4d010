#pragma once
// What the wizard's pages ask of the user interface beyond message boxes,
// the beep and the busy pointer: the open and save dialogs, the folder
// browser and the browser window for help and web pages. The pages take a
// WizardUi&, so that tests can answer every question from a script.
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/ui.h"

class QWidget;

namespace rw::wizard {

class WizardUi : public Ui {
public:
    // The open dialog. `filter` is written as the common dialog takes it,
    // "Description|pattern|Description|pattern" (e.g.
    // "VB Projects (*.vbp)|*.vbp"). Returns the chosen file's full path, or
    // nothing when the user cancelled.
    virtual std::optional<std::string> openFile(QWidget* owner, const std::string& filter,
                                                const std::string& initialFolder) = 0;
    // The save dialog: starts in `initialFolder` and proposes `fileName`.
    virtual std::optional<std::string> saveFile(QWidget* owner, const std::string& filter,
                                                const std::string& initialFolder, const std::string& fileName) = 0;
    // The folder browser, opened at `initialFolder`. `root` is a shell
    // special-folder number (17: the computer's drives), `flags` the
    // browser's flags (1: file-system folders only). The chosen path as the
    // browser hands it over (it may carry NUL characters after the path),
    // or nothing when cancelled.
    virtual std::optional<std::string> browseFolder(QWidget* owner, int root, int flags, const std::string& title,
                                                    const std::string& initialFolder) = 0;
    // Opens a web page or a help file (a file:// address) in a new browser
    // window.
    virtual void openUrl(const std::string& url) = 0;
};

// The pairs of a common-dialog filter, ("VB Projects (*.vbp)", "*.vbp").
std::vector<std::pair<std::string, std::string>> parseDialogFilter(const std::string& filter);

}  // namespace rw::wizard
