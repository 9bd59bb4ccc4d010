#pragma once
// The wizard started on its own (`rowwright-gui --wizard`): the real data
// layer, file system and clock, the projects given with --open loaded into
// the environment, and the help pages found where the program is installed.
#include <string>
#include <vector>

namespace rw::wizard {

struct StandaloneOptions {
    std::vector<std::string> openProjects;  // --open FILE.vbp, in order
    std::string now;                        // --now YYYY-MM-DDTHH:MM:SS (empty: the clock)
};

// The folder of the help pages: $RW_HELP_DIR, else share/rowwright/help
// beside the program's installation, else the source tree's help/.
std::string findHelpFolder();

// Runs the wizard until its last window closes; the exit status. Needs a
// QApplication. Loaded projects changed by the run are saved at the end.
int runStandaloneWizard(const StandaloneOptions& options);

}  // namespace rw::wizard
