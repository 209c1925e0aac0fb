#include "CommuneStore.h"
#include "search/NearestCommunes.h"
#include "store/DatabaseFile.h"

#include <QTemporaryDir>
#include <QtTest>

#include <vector>

// The communes nearest to a point, nearest first along the great circle.
class TestNearestCommunes : public QObject
{
    Q_OBJECT
private slots:
    void nearestFirst_data();
    void nearestFirst();

private:
    QTemporaryDir m_dir;
};

void TestNearestCommunes::nearestFirst_data()
{
    QTest::addColumn<QPointF>("lonLat");
    QTest::addColumn<int>("count");
    QTest::addColumn<std::vector<int>>("rows");
    // clang-format off
    QTest::newRow("Brest first") << QPointF(-4.4, 48.4) << 3 << std::vector<int>{1, 2, 0};
    QTest::newRow("Quimper first") << QPointF(-4.1, 48.0) << 2 << std::vector<int>{2, 1};
    QTest::newRow("more asked than there are") << QPointF(-4.1, 48.0) << 50 << std::vector<int>{2, 1, 0, 6, 7};
    // The same point twice: table order.
    QTest::newRow("tie") << QPointF(179.5, 10) << 2 << std::vector<int>{6, 7};
    // Across the date line, -179.9 is 0.2 degree away, 170 is ten.
    QTest::newRow("date line") << QPointF(179.9, 10) << 1 << std::vector<int>{6};
    // From the pole, the northernmost, whatever the longitudes.
    QTest::newRow("pole") << QPointF(0, 90) << 1 << std::vector<int>{0};
    QTest::newRow("none asked") << QPointF(-4.4, 48.4) << 0 << std::vector<int>{};
    QTest::newRow("no point") << QPointF(qQNaN(), 48.4) << 3 << std::vector<int>{};
    // clang-format on
}

void TestNearestCommunes::nearestFirst()
{
    QFETCH(QPointF, lonLat);
    QFETCH(int, count);
    QFETCH(std::vector<int>, rows);
    const QString path =
        writeNumberedStore(m_dir, {commune("PARIS", 2.3428, 48.85661, "75001", "PARIS"),
                                   commune("BREST", -4.50297, 48.40008, "29200", "FINISTERE"),
                                   commune("QUIMPER", -4.09679, 47.9885, "29000", "FINISTERE"),
                                   commune("NO LONGITUDE", QVariant(), 48.4, "29000", "FINISTERE"),
                                   commune("NOT A NUMBER", "ouest", 48.4, "29000", "FINISTERE"),
                                   commune("OFF THE GLOBE", -4.4, 148.4, "29000", "FINISTERE"),
                                   commune("EAST OF THE DATE LINE", -179.9, 10.0, "98000", "NULLE PART"),
                                   commune("WEST OF IT", -179.9, 10.0, "98000", "NULLE PART")});
    const std::unique_ptr<Database> db = openDatabase(path);
    const Recordset communes = db->openRecordset(QStringLiteral("insee1"));
    QCOMPARE(nearestCommunes(communes, lonLat, count), rows);
}

QTEST_GUILESS_MAIN(TestNearestCommunes)
#include "test_nearest_communes.moc"
