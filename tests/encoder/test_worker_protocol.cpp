// The worker's "stats" line as the worker writes it, read back by the host: every field lands
// in its own place, whatever its size.

#include "encoder/worker_protocol.h"

#include <QTest>

Q_DECLARE_METATYPE(cf_progress)

class TestWorkerProtocol : public QObject
{
    Q_OBJECT

private slots:
    void statisticsTravelWhole_data()
    {
        QTest::addColumn<cf_progress>("written"); // pass, bytes, ms, bits per second, frames
        QTest::newRow("analysis pass") << cf_progress{1, 0, 0, 0, 17};
        QTest::newRow("each field its own") << cf_progress{2, 5000000000, 7200000, 301234, 9};
        QTest::newRow("widest") << cf_progress{2, INT64_MAX, INT64_MAX, INT32_MAX, INT64_MAX};
    }

    void statisticsTravelWhole()
    {
        QFETCH(cf_progress, written);
        const worker_protocol::Line line = worker_protocol::parse(
                QByteArray::fromStdString(worker_protocol::statsLine(written)));
        QCOMPARE(line.kind, worker_protocol::LineKind::Stats);
        QCOMPARE(line.statistics.pass, written.pass);
        QCOMPARE(line.statistics.archiveBytes, written.archiveBytes);
        QCOMPARE(line.statistics.archiveMs, written.archiveMs);
        QCOMPARE(line.statistics.bitRate, written.bitRate);
        QCOMPARE(line.statistics.frames, written.frames);
    }
};

QTEST_GUILESS_MAIN(TestWorkerProtocol)
#include "test_worker_protocol.moc"
