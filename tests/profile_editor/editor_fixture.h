#pragma once

#include "profile_editor/editor_prompts.h"
#include "profile_editor/profile_editor_window.h"

#include <QByteArray>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

class QAbstractButton;
class QLabel;
class QWidget;

// Records every message box and answers questions from a script (No once it has run out).
class ScriptedPrompts : public EditorPrompts
{
public:
    void error(QWidget *parent, const QString &text) override;
    bool confirm(QWidget *parent, const QString &text) override;

    void answer(bool yes) { m_answers.append(yes); }
    const QStringList &errors() const { return m_errors; }
    const QStringList &questions() const { return m_questions; }

private:
    QList<bool> m_answers;
    QStringList m_errors;
    QStringList m_questions;
};

// A profile folder in a temporary directory and the real editor window on it, shown on the
// test platform and used through its widgets.
class EditorFixture
{
public:
    EditorFixture();
    ~EditorFixture();

    QString folder() const { return m_dir.path(); }
    QString path(const QString &fileName) const;
    void write(const QString &fileName, const QByteArray &content);
    // One of the three Kestrel profiles shipped with the program, as built.
    void writeKestrel(const QString &level);
    QByteArray contentOf(const QString &fileName) const;
    // Every entry of the folder, hidden ones included.
    QStringList entries() const;

    ProfileEditorWindow &open();
    ProfileEditorWindow &window() { return *m_window; }
    ScriptedPrompts prompts;

    // The list's lines as shown, headings included.
    QStringList listTexts() const;
    // Clicks the list line with this text.
    void choose(const QString &text);
    void click(const char *buttonName);
    bool enabled(const char *buttonName) const;
    // Types into a text or number field as a user does (the old value selected first).
    void type(const char *fieldName, const QString &text);
    QLabel *problem(const char *fieldName) const;
    // The reason shown beside a field, empty when there is none.
    QString reason(const char *fieldName) const;
    QString status() const;

    template<typename T>
    T *find(const char *name) const
    {
        return m_window->findChild<T *>(QLatin1String(name));
    }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<ProfileEditorWindow> m_window;
};
