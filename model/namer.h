#pragma once
// Every name derived from a table's class base name, in one place: the two
// classes, their files, and the variables the generated code declares.
#include <string>
#include <string_view>
#include <utility>

#include "model/names.h"

namespace rw {

class ClassNames {
public:
    // The names of a table's classes ("Order Details" gives clsOrderDetails).
    static ClassNames ofTable(std::string_view table) { return ClassNames(classBaseName(table)); }
    // The names around a class base name already derived.
    explicit ClassNames(std::string base)
        : base_(std::move(base)), objectClass_("cls" + base_), collectionClass_(objectClass_ + "Coll"),
          object_("lo" + base_), collection_(object_ + "Coll"), parameter_("ro" + base_) {}

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
    std::string base_;
    std::string objectClass_;
    std::string collectionClass_;
    std::string object_;
    std::string collection_;
    std::string parameter_;
};

// The member variables behind a column's property.
inline std::string memberVariable(std::string_view property) { return "mvar" + std::string(property); }
inline std::string readBufferVariable(std::string_view property) { return "mvar" + std::string(property) + "_ReadBuf"; }

}  // namespace rw
