#include "support/scripted_ui.h"

namespace rw {

template class ScriptedUiOver<Ui>;

}  // namespace rw
