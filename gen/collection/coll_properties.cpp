#include <string>
#include <vector>

#include "gen/collection/coll_common.h"
#include "gen/collection/coll_procs.h"
#include "gen/object/headers.h"

namespace rw {
namespace {

// One property procedure of the collection class. They all share one shape
// and differ only in these texts.
struct PropertyProc {
    std::string headerName;              // after "' Procedure Name: "
    std::vector<std::string> purpose;    // the purpose lines, complete
    std::string signature;
    std::vector<std::string> attributes;  // directly under the signature
    std::string handlerLabel;             // empty: no error handler at all
    std::string errorMember;              // the name in the RaiseError source
    std::string body;                     // the one statement, without indent
};

void writeProperty(GenContext& ctx, TextFile& f, const std::string& classBase, const PropertyProc& p) {
    const GenerationSettings& s = ctx.settings;
    if (s.mbFunctionHeaders) {
        writeProcedureHeaderTop(f, p.headerName);
        for (const std::string& line : p.purpose) f.line(line);
        writeProcedureHeaderCreated(ctx, f);
        f.line(kRuleLine);
    }
    f.line(p.signature);
    for (const std::string& line : p.attributes) f.line(line);
    const bool handler = s.mbErrorHandler && !p.handlerLabel.empty();
    if (handler) f.line("On Error GoTo " + p.handlerLabel);
    f.line("");
    f.line("    " + p.body);
    if (handler) coll::writeRaiseErrorTail(f, "Property", p.handlerLabel, classBase, p.errorMember);
    f.line("");
    f.line("End Property");
    f.line("");
}

std::string objectPurposeTail(const std::string& classBase) { return "'          cls" + classBase + "Coll object."; }

// The Get and Let pair of a String property kept in a private member, such
// as RefreshFilter in msRefreshFilter; one empty line goes before the pair.
void writeStringPropertyPair(GenContext& ctx, TextFile& f, const std::string& classBase, const std::string& name) {
    f.line("");
    writeProperty(ctx, f, classBase,
                  {"Property Get " + name + " ()",
                   {"' Purpose: Returns the " + name + " property of the ", objectPurposeTail(classBase)},
                   "Public Property Get " + name + "() As String",
                   {},
                   name + "Err",
                   name,
                   name + " = ms" + name});
    writeProperty(ctx, f, classBase,
                  {"Property Let " + name + " ()",
                   {"' Purpose: Sets the " + name + " property of the ", objectPurposeTail(classBase)},
                   "Public Property Let " + name + "(ByVal vs" + name + " As String)",
                   {},
                   name + "Err",
                   name,
                   "ms" + name + " = vs" + name});
}

}  // namespace

void msGenCollRefreshFilterProp(GenContext& ctx, int fileNumber, const std::string& classBase) {
    guarded(ctx.ui, "frmFields.msGenCollRefreshFilterProp",
            [&] { writeStringPropertyPair(ctx, ctx.file(fileNumber), classBase, "RefreshFilter"); });
}

void msGenCollSortOrderProp(GenContext& ctx, int fileNumber, const std::string& classBase) {
    guarded(ctx.ui, "frmFields.msGenCollSortOrderProp",
            [&] { writeStringPropertyPair(ctx, ctx.file(fileNumber), classBase, "SortOrder"); });
}

void msGenCollCountProp(GenContext& ctx, int fileNumber, const std::string& classBase) {
    guarded(ctx.ui, "frmFields.msGenCollCountProp", [&] {
        writeProperty(ctx, ctx.file(fileNumber), classBase,
                      {"Property Get Count ()",
                       {"' Purpose: Returns the the number of cls" + classBase + " objects",
                        "'          currently in the cls" + classBase + "Coll collection."},
                       "Public Property Get Count() As Long",
                       {},
                       "CountErr",
                       "Count",
                       "Count = mCollection.Count"});
    });
}

void msGenCollItemProp(GenContext& ctx, int fileNumber, const std::string& classBase) {
    guarded(ctx.ui, "frmFields.msGenCollItemProp", [&] {
        writeProperty(ctx, ctx.file(fileNumber), classBase,
                      {"Property Get Item ()",
                       {"' Purpose: Returns the a cls" + classBase + " object",
                        "'          from the cls" + classBase + "Coll collection",
                        "'          based on the index passed."},
                       "Public Property Get Item(ByVal vlIndex as Long) As cls" + classBase,
                       {"Attribute Item.VB_UserMemId = 0"},
                       "ItemErr",
                       "Item",
                       "Set Item = mCollection(vlIndex)"});
    });
}

void msGenCollNewEnumProp(GenContext& ctx, int fileNumber, const std::string& classBase) {
    // The enumerator has no error handler: its errors reach the caller unchanged.
    guarded(ctx.ui, "frmFields.msGenCollNewEnumProp", [&] {
        writeProperty(ctx, ctx.file(fileNumber), classBase,
                      {"Property Get NewEnum ()",
                       {"' Purpose: Enables For Each...In functionality for the ", objectPurposeTail(classBase)},
                       "Public Property Get NewEnum() As IUnknown",
                       {"Attribute NewEnum.VB_UserMemId = -4", "Attribute NewEnum.VB_MemberFlags = \"40\""},
                       "",
                       "",
                       "Set NewEnum = mCollection.[_NewEnum]"});
    });
}

}  // namespace rw
