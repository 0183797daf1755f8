// The worker confined, shown from inside it: a library loaded into it (confinement_probe)
// tries at the first packet read to reach beyond the job: a file beside the input, another
// folder, a TCP port on this machine, a program. Confined, each attempt fails and the file is
// still made, also with the oldest Landlock; without Landlock the files are open but the
// rest fails; unconfined (the encode benchmark's measuring aid) each succeeds, which shows
// that the attempts would work if nothing stopped them.

#include "built_engine.h"
#include "checks.h"
#include "clip_generator.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <link.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// A sanitizer's runtime must come first among the libraries: a preloaded library built with
// it names it first.
int addSanitizerRuntime(dl_phdr_info *info, size_t, void *list)
{
    if (QByteArray(info->dlpi_name).contains("/libasan.so"))
        static_cast<QStringList *>(list)->prepend(QString::fromLocal8Bit(info->dlpi_name));
    return 0;
}

QString preloaded()
{
    QStringList list{CF_CONFINEMENT_PROBE};
    ::dl_iterate_phdr(addSanitizerRuntime, &list);
    return list.join(':');
}

// A port on 127.0.0.1 that accepts connections; 0 if none could be opened.
int listeningPort(int &fd)
{
    fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    auto *generic = reinterpret_cast<sockaddr *>(&address);
    if (::bind(fd, generic, size) != 0 || ::listen(fd, 4) != 0
        || ::getsockname(fd, generic, &size) != 0)
        return 0;
    return ntohs(address.sin_port);
}

} // namespace

class TestWorkerConfinement : public QObject
{
    Q_OBJECT

private slots:
    void reachesNothingButItsJob_data()
    {
        QTest::addColumn<QString>("setting"); // of the worker's environment
        QTest::addColumn<QStringList>("outcomes");
        const QStringList denied{"denied", "denied", "denied", "denied"};
        QTest::newRow("confined") << QString() << denied;
        QTest::newRow("Landlock ABI 1") << QString("WMENC_LANDLOCK_ABI=1") << denied;
        QTest::newRow("no Landlock: files open") << QString("WMENC_LANDLOCK_ABI=0")
                                                 << QStringList{"done", "done", "denied", "denied"};
        QTest::newRow("unconfined")
                << QString("WMENC_UNCONFINED=1") << QStringList{"done", "done", "done", "done"};
    }

    void reachesNothingButItsJob()
    {
        QFETCH(QString, setting);
        QFETCH(QStringList, outcomes);
        QTemporaryDir dir;
        for (const char *folder : {"in", "out", "elsewhere"})
            QVERIFY(QDir(dir.path()).mkdir(folder));
        const QString input = dir.filePath("in/clip.mpg");
        makeClip(input, {.seconds = 4});
        writeFile(dir.filePath("in/beside.txt"), "another file of the user");
        int server = -1;
        const int port = listeningPort(server);
        QVERIFY(port > 0);

        QProcess worker;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("LD_PRELOAD", preloaded());
        environment.insert("CF_PROBE_READ", dir.filePath("in/beside.txt"));
        environment.insert("CF_PROBE_WRITE", dir.filePath("elsewhere/planted"));
        environment.insert("CF_PROBE_PORT", QString::number(port));
        if (!setting.isEmpty())
            environment.insert(setting.section('=', 0, 0), setting.section('=', 1));
        worker.setProcessEnvironment(environment);
        QStringList probe;
        QByteArray status;
        connect(&worker, &QProcess::readyReadStandardError, this, [&] {
            if (status.isEmpty())
                status = contentOf(QString("/proc/%1/status").arg(worker.processId()));
            probe += QString::fromUtf8(worker.readAllStandardError()).split('\n');
        });
        const QString output = dir.filePath("out/clip.wmv");
        worker.start(builtWorker(), workerEncodeArguments(input, output, 1));
        QVERIFY(worker.waitForFinished(60000));
        ::close(server);

        QStringList expected;
        for (const QString attempt : {"read", "write", "connect", "spawn"})
            expected << "probe " + attempt + " " + outcomes[expected.size()];
        QCOMPARE(probe.filter(QRegularExpression("^probe ")), expected);
        QCOMPARE(QFile::exists(dir.filePath("elsewhere/planted")), outcomes[1] == "done");
        QCOMPARE(worker.exitCode(), 0);
        QVERIFY(QFile::exists(output));
        if (outcomes[3] == "denied")
            QVERIFY2(status.contains("\nNoNewPrivs:\t1\n") && status.contains("\nSeccomp:\t2\n"),
                     status.constData());
    }
};

QTEST_GUILESS_MAIN(TestWorkerConfinement)
#include "test_worker_confinement.moc"
