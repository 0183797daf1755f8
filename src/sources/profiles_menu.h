#pragma once

#include "common/program_values.h"
#include "encoder/encoder.h"
#include "platform/file_system.h"

#include <QString>
#include <QStringList>

#include <memory>

class QComboBox;
class QWidget;

// Where the encoder keeps its profiles. Always on drive C, wherever Windows lives.
QString profileFolder();

// The three profiles the program ships beside itself, in the order they are copied.
QStringList shippedProfileFiles();

// The profile box Combo1 and the Settings menu's profile commands: which profile the next
// file is encoded with, the shipped profiles' installation, the profile editor.
class ProfilesMenu
{
public:
    // The editor opens over the window.
    ProfilesMenu(ProgramValues &values,
                 const std::unique_ptr<FileSystemObject> &fileSys,
                 QComboBox *profileBox,
                 const QWidget &window);

    // Lists the encoder's profiles in Combo1 and gives the source group the default one;
    // asks for the profile set-up when the default is missing.
    void load(ProfileCollection &profiles, EncoderSourceGroup &group);

    void Combo1_Click();
    // Shows in Combo1 the profile the next file is encoded with (none: an empty box).
    void showProfileInUse();
    void mnuCurrentProfile_Click();
    void mnuProfileSetup_Click();
    void mnuProfileEditor_Click();

    ProfileCollection *Profiles = nullptr;
    const EncoderProfile *Profile = nullptr;

private:
    ProgramValues &m_values;
    const std::unique_ptr<FileSystemObject> &FileSys; // the window's, while it is open
    QComboBox *Combo1;
    const QWidget &m_window;
    EncoderSourceGroup *m_group = nullptr; // the source group the profile is given to
};
