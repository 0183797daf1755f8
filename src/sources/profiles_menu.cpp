#include "sources/profiles_menu.h"

#include "common/encoder_folder.h"
#include "common/error.h"
#include "common/step_over.h"
#include "common/texts.h"
#include "platform/encoder_paths.h"
#include "platform/machine.h"
#include "platform/shell.h"
#include "widgets/dialogs.h"

#include <QComboBox>
#include <QWidget>

namespace {

const QString defaultProfile = QStringLiteral("Kestrel Medium");

const QString copyQuestion = QStringLiteral("Copy files to Windows Media Encoder directory?");

// Copies each shipped profile into the profile folder; a failed copy does not keep the
// others from being tried. Returns the descriptions of the failures.
QStringList copyShippedProfiles(const FileSystemObject &fileSys)
{
    const QString programFolder = Machine::current().programFolder();
    QStringList failures;
    for (const QString &name : shippedProfileFiles()) {
        try {
            fileSys.CopyFile(joinPath(programFolder, name), profileFolder());
        } catch (const Error &e) {
            failures.append(e.description());
        }
    }
    return failures;
}

// Listing a profile shows nothing in the text field: only choosing one does, so an
// unchosen default leaves the field empty instead of showing whichever profile came first.
void appendKeepingText(QComboBox *combo, const QString &item)
{
    const int current = combo->currentIndex();
    combo->addItem(item);
    if (combo->currentIndex() != current)
        combo->setCurrentIndex(current);
}

} // namespace

QString profileFolder()
{
    return encoderFilePath(QStringLiteral("C"), encoder_folder::ProfilesFolder) + QLatin1Char('\\');
}

QStringList shippedProfileFiles()
{
    return {QStringLiteral("Kestrel High.prx"),
            QStringLiteral("Kestrel Low.prx"),
            QStringLiteral("Kestrel Medium.prx")};
}

ProfilesMenu::ProfilesMenu(ProgramValues &values,
                           const std::unique_ptr<FileSystemObject> &fileSys,
                           QComboBox *profileBox,
                           const QWidget &window)
    : m_values(values)
    , FileSys(fileSys)
    , Combo1(profileBox)
    , m_window(window)
{}

void ProfilesMenu::load(ProfileCollection &profiles, EncoderSourceGroup &group)
{
    m_group = &group;
    Profiles = &profiles;
    for (int index = 0; index < Profiles->count(); ++index) {
        Profile = &Profiles->item(index);
        appendKeepingText(Combo1, Profile->name());
    }

    for (int index = 0; index < Profiles->count(); ++index) {
        Profile = &Profiles->item(index);
        if (Profile->name() == defaultProfile) {
            m_group->setProfile(*Profile);
            Combo1->setCurrentIndex(index);
            break;
        }
    }

    if (Combo1->currentText() != defaultProfile)
        msgBox(joinCrLf(
                {QStringLiteral("Click Settings / Check Profile Setup"),
                 QStringLiteral(
                         "to copy Pocket PC profiles to Windows Media Encoder directory.")}));
}

// A text that names no profile changes nothing: the box goes back to the profile in use.
void ProfilesMenu::Combo1_Click()
{
    try {
        if (!Profiles)
            throw Error(QStringLiteral("No profile can be chosen: the encoder could not be "
                                       "started."));
        const int count = Profiles->count();
        for (int index = 0; index <= count - 1; ++index) {
            const EncoderProfile &candidate = Profiles->item(index);
            if (candidate.name() == Combo1->currentText()) {
                Profile = &candidate;
                m_group->setProfile(*Profile);
                break;
            }
        }
    } catch (const Error &e) {
        msgBox(e.description());
    }
    showProfileInUse();
}

void ProfilesMenu::showProfileInUse()
{
    const EncoderProfile *inUse = m_group ? m_group->profile() : nullptr;
    int index = -1;
    for (int i = 0; inUse && Profiles && i < Profiles->count(); ++i) {
        if (&Profiles->item(i) == inUse)
            index = i;
    }
    if (Combo1->currentIndex() != index)
        Combo1->setCurrentIndex(index);
    Combo1->setEditText(inUse ? inUse->name() : QString());
}

void ProfilesMenu::mnuCurrentProfile_Click()
{
    msgBox(Profile ? Profile->name() : QStringLiteral("No profile has been chosen."));
}

void ProfilesMenu::mnuProfileSetup_Click()
{
    bool allInstalled = true;
    for (const char *name : {"Kestrel Medium.prx", "Kestrel High.prx", "Kestrel Low.prx"}) {
        if (!FileSys->FileExists(profileFolder() + QLatin1String(name)))
            allInstalled = false;
    }
    const QString state
            = allInstalled ? QStringLiteral("Kestrel Profiles are allready installed.")
                           : QStringLiteral("Kestrel Profiles are not installed completely.");
    if (!askYesNo(joinCrLf({state, copyQuestion})))
        return;

    const QStringList failures = copyShippedProfiles(*FileSys);
    if (!failures.isEmpty()) {
        msgBox(joinCrLf(failures));
        return;
    }
    msgBox(joinCrLf({QStringLiteral("Files copied. Restart Clipferry"),
                     QStringLiteral("for changes to take effect.")}));
}

void ProfilesMenu::mnuProfileEditor_Click()
{
    // The editor is a convenience: when it is not installed there is nothing to say. It
    // opens over this window rather than wherever a bare display puts a new window.
    const QPoint centre = m_window.frameGeometry().center();
    stepOver([&] {
        Shell(encoderFilePath(m_values.WinDrive, encoder_folder::ProfileEditorFile)
                      + QStringLiteral(" --centre=%1,%2").arg(centre.x()).arg(centre.y()),
              vbNormalFocus);
    });
}
