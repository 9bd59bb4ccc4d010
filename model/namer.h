#pragma once
// Every name derived from a table's class base name, in one place: the two
// classes, their files, and the variables the generated code declares.
#include <string>
#include <string_view>

#include "model/names.h"

namespace rw {

class ClassNames {
public:
    // The names of a table's classes ("Order Details" gives clsOrderDetails).
    static ClassNames ofTable(std::string_view table) { return ClassNames(classBaseName(table)); }
    // The names around a class base name already derived.
    explicit ClassNames(std::string_view base) { assign(base); }
    ClassNames() = default;
    // Makes the names around another base in the same strings, so one
    // record serves table after table without allocating again.
    void assign(std::string_view base) {
        base_.assign(base);
        made(objectClass_, "cls", base_);
        made(collectionClass_, objectClass_, "Coll");
        made(object_, "lo", base_);
        made(collection_, object_, "Coll");
        made(parameter_, "ro", base_);
    }

    const std::string& base() const { return base_; }
    // clsOrders and clsOrdersColl.
    const std::string& objectClass() const { return objectClass_; }
    const std::string& collectionClass() const { return collectionClass_; }
    // clsOrders.cls and clsOrdersColl.cls.
    std::string objectClassFile() const { return objectClass_ + ".cls"; }
    std::string collectionClassFile() const { return collectionClass_ + ".cls"; }
    // loOrders and loOrdersColl: the variables of the usage samples and Refresh.
    const std::string& objectVariable() const { return object_; }
    const std::string& collectionVariable() const { return collection_; }
    // roOrders: Add's parameter.
    const std::string& objectParameter() const { return parameter_; }
    // lrsOrderss and lcollOrderss: Refresh's recordset and collection.
    std::string recordsetVariable() const { return "lrs" + base_ + "s"; }
    std::string localCollectionVariable() const { return "lcoll" + base_ + "s"; }

private:
    static void made(std::string& out, std::string_view head, std::string_view tail) {
        out.assign(head);
        out.append(tail);
    }

    std::string base_;
    std::string objectClass_;
    std::string collectionClass_;
    std::string object_;
    std::string collection_;
    std::string parameter_;
};

// The member variables behind a column's property: the prefix and property,
// then the read buffer's suffix.
inline constexpr std::string_view kMemberPrefix = "mvar";
inline constexpr std::string_view kReadBufferSuffix = "_ReadBuf";
inline std::string memberVariable(std::string_view property) {
    return std::string(kMemberPrefix).append(property);
}
inline std::string readBufferVariable(std::string_view property) {
    return memberVariable(property).append(kReadBufferSuffix);
}

}  // namespace rw
