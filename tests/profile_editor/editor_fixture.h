#pragma once

#include "checks.h"
#include "profile_editor/editor_prompts.h"
#include "profile_editor/profile_editor_window.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

// Records every message box and answers questions from a script (No once it has run out).
struct ScriptedPrompts : EditorPrompts
{
    void error(QWidget *, const QString &text) override { errors.append(text); }
    bool confirm(QWidget *, const QString &text) override
    {
        questions.append(text);
        return !answers.isEmpty() && answers.takeFirst();
    }
    QList<bool> answers;
    QStringList errors, questions;
};

// A profile folder in a temporary directory and the real editor window on it, shown on the
// test platform and used through its widgets.
class EditorFixture
{
public:
    QString folder() const { return m_dir.path(); }
    QString path(const QString &fileName) const { return m_dir.filePath(fileName); }
    void write(const QString &fileName, const QByteArray &content)
    {
        writeFile(path(fileName), content);
    }
    // One of the three Kestrel profiles shipped with the program, as built.
    void writeKestrel(const QString &level)
    {
        const QString name = "Kestrel " + level + ".prx";
        const QString shipped = qEnvironmentVariable("CLIPFERRY_BUILD_DRIVE_C");
        write(name, ::contentOf(shipped + "/Program Files/Clipferry/" + name));
    }
    QByteArray contentOf(const QString &fileName) const { return ::contentOf(path(fileName)); }
    QStringList entries() const { return entriesOf(folder()); }

    // The editor on the folder, or on `subfolder` of it.
    ProfileEditorWindow &open(const QString &subfolder = {})
    {
        m_window = std::make_unique<ProfileEditorWindow>(path(subfolder), &prompts);
        m_window->show();
        if (!QTest::qWaitForWindowExposed(m_window.get()))
            qFatal("the editor window was not shown");
        return *m_window;
    }
    ProfileEditorWindow &window() { return *m_window; }
    ScriptedPrompts prompts;

    template<typename T>
    T *find(const char *name) const
    {
        return m_window->findChild<T *>(QLatin1String(name));
    }
    // The list's lines as shown, headings included.
    QStringList listTexts() const
    {
        const auto *list = find<QListWidget>("profileList");
        QStringList texts;
        for (int row = 0; row < list->count(); ++row)
            texts.append(list->item(row)->text());
        return texts;
    }
    // Clicks the list line with this text.
    void choose(const QString &text)
    {
        auto *list = find<QListWidget>("profileList");
        const QList<QListWidgetItem *> found = list->findItems(text, Qt::MatchExactly);
        QCOMPARE(found.size(), 1);
        list->scrollToItem(found.first());
        QTest::mouseClick(
                list->viewport(), Qt::LeftButton, {}, list->visualItemRect(found.first()).center());
    }
    void click(const char *button) { QTest::mouseClick(find<QPushButton>(button), Qt::LeftButton); }
    bool enabled(const char *button) const { return find<QPushButton>(button)->isEnabled(); }
    QString name() const { return find<QLineEdit>("name")->text(); }
    // Types into a text or number field as a user does (the old value selected first).
    void type(const char *field, const QString &text)
    {
        QTest::keyClick(find<QWidget>(field), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(find<QWidget>(field), text);
    }
    // The reason shown beside a field, empty when there is none.
    QString reason(const char *field) const
    {
        const auto *label = find<QLabel>(qPrintable(QLatin1String(field) + "Problem"));
        return label->isVisible() ? label->text() : QString();
    }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<ProfileEditorWindow> m_window;
};
