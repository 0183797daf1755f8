#include <QtTest>
class TestPlatform : public QObject { Q_OBJECT private slots: void placeholder() {} };
QTEST_MAIN(TestPlatform)
#include "test_platform.moc"
