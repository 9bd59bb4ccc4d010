#pragma once
// Where the wizard's help pages are found when the program runs.
#include <string>

namespace rw::host {

// The folder of the help pages: $RW_HELP_DIR, else share/rowwright/help
// beside the program's installation, else the source tree's help/.
std::string findHelpFolder();

}  // namespace rw::host
