// rowwright-gui: with --wizard, the wizard on its own, from the welcome page.
#include <QApplication>
#include <QCommandLineParser>
#include <iostream>

#include "wizard/app.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Rowwright"));
    QApplication::setOrganizationName(QStringLiteral("Rowwright"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Visual Basic 6 data-access classes from a database schema."));
    parser.addHelpOption();
    const QCommandLineOption wizard(QStringLiteral("wizard"), QStringLiteral("Open the wizard's welcome page."));
    const QCommandLineOption open(QStringLiteral("open"), QStringLiteral("Load a VB6 project into the environment."),
                                  QStringLiteral("FILE.vbp"));
    const QCommandLineOption now(QStringLiteral("now"), QStringLiteral("Date and time of the output."),
                                 QStringLiteral("YYYY-MM-DDTHH:MM:SS"));
    parser.addOptions({wizard, open, now});
    parser.process(app);
    if (!parser.isSet(wizard)) {
        std::cerr << "rowwright-gui: use --wizard to open the wizard\n";
        return 2;
    }

    rw::wizard::StandaloneOptions options;
    for (const QString& path : parser.values(open)) options.openProjects.push_back(path.toStdString());
    options.now = parser.value(now).toStdString();
    return rw::wizard::runStandaloneWizard(options);
}
