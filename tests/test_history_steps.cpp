#include "history/CommuneEvents.h"
#include "history/CommuneStates.h"
#include "history/HistorySteps.h"

#include <QtTest>

// The steps of a former commune's way as the store keeps them, and how they
// read: dates in French, the whole way and its short form.

namespace {

const HistoryStep fusion{QStringLiteral("fusion"), QStringLiteral("2000-02-28"), QStringLiteral("CHERBOURG OCTEVILLE"),
                         QStringLiteral("50129")};
const HistoryStep nouvelle{QStringLiteral("commune nouvelle"), QStringLiteral("2016-01-01"),
                           QStringLiteral("CHERBOURG EN COTENTIN"), QStringLiteral("50129")};

} // namespace

Q_DECLARE_METATYPE(std::vector<HistoryStep>)

class TestHistorySteps : public QObject
{
    Q_OBJECT
private slots:
    void parsed_data();
    void parsed();
    void storedReadsBack();
    void frenchDates_data();
    void frenchDates();
    void ways_data();
    void ways();
    void formerDepartements_data();
    void formerDepartements();
    void datePeriods_data();
    void datePeriods();
};

void TestHistorySteps::parsed_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<std::vector<HistoryStep>>("steps");
    const QString one = QStringLiteral("fusion|2000-02-28|CHERBOURG OCTEVILLE|50129");
    const QString two = one + QStringLiteral(";commune nouvelle|2016-01-01|CHERBOURG EN COTENTIN|50129");
    QTest::newRow("none") << QString() << std::vector<HistoryStep>{};
    QTest::newRow("one") << one << std::vector<HistoryStep>{fusion};
    QTest::newRow("two, the oldest first") << two << std::vector<HistoryStep>{fusion, nouvelle};
    QTest::newRow("a damaged part is passed over")
        << QStringLiteral("fusion|2000-02-28|CHERBOURG;") + two.mid(one.size() + 1)
        << std::vector<HistoryStep>{nouvelle};
    QTest::newRow("five fields are no step") << one + QStringLiteral("|x") << std::vector<HistoryStep>{};
}

void TestHistorySteps::parsed()
{
    QFETCH(QString, stored);
    QFETCH(std::vector<HistoryStep>, steps);
    QVERIFY(parseHistorySteps(stored) == steps);
}

void TestHistorySteps::storedReadsBack()
{
    const std::vector<HistoryStep> steps{fusion, nouvelle};
    QVERIFY(parseHistorySteps(storedHistorySteps(steps)) == steps);
    QCOMPARE(storedHistorySteps({}), QString());
}

void TestHistorySteps::frenchDates_data()
{
    QTest::addColumn<QString>("iso");
    QTest::addColumn<QString>("french");
    QTest::newRow("the first of a month") << "2016-01-01"
                                          << "1er janvier 2016";
    QTest::newRow("an accented month") << "2000-02-28"
                                       << "28 février 2000";
    QTest::newRow("the last month") << "1973-12-29"
                                    << "29 décembre 1973";
    QTest::newRow("no such day") << "1973-02-30"
                                 << "1973-02-30";
    QTest::newRow("a year alone") << "1973"
                                  << "1973";
    QTest::newRow("empty") << ""
                           << "";
}

void TestHistorySteps::frenchDates()
{
    QFETCH(QString, iso);
    QFETCH(QString, french);
    QCOMPARE(frenchDate(iso), french);
}

void TestHistorySteps::ways_data()
{
    QTest::addColumn<std::vector<HistoryStep>>("steps");
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("whole");
    QTest::addColumn<QString>("shortened");
    const QString two = QStringLiteral("OCTEVILLE → CHERBOURG OCTEVILLE (fusion, 28 février 2000) → CHERBOURG EN "
                                       "COTENTIN (commune nouvelle, 1er janvier 2016)");
    QTest::newRow("two steps") << std::vector<HistoryStep>{fusion, nouvelle} << "CHERBOURG EN COTENTIN" << two
                               << "OCTEVILLE → … → CHERBOURG EN COTENTIN (fusion, 2000 ; commune nouvelle, 2016)";
    const QString one = QStringLiteral("OCTEVILLE → CHERBOURG OCTEVILLE (fusion, 28 février 2000)");
    QTest::newRow("one step, whole in both") << std::vector<HistoryStep>{fusion} << "CHERBOURG OCTEVILLE" << one << one;
    QTest::newRow("the last step not today's name")
        << std::vector<HistoryStep>{fusion} << "CHERBOURG EN COTENTIN"
        << one + QStringLiteral(" → CHERBOURG EN COTENTIN") << one + QStringLiteral(" → CHERBOURG EN COTENTIN");
    QTest::newRow("no step") << std::vector<HistoryStep>{} << "CHERBOURG EN COTENTIN"
                             << "OCTEVILLE → CHERBOURG EN COTENTIN"
                             << "OCTEVILLE → CHERBOURG EN COTENTIN";
}

void TestHistorySteps::ways()
{
    QFETCH(std::vector<HistoryStep>, steps);
    QFETCH(QString, current);
    QFETCH(QString, whole);
    QFETCH(QString, shortened);
    QCOMPARE(wayText(QStringLiteral("OCTEVILLE"), steps, current), whole);
    QCOMPARE(shortWayText(QStringLiteral("OCTEVILLE"), steps, current), shortened);
}

void TestHistorySteps::formerDepartements_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("departement");
    QTest::newRow("Seine-et-Oise, the day before") << "78646"
                                                   << "1967-12-31"
                                                   << "Seine-et-Oise";
    QTest::newRow("Yvelines, the day of") << "78646"
                                          << "1968-01-01"
                                          << "";
    QTest::newRow("Seine") << "75056"
                           << "1950-01-01"
                           << "Seine";
    QTest::newRow("Corse, the day before") << "20004"
                                           << "1975-12-31"
                                           << "Corse";
    QTest::newRow("2A, never Corse") << "2A004"
                                     << "1975-12-31"
                                     << "";
    QTest::newRow("Corse no more") << "20004"
                                   << "1976-01-01"
                                   << "";
    QTest::newRow("any other") << "50129"
                               << "1950-01-01"
                               << "";
}

void TestHistorySteps::formerDepartements()
{
    QFETCH(QString, code);
    QFETCH(QString, date);
    QFETCH(QString, departement);
    QCOMPARE(formerDepartement(code, date), departement);
}

void TestHistorySteps::datePeriods_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("first"); // empty: no date
    QTest::addColumn<QString>("last");
    QTest::newRow("a year") << "1950"
                            << "1950-01-01"
                            << "1950-12-31";
    QTest::newRow("a month") << "1968-02"
                             << "1968-02-01"
                             << "1968-02-29";
    QTest::newRow("a month of a common year") << "1967-02"
                                              << "1967-02-01"
                                              << "1967-02-28";
    QTest::newRow("December") << "1975-12"
                              << "1975-12-01"
                              << "1975-12-31";
    QTest::newRow("a day") << "1976-01-01"
                           << "1976-01-01"
                           << "1976-01-01";
    QTest::newRow("blanks around") << " 2010 "
                                   << "2010-01-01"
                                   << "2010-12-31";
    QTest::newRow("no such month") << "1950-13"
                                   << ""
                                   << "";
    QTest::newRow("no such day") << "1950-02-30"
                                 << ""
                                 << "";
    QTest::newRow("month zero") << "1950-00"
                                << ""
                                << "";
    QTest::newRow("two digits") << "50"
                                << ""
                                << "";
    QTest::newRow("French order") << "01/01/1950"
                                  << ""
                                  << "";
    QTest::newRow("words") << "hier"
                           << ""
                           << "";
    QTest::newRow("empty") << ""
                           << ""
                           << "";
}

void TestHistorySteps::datePeriods()
{
    QFETCH(QString, text);
    QFETCH(QString, first);
    QFETCH(QString, last);
    const std::optional<DatePeriod> period = parseDatePeriod(text);
    QCOMPARE(period.has_value(), !first.isEmpty());
    if (period) {
        QCOMPARE(period->first, first);
        QCOMPARE(period->last, last);
    }
}

QTEST_GUILESS_MAIN(TestHistorySteps)
#include "test_history_steps.moc"
