#pragma once

// Small checks on real files that the tests share.

#include "common/error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <unistd.h>

inline QByteArray contentOf(const QString &nativePath)
{
    QFile file(nativePath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
}

// Writes a file, making its folder; the test fails when that does not work.
inline void writeFile(const QString &nativePath, const QByteArray &content)
{
    QVERIFY(QDir().mkpath(QFileInfo(nativePath).path()));
    QFile file(nativePath);
    QVERIFY2(file.open(QIODevice::WriteOnly) && file.write(content) == content.size(),
             qPrintable(nativePath));
}

// Every entry of a folder, hidden ones (such as temporaries) included, by name.
inline QStringList entriesOf(const QString &nativeFolder)
{
    return QDir(nativeFolder)
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

// The description of the Error that `run` throws; empty when it throws none.
template<typename Run>
QString failureOf(Run run)
{
    try {
        run();
    } catch (const Error &e) {
        return e.description();
    }
    return {};
}

// A folder nobody may write to while this lives, root included: root ignores a folder's
// mode, so for root the folder is made immutable instead. locked() says whether that took.
class ReadOnlyFolder
{
public:
    explicit ReadOnlyFolder(const QString &folder)
        : m_folder(folder)
    {
        setWritable(false);
    }
    ~ReadOnlyFolder() { setWritable(true); }
    bool locked() const
    {
        QFile probe(QDir(m_folder).filePath(QStringLiteral("probe")));
        return !probe.open(QIODevice::WriteOnly) || !probe.remove();
    }

private:
    void setWritable(bool writable) const
    {
        if (::geteuid() == 0)
            QProcess::execute(QStringLiteral("chattr"),
                              {QLatin1String(writable ? "-i" : "+i"), m_folder});
        else
            QFile::setPermissions(m_folder,
                                  QFile::ReadOwner | QFile::ExeOwner
                                          | (writable ? QFile::WriteOwner : QFile::Permissions()));
    }
    QString m_folder;
};
