// Hosts of the encoder killed mid-file without a word: cf-encode and the program's window
// (cf-batch-host) in the second of two passes, and cf-encode while it reads the duration from
// a pipe nobody writes to. Nobody asked for a partial file, so the worker abandons it: its
// temporary goes, an earlier file of the final name stays byte for byte, and the worker ends.

#include "checks.h"
#include "clip_generator.h"
#include "window_fixture.h"

#include <QDirIterator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

namespace {

// Whether a worker whose command line names the folder still runs (one whose host died is
// nobody's child any more and may stay a zombie for a while).
bool workerRunsFor(const QString &folder)
{
    QDirIterator processes("/proc", QDir::Dirs | QDir::NoDotAndDotDot);
    while (processes.hasNext()) {
        const QString dir = processes.next();
        const QByteArray command = contentOf(dir + "/cmdline").replace('\0', ' ');
        const QByteArray stat = contentOf(dir + "/stat");
        if (command.contains("WMEncWorker") && command.contains(folder.toUtf8())
            && stat.mid(stat.lastIndexOf(')') + 2, 1) != "Z")
            return true;
    }
    return false;
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
    // A user's C: drive, profiles set up, a clip long enough for two passes.
    void initTestCase()
    {
        QVERIFY(installUserDrive(m_temp.path()));
        QVERIFY(QDir().mkpath(m_clips));
        makeClip(m_clips + "/long.mpg", {.seconds = 120});
        QCOMPARE(::mkfifo(qPrintable(m_clips + "/pipe.mpg"), 0644), 0);
    }

    void killedMidFile_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("killAt"); // the progress line's beginning; "" at once
        const auto row = [](const char *host, const char *when, auto input, auto at) {
            QTest::addRow("%s, %s", host, when) << QString(host) << QString(input) << QString(at);
        };
        // The worker notices its host's end the same way in each pass (one watch per encode,
        // which removes the temporary), whoever the host is.
        row("cf-encode", "pass 2 of 2", "long", "pass=2");
        row("program", "pass 2 of 2", "long", "pass=2");
        // The program reads no pipe (a batch refuses an entry that became one).
        row("cf-encode", "reading the duration", "pipe", "");
    }

    void killedMidFile()
    {
        QFETCH(QString, host);
        QFETCH(QString, input);
        QFETCH(QString, killAt);
        const QString output = m_clips + "/" + input + ".wmv";
        writeFile(output, "an earlier, good result");
        QProcess process;
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        if (host == "cf-encode")
            process.start(CF_ENCODE, {"--passes", "2", m_clips + "/" + input + ".mpg", output});
        else
            process.start(CF_BATCH_HOST, {m_driveC, input + ".mpg"});
        // cf-encode says "pass=2 size=...", cf-batch-host "pass=2 frames=...".
        const QRegularExpression progress("(^|\n)" + killAt + " ");
        QByteArray seen;
        QVERIFY2(QTest::qWaitFor(
                         [&] {
                             seen += process.readAllStandardOutput();
                             return (killAt.isEmpty() || QString(seen).contains(progress))
                                    && workerRunsFor(m_clips);
                         },
                         120000),
                 seen.right(2000).constData());
        process.kill();
        QVERIFY(process.waitForFinished());

        QVERIFY(QTest::qWaitFor([&] { return !workerRunsFor(m_clips); }, 10000));
        QCOMPARE(contentOf(output), "an earlier, good result");
        QCOMPARE(entriesOf(m_clips).filter(QRegularExpression("^\\.clipferry-")), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestHostGoesAway)
#include "test_host_goes_away.moc"
