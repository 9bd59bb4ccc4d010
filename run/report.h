#pragma once
// The generation report: the text the run builds, and saving it as the
// report window's Save does.
#include <string>
#include <vector>

#include "model/settings.h"
#include "platform/file_system.h"

namespace rw {

struct ReportFacts {
    std::string dateText;             // the general date text of the moment the report is built
    std::string loadedProjectName;    // loaded-project mode only
    std::vector<std::string> classBaseNames;  // one per table, in the order of the field rows
    bool hasErrorHandlerModule = false;
    bool hasConnectionClass = false;
};

std::string buildReportText(const GenerationSettings& s, const ReportFacts& facts);

// Creates or replaces `path` with the report text and one CR LF, in Windows-1252.
void saveReport(FileSystem& fs, const std::string& path, const std::string& reportText);

}  // namespace rw
