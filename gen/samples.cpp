#include "gen/samples.h"

namespace rw {
namespace {

void writeObjectAndCollection(Printer& p, const ClassNames& names, bool withObject, Template line) {
    if (withObject) p.emit({{"var", names.objectVariable()}, {"class", names.objectClass()}}, line);
    p.emit({{"var", names.collectionVariable()}, {"class", names.collectionClass()}}, line);
}

}  // namespace

void writeAspCreation(Printer& p, const ClassNames& names, bool withObject) {
    writeObjectAndCollection(p, names, withObject,
                             "'          Set $var$ = Server.CreateObject(\"<Your Library Name>.$class$\")\n");
}

void writeVbSampleHead(Printer& p, const ClassNames& names, bool withObject) {
    p.emit(R"vb(
'      To call this method from VB:
'      
)vb");
    writeObjectAndCollection(p, names, withObject, "'          Dim $var$ As New [Your Library Name.]$class$\n");
}

}  // namespace rw
