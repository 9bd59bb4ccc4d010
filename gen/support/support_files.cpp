#include "gen/support/support_files.h"

namespace rw {

void msCreateEHFile(GenContext& ctx, const std::string& stagingFolder) { (void)ctx, (void)stagingFolder; }

void msCreateConnObjFile(GenContext& ctx, const std::string& stagingFolder, const std::string& projectTypeWord) {
    (void)ctx, (void)stagingFolder, (void)projectTypeWord;
}

}  // namespace rw
