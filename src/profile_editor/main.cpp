#include "profile_editor/profile_editor_window.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Profile Editor"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
            "Edits the encoder's profiles (the .prx files of its Profiles folder)."));
    parser.addHelpOption();
    const QCommandLineOption folder(QStringLiteral("profiles"),
                                    QStringLiteral("Edit the profiles of <folder> instead of the "
                                                   "Profiles folder beside the program."),
                                    QStringLiteral("folder"));
    parser.addOption(folder);
    parser.process(app);

    // The editor lives in the encoder's folder, beside the Profiles folder it edits.
    const QString profiles = parser.isSet(folder) ? parser.value(folder)
                                                  : QDir(QCoreApplication::applicationDirPath())
                                                            .filePath(QStringLiteral("Profiles"));
    ProfileEditorWindow window(profiles);
    window.show();
    return app.exec();
}
