#include "support/sample_vb_project.h"

namespace rw::test {

const char* const kSampleModuleBytes =
    "Attribute VB_Name = \"modMain\"\r\nOption Explicit\r\nPublic Const Greeting As String = \"Gr\xFC\xDF" "e\"\r\n"
    "\r\nPublic Sub Main()\r\n    frmMain.Show\r\nEnd Sub\r\n";

namespace {

const char* const kFormBytes =
    "VERSION 5.00\r\nObject = \"{831FDD16-0C5C-11D2-A9FC-0000F8754DA1}#2.0#0\"; \"MSCOMCTL.OCX\"\r\n"
    "Begin VB.Form frmMain \r\n   Caption         =   \"Main\"\r\n   BeginProperty Font \r\n"
    "      Name            =   \"Tahoma\"\r\n   EndProperty\r\n   Begin VB.CommandButton cmdGo \r\n"
    "      Caption         =   \"Go\"\r\n   End\r\nEnd\r\nAttribute VB_Name = \"frmMain\"\r\n"
    "Attribute VB_GlobalNameSpace = False\r\nAttribute VB_Creatable = False\r\n"
    "Attribute VB_PredeclaredId = True\r\nAttribute VB_Exposed = False\r\nOption Explicit\r\n"
    "Private Sub cmdGo_Click()\r\nEnd Sub\r\n";

}  // namespace

void writeBytes(FileSystem& fs, const std::string& path, const std::string& bytes) {
    const auto slash = lastSeparator(path);
    if (slash != std::string::npos && slash > 0) fs.createDirectories(path.substr(0, slash));
    const auto sink = fs.create(path);
    sink->write(bytes), sink->close();
}

std::string writeSampleProject(FileSystem& fs, const std::string& folder, const SampleProject& options) {
    std::string text =
        "Type=Exe\r\nReference=*\\G{00020430-0000-0000-C000-000000000046}#2.0#0#C:\\WINNT\\System32\\STDOLE2.TLB#OLE "
        "Automation\r\nForm=frmMain.frm\r\nModule=modMain; Modules\\modMain.bas\r\n" + options.extraListing +
        "Startup=\"frmMain\"\r\nName=\"Billing\"\r\n[MS Transaction Server]\r\nAutoRefresh=1\r\n";
    if (options.lfLineEnds) std::erase(text, '\r');
    const std::string vbp = joinPath(folder, "Billing.vbp");
    writeBytes(fs, vbp, text);
    writeBytes(fs, joinPath(folder, "frmMain.frm"), kFormBytes);
    writeBytes(fs, joinPath(folder, "Modules/modMain.bas"), kSampleModuleBytes);
    return vbp;
}

void writeClassFile(FileSystem& fs, const std::string& path, const std::string& name, const std::string& code) {
    writeBytes(fs, path,
               "VERSION 1.0 CLASS\r\nBEGIN\r\n  MultiUse = -1  'True\r\n  Persistable = 0  'NotPersistable\r\n"
               "  DataBindingBehavior = 0  'vbNone\r\n  DataSourceBehavior  = 0  'vbNone\r\n"
               "  MTSTransactionMode  = 0  'NotAnMTSObject\r\nEND\r\nAttribute VB_Name = \"" + name + "\"\r\n"
               "Attribute VB_GlobalNameSpace = False\r\nAttribute VB_Creatable = True\r\n"
               "Attribute VB_PredeclaredId = False\r\nAttribute VB_Exposed = False\r\n" + code);
}

}  // namespace rw::test
