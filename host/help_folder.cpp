#include "host/help_folder.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdlib>

namespace rw::host {

std::string findHelpFolder() {
    if (const char* dir = std::getenv("RW_HELP_DIR"); dir != nullptr && *dir != '\0') return dir;
    const QString installed = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../share/rowwright/help"));
    if (QFileInfo::exists(installed + QStringLiteral("/rwhelp1.htm"))) return QDir::cleanPath(installed).toStdString();
    return RW_SOURCE_HELP_DIR;
}

}  // namespace rw::host
