#pragma once
#include <string>

#include "model/gen_context.h"

namespace rw {

// Writes the error-handler module modRowwrightErrHndlr.
void msCreateEHFile(GenContext& ctx, const std::string& stagingFolder);

// Writes the connection class clsRwtConn.
void msCreateConnObjFile(GenContext& ctx, const std::string& stagingFolder, const std::string& projectTypeWord);

}  // namespace rw
