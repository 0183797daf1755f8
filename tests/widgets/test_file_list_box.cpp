// The file list box on its own, over the folders of a temporary machine.

#include "common/error.h"
#include "temp_machine.h"
#include "widgets/file_list_box.h"

#include <QtTest>

#include <sys/stat.h>

namespace {

QStringList entries(const FileListBox &list)
{
    QStringList names;
    for (int index = 0; index < list.ListCount(); ++index)
        names.append(list.List(index));
    return names;
}

} // namespace

class TestFileListBox : public QObject
{
    Q_OBJECT
    std::unique_ptr<TempMachine> m_machine;
    std::unique_ptr<FileListBox> m_list;

private slots:
    void init()
    {
        m_machine = std::make_unique<TempMachine>();
        for (const char *name : {"b.mpg", "A.DAT", "c.MPEG", ".hidden.mpg", "notes"})
            m_machine->writeFile(QStringLiteral("C:\\Videos\\") + QLatin1String(name));
        m_machine->makeFolder("C:\\Videos\\Sub");
        m_list = std::make_unique<FileListBox>();
    }
    void cleanup()
    {
        m_list.reset();
        m_machine.reset();
    }

    // Regular files and links to them, by name; no hidden entries, pipes, devices or folders.
    void listsRegularFilesOnly()
    {
        const QString videos = m_machine->native("C:\\Videos");
        const auto node = [&](const char *name, mode_t type) {
            return ::mknod(QFile::encodeName(videos + '/' + name).constData(), type | 0600, 0) == 0;
        };
        QVERIFY(node("pipe.mpg", S_IFIFO) && node("socket.mpg", S_IFSOCK));
        QFile::link("/dev/null", videos + "/device.mpg");
        QFile::link("b.mpg", videos + "/link.mpg");
        QFile::link("Sub", videos + "/folder.mpg");
        QFile::link("missing.mpg", videos + "/dangling.mpg");
        m_list->setPath("C:\\Videos");
        QCOMPARE(entries(*m_list), QStringList({"A.DAT", "b.mpg", "c.MPEG", "link.mpg", "notes"}));
        QCOMPARE(m_list->List(5) + m_list->List(-1), QString());
    }

    // The path as the program writes it: no trailing separator except at a drive's root.
    void pathInProgramForm()
    {
        QCOMPARE(m_list->Path(), QString());
        m_list->setPath("C:\\Videos\\");
        QCOMPARE(m_list->Path(), "C:\\Videos");
        m_list->setPath("C:");
        QCOMPARE(m_list->Path(), "C:\\");
    }

    void refreshRelistsAndClearsTheSelection()
    {
        m_list->setPath("C:\\Videos");
        m_list->setSelected(0, true);
        m_machine->writeFile("C:\\Videos\\e.mpg");
        m_list->Refresh();
        QCOMPARE(m_list->ListCount(), 5);
        QVERIFY(!m_list->Selected(0));
    }

    // A folder that cannot be listed is an error; the list keeps its folder and entries.
    void failureKeepsTheList()
    {
        m_list->setPath("C:\\Videos");
        QVERIFY_THROWS_EXCEPTION(Error, m_list->setPath("C:\\Videos\\notes"));
        QDir(m_machine->native("C:\\Videos")).removeRecursively();
        QVERIFY_THROWS_EXCEPTION(Error, m_list->Refresh());
        QCOMPARE(m_list->Path() + ' ' + QString::number(m_list->ListCount()), "C:\\Videos 4");
    }
};

QTEST_MAIN(TestFileListBox)
#include "test_file_list_box.moc"
