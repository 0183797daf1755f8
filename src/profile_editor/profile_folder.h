#pragma once

#include "profiles/profile_rules.h"

#include <QList>
#include <QString>

// One line of the editor's list: a built-in profile, a ".prx" file of the folder (readable
// or not), or a profile made with New or Duplicate that has no file yet.
struct ProfileEntry
{
    enum class Kind { BuiltIn, File, Malformed, New };

    Kind kind = Kind::File;
    QString fileName;       // File and Malformed: the file's name in the folder
    ProfileSettings saved;  // BuiltIn and File: as read or last saved
    ProfileSettings edited; // the settings as the user has them now
    QString problem;        // Malformed: why the file cannot be used

    bool editable() const { return kind == Kind::File || kind == Kind::New; }
    bool modified() const { return kind == Kind::New || (kind == Kind::File && edited != saved); }
};

// The profiles the encoder offers, as the editor keeps them: the built-in ones first, then
// every ".prx" file of the profile folder in the encoder's order, then the new ones. A file
// that cannot be read is listed with its reason and never written, renamed or deleted.
class ProfileFolder
{
public:
    explicit ProfileFolder(const QString &nativeFolder);

    QString folder() const { return m_folder; }
    QString pathOf(const QString &fileName) const;

    // Reads the built-ins and the folder again; changes not saved are dropped.
    void load();

    int count() const { return int(m_entries.size()); }
    const ProfileEntry &at(int index) const { return m_entries.at(index); }
    bool anyModified() const;

    void edit(int index, const ProfileSettings &settings);
    // Back to the settings of the file; a new profile is dropped (returns false then).
    bool revert(int index);
    // Adds a profile without a file; returns its index.
    int addNew(const ProfileSettings &settings);

    // `wanted` when no profile or file has that name yet, otherwise `wanted 2`, `wanted 3`, ...
    QString freeName(const QString &wanted) const;
    // The engine's rules plus the folder's own: a name that no other profile has and that
    // can be a file name.
    QList<ProfileProblem> problems(int index) const;

    // Writes the profile's file (a new or renamed profile goes to "<name>.prx"); returns the
    // entry's index afterwards, which follows the file-name order. Fails with a description
    // naming the file and the reason; files on disk are then as they were.
    int save(int index);
    // Deletes the profile's file (a new profile is only dropped).
    void remove(int index);

private:
    ProfileEntry readEntry(const QString &fileName) const;
    bool nameTaken(const QString &name, int except) const;
    int placeInOrder(int index);
    void renameFile(ProfileEntry &entry, const QString &target);

    QString m_folder;
    QList<ProfileEntry> m_entries;
};
