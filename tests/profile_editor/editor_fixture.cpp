#include "editor_fixture.h"

#include <QAbstractSpinBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QtTest>

void ScriptedPrompts::error(QWidget *, const QString &text)
{
    m_errors.append(text);
}

bool ScriptedPrompts::confirm(QWidget *, const QString &text)
{
    m_questions.append(text);
    return !m_answers.isEmpty() && m_answers.takeFirst();
}

EditorFixture::EditorFixture() = default;
EditorFixture::~EditorFixture() = default;

QString EditorFixture::path(const QString &fileName) const
{
    return m_dir.filePath(fileName);
}

void EditorFixture::write(const QString &fileName, const QByteArray &content)
{
    QFile file(path(fileName));
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        qFatal("cannot write the test file %s", qPrintable(path(fileName)));
}

void EditorFixture::writeKestrel(const QString &level)
{
    const QString shipped = qEnvironmentVariable("CLIPFERRY_BUILD_DRIVE_C")
                            + QStringLiteral("/Program Files/Clipferry/Kestrel %1.prx").arg(level);
    QFile file(shipped);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("the shipped profile %s is missing", qPrintable(shipped));
    write(QStringLiteral("Kestrel %1.prx").arg(level), file.readAll());
}

QByteArray EditorFixture::contentOf(const QString &fileName) const
{
    QFile file(path(fileName));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
}

QStringList EditorFixture::entries() const
{
    return QDir(folder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                    QDir::Name);
}

ProfileEditorWindow &EditorFixture::open()
{
    m_window = std::make_unique<ProfileEditorWindow>(folder(), &prompts);
    m_window->show();
    if (!QTest::qWaitForWindowExposed(m_window.get()))
        qFatal("the editor window was not shown");
    return *m_window;
}

QStringList EditorFixture::listTexts() const
{
    const auto *list = find<QListWidget>("profileList");
    QStringList texts;
    for (int row = 0; row < list->count(); ++row)
        texts.append(list->item(row)->text());
    return texts;
}

void EditorFixture::choose(const QString &text)
{
    auto *list = find<QListWidget>("profileList");
    const QList<QListWidgetItem *> found = list->findItems(text, Qt::MatchExactly);
    if (found.size() != 1)
        qFatal("the list has %d lines \"%s\"", int(found.size()), qPrintable(text));
    list->scrollToItem(found.first());
    QTest::mouseClick(
            list->viewport(), Qt::LeftButton, {}, list->visualItemRect(found.first()).center());
}

void EditorFixture::click(const char *buttonName)
{
    QTest::mouseClick(find<QPushButton>(buttonName), Qt::LeftButton);
}

bool EditorFixture::enabled(const char *buttonName) const
{
    return find<QPushButton>(buttonName)->isEnabled();
}

void EditorFixture::type(const char *fieldName, const QString &text)
{
    QWidget *field = find<QLineEdit>(fieldName);
    if (field)
        static_cast<QLineEdit *>(field)->selectAll();
    else if ((field = find<QAbstractSpinBox>(fieldName)))
        static_cast<QAbstractSpinBox *>(field)->selectAll();
    else
        qFatal("no field %s", fieldName);
    if (text.isEmpty())
        QTest::keyClick(field, Qt::Key_Backspace);
    else
        QTest::keyClicks(field, text);
}

QLabel *EditorFixture::problem(const char *fieldName) const
{
    return find<QLabel>(qPrintable(QLatin1String(fieldName) + QLatin1String("Problem")));
}

QString EditorFixture::reason(const char *fieldName) const
{
    const QLabel *label = problem(fieldName);
    return label->isVisible() ? label->text() : QString();
}

QString EditorFixture::status() const
{
    return m_window->statusBar()->currentMessage();
}
