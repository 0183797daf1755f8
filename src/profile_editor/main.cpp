#include "common/encoder_folder.h"
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
    const QCommandLineOption centre(QStringLiteral("centre"),
                                    QStringLiteral("Open the window centred on the desktop point "
                                                   "<x,y>, in the desktop's logical pixels."),
                                    QStringLiteral("x,y"));
    parser.addOption(centre);
    parser.process(app);

    // The editor lives in the encoder's folder, beside the Profiles folder it edits.
    const QString profiles
            = parser.isSet(folder)
                      ? parser.value(folder)
                      : QDir(QCoreApplication::applicationDirPath())
                                .filePath(QString::fromLatin1(encoder_folder::ProfilesFolder));
    ProfileEditorWindow window(profiles);
    const QStringList point = parser.value(centre).split(QLatin1Char(','));
    bool xValid = false;
    bool yValid = false;
    const int x = point.value(0).toInt(&xValid);
    const int y = point.value(1).toInt(&yValid);
    if (point.size() == 2 && xValid && yValid)
        window.placeOver(QPoint(x, y));
    window.show();
    return QApplication::exec();
}
