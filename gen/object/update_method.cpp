#include "gen/object/object_class.h"

namespace rw {

void msGenObjectUpdateMethod(GenContext& ctx, int fileNumber, const std::string& classBase,
                             const std::string& tableName) {
    (void)ctx, (void)fileNumber, (void)classBase, (void)tableName;
}

}  // namespace rw
