#include "gen/collection/coll_file.h"

namespace rw {

void msGenCollFile(GenContext& ctx, int fileNumber, const std::string& tableName, const std::string& classBase,
                   const std::string& projectTypeWord) {
    (void)ctx, (void)fileNumber, (void)tableName, (void)classBase, (void)projectTypeWord;
}

}  // namespace rw
