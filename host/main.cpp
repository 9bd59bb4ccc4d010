// rowwright-gui: the workbench, with the Rowwright add-in. --wizard starts
// the add-in from outside (its welcome page at once, no menu command);
// --register and --unregister add it to or remove it from the workbench's
// add-in list; --version prints the version.
#include <QApplication>
#include <QCommandLineParser>
#include <iostream>
#include <string_view>

#include "model/product.h"
#include "host/workbench_app.h"

int main(int argc, char** argv) {
    // Registration and the version need no display.
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--version") {
            std::cout << "rowwright-gui " << rw::product::kVersion << '\n';
            return 0;
        }
        if (arg == "--register" || arg == "--unregister") {
            const QCoreApplication core(argc, argv);
            return arg == "--register" ? rw::host::registerAddIn() : rw::host::unregisterAddIn();
        }
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Rowwright"));
    QApplication::setOrganizationName(QStringLiteral("Rowwright"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Visual Basic 6 data-access classes from a database schema."));
    parser.addHelpOption();
    const QCommandLineOption wizard(QStringLiteral("wizard"),
                                    QStringLiteral("Start the add-in from outside: open the wizard's welcome page."));
    const QCommandLineOption open(QStringLiteral("open"), QStringLiteral("Load a VB6 project into the workbench."),
                                  QStringLiteral("FILE.vbp"));
    const QCommandLineOption now(QStringLiteral("now"), QStringLiteral("Date and time of the output."),
                                 QStringLiteral("YYYY-MM-DDTHH:MM:SS"));
    const QCommandLineOption doRegister(QStringLiteral("register"),
                                        QStringLiteral("Register the add-in with the workbench."));
    const QCommandLineOption doUnregister(QStringLiteral("unregister"),
                                          QStringLiteral("Remove the add-in from the workbench."));
    const QCommandLineOption version(QStringLiteral("version"), QStringLiteral("Print the version."));
    parser.addOptions({wizard, open, now, doRegister, doUnregister, version});
    parser.process(app);

    rw::host::WorkbenchOptions options;
    for (const QString& path : parser.values(open)) options.openProjects.push_back(path.toStdString());
    options.now = parser.value(now).toStdString();
    options.external = parser.isSet(wizard);
    return rw::host::runWorkbench(options);
}
