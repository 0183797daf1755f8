// Hosts of the encoder that die mid-file without a word, as a killed program does: cf-encode
// and the program's window (cf-batch-host), each killed with SIGKILL in the pass a row names,
// and cf-encode while the duration is read from a pipe nobody writes to. Nobody asked for a
// partial file, so the worker must abandon it: its temporary goes, an earlier good file of the
// final name stays byte for byte, and the worker itself ends instead of running on.

#include "../platform/checks.h"
#include "clip_generator.h"
#include "platform/user_drive.h"

#include <QDirIterator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/stat.h>

namespace {

const QByteArray Earlier = "an earlier, good result";

// The workers whose command line names the folder, and that have not ended (a worker
// whose host died is nobody's child any more, and may stay a zombie for a while).
QList<qint64> workersFor(const QString &folder)
{
    QList<qint64> found;
    QDirIterator processes("/proc", QDir::Dirs | QDir::NoDotAndDotDot);
    while (processes.hasNext()) {
        const QString dir = processes.next();
        const QByteArray command = contentOf(dir + "/cmdline").replace('\0', ' ');
        const QByteArray stat = contentOf(dir + "/stat");
        const bool zombie = stat.mid(stat.lastIndexOf(')') + 2, 1) == "Z";
        if (command.contains("WMEncWorker") && command.contains(folder.toUtf8()) && !zombie)
            found.append(QFileInfo(dir).fileName().toLongLong());
    }
    return found;
}

} // namespace

class TestHostGoesAway : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_temp;
    QString m_driveC = m_temp.filePath("drive_c");
    QString m_clips = m_driveC + "/clips";

private slots:
    // A user's C: drive set up from the build's, with the profiles installed and a clip
    // long enough to kill its conversion in either pass.
    void initTestCase()
    {
        prepareUserDriveC(qEnvironmentVariable("CLIPFERRY_BUILD_DRIVE_C"), m_driveC);
        const QString shipped = m_driveC + "/Program Files/Clipferry/";
        for (const QString level : {"High", "Low", "Medium"}) {
            const QString name = "Kestrel " + level + ".prx";
            QFile::copy(shipped + name,
                        m_driveC + "/Program Files/Windows Media Components/Encoder/Profiles/"
                                + name);
        }
        QVERIFY(QDir().mkpath(m_clips));
        makeClip(m_clips + "/long.mpg", {.seconds = 120});
        QCOMPARE(::mkfifo(qPrintable(m_clips + "/pipe.mpg"), 0644), 0);
    }

    void killedMidFile_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("passes");
        QTest::addColumn<QString>("killAt"); // the progress line's beginning; "" at once
        const auto row = [](const char *host, const char *when, auto input, auto passes, auto at) {
            QTest::addRow("%s, %s", host, when)
                    << QString(host) << QString(input) << QString(passes) << QString(at);
        };
        for (const char *host : {"cf-encode", "program"}) {
            row(host, "one pass", "long", "1", "pass=1");
            row(host, "pass 1 of 2", "long", "2", "pass=1");
            row(host, "pass 2 of 2", "long", "2", "pass=2");
        }
        // The program reads no pipe (its file list shows none, and a batch refuses an entry
        // that became one); the worker's side of a read cut off by its host is the same.
        row("cf-encode", "reading the duration", "pipe", "2", "");
    }

    void killedMidFile()
    {
        QFETCH(QString, host);
        QFETCH(QString, input);
        QFETCH(QString, passes);
        QFETCH(QString, killAt);
        const QString output = m_clips + "/" + input + ".wmv";
        writeFile(output, Earlier);
        QProcess process;
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        if (host == "cf-encode")
            process.start(CF_ENCODE, {"--passes", passes, m_clips + "/" + input + ".mpg", output});
        else
            process.start(CF_BATCH_HOST, {m_driveC, input + ".mpg", passes});
        // cf-encode says "pass=1 size=...", cf-batch-host "pass=1 frames=...".
        const QRegularExpression progress("(^|\n)" + killAt + " ");
        QByteArray seen;
        QVERIFY2(QTest::qWaitFor(
                         [&] {
                             seen += process.readAllStandardOutput();
                             return (killAt.isEmpty() || QString(seen).contains(progress))
                                    && !workersFor(m_clips).isEmpty();
                         },
                         120000),
                 seen.right(2000).constData());
        process.kill();
        QVERIFY(process.waitForFinished());

        QVERIFY(QTest::qWaitFor([&] { return workersFor(m_clips).isEmpty(); }, 10000));
        QCOMPARE(contentOf(output), Earlier);
        QCOMPARE(entriesOf(m_clips).filter(QRegularExpression("^\\.clipferry-")), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestHostGoesAway)
#include "test_host_goes_away.moc"
