#pragma once

#include "profile_editor/editor_prompts.h"
#include "profile_editor/profile_folder.h"

#include <QMainWindow>
#include <QPoint>

#include <memory>

class ProfileForm;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;

// The profile editor's window: the encoder's profiles on the left (built-in ones read
// only, files of the profile folder editable, unreadable files greyed with their reason),
// the chosen profile's settings on the right. Unsaved changes are kept per profile until
// saved or reverted; the main program reads the folder again at its next start.
class ProfileEditorWindow : public QMainWindow
{
    Q_OBJECT
public:
    // prompts: the message boxes to use (nullptr: Qt's own); the caller keeps ownership.
    explicit ProfileEditorWindow(const QString &profileFolder,
                                 EditorPrompts *prompts = nullptr,
                                 QWidget *parent = nullptr);
    ~ProfileEditorWindow() override;

    // Centres the window on a point of the desktop (the middle of the window that started
    // the editor), kept whole on that point's screen. A compositor that places windows
    // itself (Wayland) may put it elsewhere.
    void placeOver(QPoint centre);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void selectEntry(int index);
    QWidget *listSide();
    QWidget *formSide();
    void fillList(int select);
    void showCurrentItem(QListWidgetItem *item);
    void showNote(const ProfileEntry &entry);
    void onFormChanged();
    void updateState();
    void saveCurrent();
    void revertCurrent();
    void addProfile(const ProfileSettings &settings);
    void newProfile();
    void duplicateCurrent();
    void deleteCurrent();
    void reportSaved(const QString &what);
    // The status line; `entry` is the profile whose name stands for %1 in `text` (-1: none),
    // so the line follows while that profile is renamed before it is saved.
    void showStatus(const QString &text, int entry = -1);
    void showFolderStatus();
    void refreshStatus();
    void entryRemoved(int index);

    ProfileFolder m_profiles;
    std::unique_ptr<EditorPrompts> m_ownPrompts;
    EditorPrompts *m_prompts;
    int m_current = -1;
    QListWidget *m_list = nullptr;
    QLabel *m_note = nullptr;
    ProfileForm *m_form = nullptr;
    QPushButton *m_new = nullptr;
    QPushButton *m_duplicate = nullptr;
    QPushButton *m_delete = nullptr;
    QPushButton *m_save = nullptr;
    QPushButton *m_revert = nullptr;
    QString m_statusText;
    int m_statusEntry = -1;
};
