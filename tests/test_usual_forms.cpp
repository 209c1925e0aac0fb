#include "names/UsualForms.h"

#include <QTest>

// The ways lists write a name, read one form at a time.
class TestUsualForms : public QObject
{
    Q_OBJECT

private slots:
    void posteSpellings_data();
    void posteSpellings();
    void readings();
};

void TestUsualForms::posteSpellings_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("spelling");
    const int other = int(PosteSpelling::Other);
    const int abbreviated = int(PosteSpelling::Abbreviated);
    const int cut = int(PosteSpelling::Cut);
    // clang-format off
    QTest::newRow("S for SUR") << "RAISSAC S LAMPY" << "RAISSAC SUR LAMPY" << abbreviated;
    QTest::newRow("short words left out") << "ESCUEILLENS ST JUST BELENGARD" << "ESCUEILLENS ET ST JUST DE BELENGARD" << abbreviated;
    QTest::newRow("words shortened") << "MONTIGNY MORNAY VIL S VINGEANNE" << "MONTIGNY MORNAY VILLENEUVE SUR VINGEANNE" << abbreviated;
    QTest::newRow("cut inside a word") << "VILLENEUVE RENNEVILLE CH" << "VILLENEUVE RENNEVILLE CHEVIGNY" << cut;
    QTest::newRow("cut at a word") << "LA CROIX" << "LA CROIX SUR ROUDOULE" << cut;
    QTest::newRow("a dot ends a short word") << "LES CHATELLIERS N. DAME" << "LES CHATELLIERS NOTRE DAME" << abbreviated;
    QTest::newRow("plural saints") << "LES STES MARIES DE LA MER" << "LES SAINTES MARIES DE LA MER" << abbreviated;
    QTest::newRow("a long word left out") << "VILLENEUVE CHEVIGNY" << "VILLENEUVE RENNEVILLE CHEVIGNY" << other;
    QTest::newRow("longer than the name") << "UZEL PRES L OUST" << "UZEL" << other;
    QTest::newRow("a word that begins none") << "FLEURY D AUDE" << "FLEURY" << other;
    QTest::newRow("words out of order") << "LAMPY RAISSAC" << "RAISSAC SUR LAMPY" << other;
    QTest::newRow("a short word of the label is kept") << "LA ROCHE" << "ROCHE" << other;
    QTest::newRow("a dot alone") << "ST ." << "ST DENIS" << other;
    QTest::newRow("empty") << "" << "PARIS" << other;
    // clang-format on
}

void TestUsualForms::posteSpellings()
{
    QFETCH(QString, label);
    QFETCH(QString, name);
    QFETCH(int, spelling);
    QCOMPARE(int(posteSpelling(label, name)), spelling);
}

void TestUsualForms::readings()
{
    // The article last, in any case and spacing; a bracket that holds no article is no article.
    QCOMPARE(articleInFront(u"FRETTE SUR SEINE (LA)"), QStringLiteral("LA FRETTE SUR SEINE"));
    QCOMPARE(articleInFront(u"Havre (Le)"), QStringLiteral("Le Havre"));
    QCOMPARE(articleInFront(u"HERBERGEMENT (L')"), QStringLiteral("L' HERBERGEMENT"));
    QCOMPARE(articleInFront(u"ILE-D AIX (L )"), QStringLiteral("L ILE-D AIX"));
    QCOMPARE(articleInFront(u"CHATEAU CHINON (VILLE)"), QString());
    QCOMPARE(articleInFront(u"(LA)"), QString());

    // CEDEX lines: with or without the code before, a number after or none.
    const std::optional<CedexLine> withCode = readCedexLine(u"69421 LYON CEDEX 03");
    QVERIFY(withCode);
    QCOMPARE(withCode->name, QStringLiteral("LYON"));
    QCOMPARE(withCode->postcode, QStringLiteral("69421"));
    const std::optional<CedexLine> numbered = readCedexLine(u"Aix en Provence Cedex 3");
    QVERIFY(numbered);
    QCOMPARE(numbered->name, QStringLiteral("Aix en Provence"));
    QCOMPARE(numbered->postcode, QString());
    QVERIFY(!readCedexLine(u"CEDEX"));
    QVERIFY(!readCedexLine(u"LYON CEDEX 123"));
    QVERIFY(!readCedexLine(u"CEDEXVILLE"));

    // Postal codes as spreadsheets damage them; four digits only get their 0.
    QCOMPARE(readPostcode(u"4180").code, QStringLiteral("04180"));
    QVERIFY(readPostcode(u"4180").zeroAdded);
    QCOMPARE(readPostcode(u" 01 350 ").code, QStringLiteral("01350"));
    QVERIFY(!readPostcode(u"01350").zeroAdded);
    QCOMPARE(readPostcode(u"418").code, QStringLiteral("418"));
    QVERIFY(!readPostcode(u"418").zeroAdded);
    QCOMPARE(readPostcode(u"2A004").code, QStringLiteral("2A004"));
}

QTEST_APPLESS_MAIN(TestUsualForms)
#include "test_usual_forms.moc"
