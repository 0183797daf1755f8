#include "profile_editor/profile_editor_window.h"

#include "common/error.h"
#include "profile_editor/profile_form.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QVBoxLayout>

namespace {

constexpr int EntryRole = Qt::UserRole;
constexpr int NoEntry = -1;

QPushButton *button(const QString &text, const char *name)
{
    auto *pushButton = new QPushButton(text);
    pushButton->setObjectName(QLatin1String(name));
    return pushButton;
}

QListWidgetItem *heading(const QString &text, const QPalette &palette)
{
    auto *item = new QListWidgetItem(text);
    item->setFlags(Qt::NoItemFlags);
    item->setData(EntryRole, NoEntry);
    item->setForeground(palette.color(QPalette::Active, QPalette::WindowText));
    QFont font = item->font();
    font.setBold(true);
    item->setFont(font);
    return item;
}

QListWidgetItem *hint(const QString &text, const QPalette &palette)
{
    auto *item = new QListWidgetItem(text);
    item->setFlags(Qt::NoItemFlags);
    item->setData(EntryRole, NoEntry);
    item->setForeground(palette.color(QPalette::Disabled, QPalette::Text));
    return item;
}

// A profile with changes not yet in its file is marked, as editors do.
QString shownName(const ProfileEntry &entry)
{
    return entry.modified() ? entry.edited.name + QStringLiteral(" *") : entry.edited.name;
}

QListWidgetItem *entryItem(const ProfileEntry &entry, int index, const QPalette &palette)
{
    auto *item = new QListWidgetItem;
    item->setData(EntryRole, index);
    if (entry.kind == ProfileEntry::Kind::Malformed) {
        item->setText(entry.problem);
        item->setToolTip(entry.problem);
        item->setForeground(palette.color(QPalette::Disabled, QPalette::Text));
        return item;
    }
    item->setText(shownName(entry));
    if (entry.kind == ProfileEntry::Kind::BuiltIn) {
        item->setToolTip(QObject::tr("Built-in profile (read only)"));
        QFont font = item->font();
        font.setItalic(true);
        item->setFont(font);
    } else {
        item->setToolTip(entry.kind == ProfileEntry::Kind::New ? QObject::tr("Not saved yet")
                                                               : entry.fileName);
    }
    return item;
}

} // namespace

ProfileEditorWindow::ProfileEditorWindow(const QString &profileFolder,
                                         EditorPrompts *prompts,
                                         QWidget *parent)
    : QMainWindow(parent)
    , m_profiles(profileFolder)
    , m_ownPrompts(prompts ? nullptr : std::make_unique<QtEditorPrompts>())
    , m_prompts(prompts ? prompts : m_ownPrompts.get())
{
    setWindowTitle(tr("Profile Editor"));
    auto *central = new QWidget;
    auto *layout = new QHBoxLayout(central);
    layout->addWidget(listSide(), 2);
    layout->addWidget(formSide(), 3);
    setCentralWidget(central);
    // Its full size where the screen has room (at a high scale factor it may not).
    resize(QSize(940, 600).boundedTo(screen()->availableGeometry().size() * 0.9));

    m_profiles.load();
    // Start on the first profile that can be edited, if there is one.
    int first = 0;
    while (first < m_profiles.count() && !m_profiles.at(first).editable())
        ++first;
    fillList(first < m_profiles.count() ? first : 0);
    showFolderStatus();
}

ProfileEditorWindow::~ProfileEditorWindow() = default;

void ProfileEditorWindow::placeOver(QPoint centre)
{
    const QScreen *onScreen = QGuiApplication::screenAt(centre);
    const QRect available = (onScreen ? onScreen : screen())->availableGeometry();
    QRect frame(QPoint(), frameGeometry().size().expandedTo(size()));
    frame.moveCenter(centre);
    frame.moveLeft(qBound(available.left(), frame.left(), available.right() - frame.width() + 1));
    frame.moveTop(qBound(available.top(), frame.top(), available.bottom() - frame.height() + 1));
    move(frame.topLeft());
}

QWidget *ProfileEditorWindow::listSide()
{
    auto *side = new QWidget;
    auto *layout = new QVBoxLayout(side);
    layout->setContentsMargins(0, 0, 0, 0);
    m_list = new QListWidget;
    m_list->setObjectName(QStringLiteral("profileList"));
    // An unreadable file's line carries its reason, which may be long.
    m_list->setWordWrap(true);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    layout->addWidget(m_list);
    auto *buttons = new QHBoxLayout;
    m_new = button(tr("&New"), "newButton");
    m_duplicate = button(tr("D&uplicate"), "duplicateButton");
    m_delete = button(tr("De&lete"), "deleteButton");
    for (QPushButton *b : {m_new, m_duplicate, m_delete})
        buttons->addWidget(b);
    layout->addLayout(buttons);
    connect(m_list, &QListWidget::currentItemChanged, this, &ProfileEditorWindow::showCurrentItem);
    connect(m_new, &QPushButton::clicked, this, &ProfileEditorWindow::newProfile);
    connect(m_duplicate, &QPushButton::clicked, this, &ProfileEditorWindow::duplicateCurrent);
    connect(m_delete, &QPushButton::clicked, this, &ProfileEditorWindow::deleteCurrent);
    return side;
}

QWidget *ProfileEditorWindow::formSide()
{
    auto *side = new QWidget;
    auto *layout = new QVBoxLayout(side);
    layout->setContentsMargins(0, 0, 0, 0);
    m_note = new QLabel;
    m_note->setObjectName(QStringLiteral("note"));
    m_note->setWordWrap(true);
    m_note->setTextFormat(Qt::PlainText);
    layout->addWidget(m_note);
    m_form = new ProfileForm;
    layout->addWidget(m_form);
    layout->addStretch();
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    m_revert = button(tr("&Revert"), "revertButton");
    m_save = button(tr("&Save"), "saveButton");
    m_save->setDefault(true);
    buttons->addWidget(m_revert);
    buttons->addWidget(m_save);
    layout->addLayout(buttons);
    connect(m_form, &ProfileForm::changed, this, &ProfileEditorWindow::onFormChanged);
    connect(m_save, &QPushButton::clicked, this, &ProfileEditorWindow::saveCurrent);
    connect(m_revert, &QPushButton::clicked, this, &ProfileEditorWindow::revertCurrent);
    return side;
}

// Rebuilds the list from the entries and shows entry `select` (none when out of range).
void ProfileEditorWindow::fillList(int select)
{
    const QSignalBlocker quiet(m_list);
    m_list->clear();
    m_list->addItem(heading(tr("Built-in (read only)"), palette()));
    int i = 0;
    for (; i < m_profiles.count() && m_profiles.at(i).kind == ProfileEntry::Kind::BuiltIn; ++i)
        m_list->addItem(entryItem(m_profiles.at(i), i, palette()));
    m_list->addItem(heading(tr("Profile folder"), palette()));
    if (i == m_profiles.count())
        m_list->addItem(hint(tr("No profiles yet: New or Duplicate makes one."), palette()));
    for (; i < m_profiles.count(); ++i)
        m_list->addItem(entryItem(m_profiles.at(i), i, palette()));
    m_current = NoEntry;
    selectEntry(select);
}

void ProfileEditorWindow::selectEntry(int index)
{
    for (int row = 0; row < m_list->count(); ++row) {
        if (m_list->item(row)->data(EntryRole).toInt() == index && index != NoEntry) {
            m_list->setCurrentRow(row);
            showCurrentItem(m_list->item(row));
            return;
        }
    }
    showCurrentItem(nullptr);
}

void ProfileEditorWindow::showCurrentItem(QListWidgetItem *item)
{
    m_current = item ? item->data(EntryRole).toInt() : NoEntry;
    if (m_current == NoEntry) {
        m_form->setVisible(false);
        m_note->setText(tr("Choose a profile on the left, or make one with New."));
        updateState();
        return;
    }
    const ProfileEntry &entry = m_profiles.at(m_current);
    m_form->setVisible(entry.kind != ProfileEntry::Kind::Malformed);
    if (entry.kind != ProfileEntry::Kind::Malformed)
        m_form->showSettings(entry.edited);
    m_form->setEditable(entry.editable());
    showNote(entry);
    updateState();
}

void ProfileEditorWindow::showNote(const ProfileEntry &entry)
{
    switch (entry.kind) {
    case ProfileEntry::Kind::BuiltIn:
        m_note->setText(tr("A built-in profile of the encoder: it cannot be changed. Duplicate "
                           "makes an editable copy in the profile folder."));
        break;
    case ProfileEntry::Kind::File:
        m_note->setText(tr("Stored in %1.").arg(entry.fileName));
        break;
    case ProfileEntry::Kind::New:
        m_note->setText(tr("Not saved yet: Save writes it to the profile folder."));
        break;
    case ProfileEntry::Kind::Malformed:
        m_note->setText(tr("This file cannot be used as a profile:\n%1\n\nThe editor leaves "
                           "it as it is; correct it in a text editor or remove it by hand.")
                                .arg(entry.problem));
        break;
    }
}

void ProfileEditorWindow::onFormChanged()
{
    if (m_current == NoEntry || !m_profiles.at(m_current).editable())
        return;
    m_profiles.edit(m_current, m_form->settings());
    if (QListWidgetItem *item = m_list->currentItem())
        item->setText(shownName(m_profiles.at(m_current)));
    if (m_statusEntry == m_current)
        refreshStatus();
    updateState();
}

void ProfileEditorWindow::updateState()
{
    const bool chosen = m_current != NoEntry;
    const ProfileEntry *entry = chosen ? &m_profiles.at(m_current) : nullptr;
    const bool editable = entry && entry->editable();
    const QList<ProfileProblem> problems
            = editable ? m_profiles.problems(m_current) : QList<ProfileProblem>();
    m_form->showProblems(problems);
    m_save->setEnabled(editable && entry->modified() && problems.isEmpty());
    m_revert->setEnabled(editable && entry->modified());
    m_delete->setEnabled(editable);
    m_duplicate->setEnabled(entry && entry->kind != ProfileEntry::Kind::Malformed);
}

void ProfileEditorWindow::saveCurrent()
{
    if (m_current == NoEntry)
        return;
    try {
        const int index = m_profiles.save(m_current);
        fillList(index);
        reportSaved(tr("Saved \"%1\" in %2.")
                            .arg(m_profiles.at(index).edited.name, m_profiles.at(index).fileName));
    } catch (const Error &e) {
        m_prompts->error(this, e.description());
    }
}

void ProfileEditorWindow::reportSaved(const QString &what)
{
    showStatus(what + QLatin1Char(' ') + tr("Clipferry uses the change from its next start."));
}

void ProfileEditorWindow::showStatus(const QString &text, int entry)
{
    m_statusText = text;
    m_statusEntry = entry;
    refreshStatus();
}

void ProfileEditorWindow::showFolderStatus()
{
    const QString folder = QDir::toNativeSeparators(m_profiles.folder());
    showStatus(QFileInfo(m_profiles.folder()).isDir()
                       ? tr("Profiles of %1").arg(folder)
                       : tr("The profile folder %1 does not exist yet; saving a profile makes "
                            "it.")
                                 .arg(folder));
}

void ProfileEditorWindow::refreshStatus()
{
    statusBar()->showMessage(m_statusEntry < 0
                                     ? m_statusText
                                     : m_statusText.arg(m_profiles.at(m_statusEntry).edited.name));
}

// The status line keeps naming the same profile when one before it leaves the list; when
// that profile itself leaves, it goes back to the folder.
void ProfileEditorWindow::entryRemoved(int index)
{
    if (m_statusEntry == index)
        showFolderStatus();
    else if (m_statusEntry > index)
        --m_statusEntry;
}

void ProfileEditorWindow::revertCurrent()
{
    if (m_current == NoEntry)
        return;
    const int index = m_current;
    const bool kept = m_profiles.revert(index);
    if (!kept)
        entryRemoved(index);
    fillList(kept ? index : index - 1);
    refreshStatus();
}

void ProfileEditorWindow::addProfile(const ProfileSettings &settings)
{
    const int index = m_profiles.addNew(settings);
    fillList(index);
    showStatus(tr("\"%1\" is not saved yet."), index);
}

void ProfileEditorWindow::newProfile()
{
    ProfileSettings settings;
    settings.name = m_profiles.freeName(tr("New profile"));
    addProfile(settings);
}

void ProfileEditorWindow::duplicateCurrent()
{
    if (m_current == NoEntry || m_profiles.at(m_current).kind == ProfileEntry::Kind::Malformed)
        return;
    ProfileSettings settings = m_profiles.at(m_current).edited;
    settings.name = m_profiles.freeName(tr("%1 copy").arg(settings.name));
    addProfile(settings);
}

void ProfileEditorWindow::deleteCurrent()
{
    if (m_current == NoEntry || !m_profiles.at(m_current).editable())
        return;
    const ProfileEntry &entry = m_profiles.at(m_current);
    const QString name = entry.saved.name.isEmpty() ? entry.edited.name : entry.saved.name;
    const bool onDisk = entry.kind == ProfileEntry::Kind::File;
    const QString question
            = onDisk ? tr("Delete the profile \"%1\"?\nIts file %2 is removed from %3.")
                               .arg(name,
                                    entry.fileName,
                                    QDir::toNativeSeparators(m_profiles.folder()))
                     : tr("Discard the new profile \"%1\"? It has not been saved.").arg(name);
    if (!m_prompts->confirm(this, question))
        return;
    try {
        const int index = m_current;
        m_profiles.remove(index);
        entryRemoved(index);
        fillList(index < m_profiles.count() ? index : index - 1);
        if (onDisk)
            reportSaved(tr("Deleted \"%1\".").arg(name));
    } catch (const Error &e) {
        m_prompts->error(this, e.description());
    }
}

void ProfileEditorWindow::closeEvent(QCloseEvent *event)
{
    if (m_profiles.anyModified()
        && !m_prompts->confirm(this,
                               tr("Some profiles have changes that are not saved.\nClose the "
                                  "Profile Editor and lose them?"))) {
        event->ignore();
        return;
    }
    event->accept();
}
