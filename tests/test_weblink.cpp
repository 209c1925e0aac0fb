#include "OnlineMapTemplate.h"
#include "weblink/OnlineMapAddress.h"

#include <QUrlQuery>
#include <QtTest>

class TestWeblink : public QObject
{
    Q_OBJECT
private slots:
    void text1Address_data();
    void text1Address();
    void openedUrl_data();
    void openedUrl();
    void queryItemsKeepTheirOrder();
    void text1HeldSomethingElse();
    void pressingTwiceOpensTheSameAddressTwice();
};

void TestWeblink::text1Address_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("expected");
    // clang-format off
    QTest::newRow("one word") << "PARIS"
                              << "http://www.viamichelin.fr/viamichelin/fra/dyn/controller/mapPerformPage"
                                 "?expressMap=false&act=&pim=true&strAddress=&strCP=&strLocation=PARIS"
                                 "%20&%20%20&strCountry=1424&x=33&y=11";
    QTest::newRow("two words keep their blank") << "ST DENIS" << addressPrefix + "ST DENIS" + addressSuffix;
    QTest::newRow("double blank kept") << "LE  MANS" << addressPrefix + "LE  MANS" + addressSuffix;
    QTest::newRow("empty caption") << "" << addressPrefix + addressSuffix;
    QTest::newRow("special characters inserted raw") << "A&B#C?D" << addressPrefix + "A&B#C?D" + addressSuffix;
    // clang-format on
}

void TestWeblink::text1Address()
{
    QFETCH(QString, caption);
    QFETCH(QString, expected);
    QCOMPARE(onlineMapAddress(caption), expected);
}

void TestWeblink::openedUrl_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("encodedName");
    // clang-format off
    QTest::newRow("one word") << "PARIS"
                              << "PARIS";
    QTest::newRow("blank") << "ST DENIS"
                           << "ST%20DENIS";
    QTest::newRow("ampersand") << "A&B"
                               << "A%26B";
    QTest::newRow("hash") << "A#B"
                          << "A%23B";
    QTest::newRow("question mark") << "A?B"
                                   << "A%3FB";
    QTest::newRow("percent") << "100%"
                             << "100%25";
    QTest::newRow("percent escape lookalike") << "A%20B"
                                              << "A%2520B";
    QTest::newRow("plus and equals") << "A+B=C"
                                     << "A%2BB%3DC";
    QTest::newRow("non-ASCII as UTF-8") << QStringLiteral("ÉVRY-ÎLE")
                                        << "%C3%89VRY-%C3%8ELE";
    QTest::newRow("apostrophe and slash") << "L'A/B"
                                          << "L%27A%2FB";
    // clang-format on
}

void TestWeblink::openedUrl()
{
    QFETCH(QString, caption);
    QFETCH(QString, encodedName);
    const QUrl url = onlineMapUrl(onlineMapAddress(caption), caption);
    QVERIFY2(url.isValid(), qPrintable(url.errorString()));
    QCOMPARE(QString::fromLatin1(url.toEncoded()), addressPrefix + encodedName + addressSuffix);
    QCOMPARE(url.toString(QUrl::FullyEncoded), addressPrefix + encodedName + addressSuffix);
}

void TestWeblink::queryItemsKeepTheirOrder()
{
    // A name with '&' and '=' must stay inside strLocation.
    const QString caption = QStringLiteral("A&strCountry=9");
    const QUrlQuery query(onlineMapUrl(onlineMapAddress(caption), caption));
    const auto items = query.queryItems(QUrl::FullyDecoded);
    const QStringList keys = [&] {
        QStringList k;
        for (const auto &item : items)
            k << item.first;
        return k;
    }();
    QCOMPARE(keys, QStringList({"expressMap", "act", "pim", "strAddress", "strCP", "strLocation", "  ", "strCountry",
                                "x", "y"}));
    QCOMPARE(query.queryItemValue("strLocation", QUrl::FullyDecoded), caption + " ");
    QCOMPARE(query.queryItemValue("strCountry"), QStringLiteral("1424"));
}

void TestWeblink::text1HeldSomethingElse()
{
    const QUrl url = onlineMapUrl(QStringLiteral("http://example.org/a%20b"), QStringLiteral("PARIS"));
    QCOMPARE(url.toEncoded(), QByteArray("http://example.org/a%20b"));
}

void TestWeblink::pressingTwiceOpensTheSameAddressTwice()
{
    QList<QUrl> opened;
    QString text1;
    const QString caption = QStringLiteral("ST DENIS");
    for (int press = 0; press < 2; ++press) {
        text1 = onlineMapAddress(caption);
        opened << onlineMapUrl(text1, caption);
    }
    QCOMPARE(text1, addressPrefix + "ST DENIS" + addressSuffix);
    QCOMPARE(opened.size(), 2);
    QCOMPARE(opened.at(0), opened.at(1));
    QCOMPARE(opened.at(1).toEncoded(), (addressPrefix + "ST%20DENIS" + addressSuffix).toLatin1());
}

QTEST_GUILESS_MAIN(TestWeblink)
#include "test_weblink.moc"
