#include "communes/DatabaseError.h"
#include "communes/Recordset.h"

#include <QtTest>

class TestRecordset : public QObject
{
    Q_OBJECT
private slots:
    void placeholder() { QVERIFY(true); }
};

QTEST_GUILESS_MAIN(TestRecordset)
#include "test_recordset.moc"
