#include "wizard/app.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdlib>
#include <iostream>
#include <memory>

#include "cli/generate_command.h"
#include "platform/db/odbc.h"
#include "platform/ide/environment.h"
#include "wizard/qt_ui.h"
#include "wizard/wizard.h"

namespace rw::wizard {

std::string findHelpFolder() {
    if (const char* dir = std::getenv("RW_HELP_DIR"); dir != nullptr && *dir != '\0') return dir;
    const QString installed = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../share/rowwright/help"));
    if (QFileInfo::exists(installed + QStringLiteral("/rwhelp1.htm"))) return QDir::cleanPath(installed).toStdString();
    return RW_SOURCE_HELP_DIR;
}

int runStandaloneWizard(const StandaloneOptions& options) {
    PosixFileSystem fs;
    ide::Environment environment(fs);
    for (const std::string& path : options.openProjects) {
        try {
            environment.loadProject(path);
        } catch (const RuntimeError& e) {
            std::cerr << "rowwright-gui: " << e.description << '\n';
            return 2;
        }
    }

    std::unique_ptr<Clock> clock;
    try {
        cli::GenerateOptions clockOptions;
        if (!options.now.empty()) clockOptions.now = options.now;
        if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH")) clockOptions.sourceDateEpoch = epoch;
        clock = cli::chooseClock(clockOptions);
    } catch (const std::exception& e) {
        std::cerr << "rowwright-gui: " << e.what() << '\n';
        return 2;
    }

    db::OdbcOptions odbc;
    odbc.drivers = db::oleDbDriversFromEnvironment();
    db::OdbcDataAccess data(odbc);
    QtUi ui;
    WizardMemory memory;
    Wizard wizard({ui, data, environment, fs, *clock, nullptr, findHelpFolder(), &memory});
    QObject::connect(&wizard, &Wizard::finished, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    QApplication::setQuitOnLastWindowClosed(false);
    wizard.start();
    const int status = QApplication::exec();

    // The loaded projects the run changed are saved, as the development
    // environment's own Save would.
    int result = status;
    for (const auto& project : environment.projects()) {
        if (!project->isDirty()) continue;
        try {
            project->save();
        } catch (const RuntimeError& e) {
            std::cerr << "rowwright-gui: " << project->fileName() << ": " << e.description << '\n';
            result = 1;
        }
    }
    return result;
}

}  // namespace rw::wizard
