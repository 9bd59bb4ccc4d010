#include "support/sample_vb_project.h"

namespace rw::test {

const char* const kSampleModuleBytes =
    "Attribute VB_Name = \"modMain\"\r\n"
    "Option Explicit\r\n"
    "Public Const Greeting As String = \"Gr\xFC\xDF" "e\"\r\n"
    "\r\n"
    "Public Sub Main()\r\n"
    "    frmMain.Show\r\n"
    "End Sub\r\n";

namespace {

const char* const kFormBytes =
    "VERSION 5.00\r\n"
    "Object = \"{831FDD16-0C5C-11D2-A9FC-0000F8754DA1}#2.0#0\"; \"MSCOMCTL.OCX\"\r\n"
    "Begin VB.Form frmMain \r\n"
    "   Caption         =   \"Main\"\r\n"
    "   BeginProperty Font \r\n"
    "      Name            =   \"Tahoma\"\r\n"
    "   EndProperty\r\n"
    "   Begin VB.CommandButton cmdGo \r\n"
    "      Caption         =   \"Go\"\r\n"
    "   End\r\n"
    "End\r\n"
    "Attribute VB_Name = \"frmMain\"\r\n"
    "Attribute VB_GlobalNameSpace = False\r\n"
    "Attribute VB_Creatable = False\r\n"
    "Attribute VB_PredeclaredId = True\r\n"
    "Attribute VB_Exposed = False\r\n"
    "Option Explicit\r\n"
    "Private Sub cmdGo_Click()\r\n"
    "End Sub\r\n";

}  // namespace

void writeBytes(FileSystem& fs, const std::string& path, const std::string& bytes) {
    const auto slash = lastSeparator(path);
    if (slash != std::string::npos && slash > 0) fs.createDirectories(path.substr(0, slash));
    const auto sink = fs.create(path);
    sink->write(bytes), sink->close();
}

std::string writeSampleProject(FileSystem& fs, const std::string& folder, const SampleProject& options) {
    std::string text =
        "Type=Exe\r\n"
        "Reference=*\\G{00020430-0000-0000-C000-000000000046}#2.0#0#C:\\WINNT\\System32\\STDOLE2.TLB#OLE "
        "Automation\r\n"
        "Form=frmMain.frm\r\n"
        "Module=modMain; Modules\\modMain.bas\r\n" +
        options.extraListing +
        "Startup=\"frmMain\"\r\n"
        "Name=\"Billing\"\r\n"
        "[MS Transaction Server]\r\n"
        "AutoRefresh=1\r\n";
    if (options.lfLineEnds) std::erase(text, '\r');
    const std::string vbp = joinPath(folder, "Billing.vbp");
    writeBytes(fs, vbp, text);
    writeBytes(fs, joinPath(folder, "frmMain.frm"), kFormBytes);
    writeBytes(fs, joinPath(folder, "Modules/modMain.bas"), kSampleModuleBytes);
    return vbp;
}

void writeClassFile(FileSystem& fs, const std::string& path, const std::string& name, const std::string& code) {
    writeBytes(fs, path,
               "VERSION 1.0 CLASS\r\n"
               "BEGIN\r\n"
               "  MultiUse = -1  'True\r\n"
               "  Persistable = 0  'NotPersistable\r\n"
               "  DataBindingBehavior = 0  'vbNone\r\n"
               "  DataSourceBehavior  = 0  'vbNone\r\n"
               "  MTSTransactionMode  = 0  'NotAnMTSObject\r\n"
               "END\r\n"
               "Attribute VB_Name = \"" + name + "\"\r\n"
               "Attribute VB_GlobalNameSpace = False\r\n"
               "Attribute VB_Creatable = True\r\n"
               "Attribute VB_PredeclaredId = False\r\n"
               "Attribute VB_Exposed = False\r\n" + code);
}

}  // namespace rw::test
