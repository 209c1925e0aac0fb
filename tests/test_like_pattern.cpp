#include "names/LikePattern.h"
#include "names/NamePattern.h"
#include "search/Query.h"

#include <QtTest>

class TestLikePattern : public QObject
{
    Q_OBJECT

private slots:
    void matching_data();
    void matching();
    void malformed_data();
    void malformed();
    void errorIsOptional();
    void lengthBound_data();
    void lengthBound();
    void pathologicalInputsComplete_data();
    void pathologicalInputsComplete();
    void controlCharacters();
    void oneCompiledPatternServesManyNames();
};

void TestLikePattern::matching_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("expected");

    // Literal text: the whole name, code for code.
    // clang-format off
    QTest::newRow("exact name") << "PARIS" << "PARIS" << true;
    QTest::newRow("prefix is not enough") << "PARIS" << "PARISOT" << false;
    QTest::newRow("suffix is not enough") << "PARIS" << "CORMEILLES EN PARISIS" << false;
    QTest::newRow("longer pattern") << "PARISOT" << "PARIS" << false;
    QTest::newRow("lower case pattern") << "paris" << "PARIS" << false;
    QTest::newRow("lower case name") << "PARIS" << "Paris" << false;
    QTest::newRow("accent in name") << "EVRY" << "ÉVRY" << false;
    QTest::newRow("accent in pattern") << "ÉVRY" << "EVRY" << false;
    QTest::newRow("accent both") << "ÉVRY" << "ÉVRY" << true;
    QTest::newRow("no trimming pattern") << "PARIS " << "PARIS" << false;
    QTest::newRow("no trimming name") << "PARIS" << " PARIS" << false;
    QTest::newRow("hyphen kept") << "SAINT-DENIS" << "SAINT DENIS" << false;
    QTest::newRow("apostrophe kept") << "L'ISLE" << "L'ISLE" << true;
    QTest::newRow("empty matches empty") << "" << "" << true;
    QTest::newRow("empty pattern") << "" << "A" << false;
    QTest::newRow("empty name") << "A" << "" << false;
    QTest::newRow("lone close bracket") << "A]B" << "A]B" << true;
    QTest::newRow("lone close bracket other") << "A]B" << "AXB" << false;
    QTest::newRow("exclamation outside list") << "A!" << "A!" << true;
    QTest::newRow("hyphen outside list") << "A-Z" << "A-Z" << true;
    QTest::newRow("hyphen outside list is no range") << "A-Z" << "M" << false;

    // ?
    QTest::newRow("question one char") << "PAR?S" << "PARIS" << true;
    QTest::newRow("question needs a char") << "PARIS?" << "PARIS" << false;
    QTest::newRow("question only one") << "P?S" << "PARIS" << false;
    QTest::newRow("question any code") << "?" << "\x7f" << true;
    QTest::newRow("question accent") << "?VRY" << "ÉVRY" << true;

    // *
    QTest::newRow("star alone empty") << "*" << "" << true;
    QTest::newRow("star alone") << "*" << "ANY NAME" << true;
    QTest::newRow("star prefix") << "SAINT*" << "SAINT-MALO" << true;
    QTest::newRow("star prefix exact") << "SAINT*" << "SAINT" << true;
    QTest::newRow("star prefix miss") << "SAINT*" << "SAIN" << false;
    QTest::newRow("star suffix") << "*VILLE" << "ABBEVILLE" << true;
    QTest::newRow("star suffix miss") << "*VILLE" << "ABBEVILLES" << false;
    QTest::newRow("star both") << "*BOU*" << "LIBOURNE" << true;
    QTest::newRow("star middle empty run") << "AB*CD" << "ABCD" << true;
    QTest::newRow("star head tail overlap") << "AB*BC" << "ABC" << false;
    QTest::newRow("stars in a row") << "A***B" << "AXYB" << true;
    QTest::newRow("star later occurrence") << "*AB*AB" << "XABYABZAB" << true;
    QTest::newRow("star needs all parts") << "*A*B*C*" << "CBA" << false;
    QTest::newRow("star ordered parts") << "*A*B*C*" << "XAXBXCX" << true;
    QTest::newRow("star with question") << "*?B" << "B" << false;
    QTest::newRow("star with question fits") << "*?B" << "AB" << true;
    QTest::newRow("star backtrack inside middle") << "*AAB*" << "AAAAB" << true;
    QTest::newRow("star middle too long for name") << "*AB*B" << "AB" << false;
    QTest::newRow("star middle must end before tail") << "*AB*B" << "XAB" << false;
    QTest::newRow("star middle then tail") << "*AB*B" << "ABB" << true;
    QTest::newRow("star wildcard middle") << "*A?B*" << "XAAXBY" << true;
    QTest::newRow("star wildcard middle miss") << "*A?B*" << "XABY" << false;
    QTest::newRow("star wildcard middle before tail") << "*A?*B" << "XAB" << false;
    QTest::newRow("star wildcard middle fits tail") << "*A?*B" << "AXB" << true;
    QTest::newRow("star list middle") << "*[AB]C*" << "ABXBC" << true;
    QTest::newRow("star list middle miss") << "*[AB]C*" << "CAB" << false;
    // Each part between stars takes its own characters: no two parts may
    // share one, whether literal or wildcard. The padded names are long
    // enough for every part, so only the overlap can refuse them.
    QTest::newRow("star middles overlap") << "*AB*BC*" << "ABC" << false;
    QTest::newRow("star middles side by side") << "*AB*BC*" << "ABBC" << true;
    QTest::newRow("star middles overlap by three") << "*ABA*ABA*" << "ABABA" << false;
    QTest::newRow("star middles repeated") << "*ABA*ABA*" << "ABAABA" << true;
    QTest::newRow("star three middles overlap") << "*AA*AA*AA*" << "AAAA" << false;
    QTest::newRow("star three middles fit") << "*AA*AA*AA*" << "AAAAAA" << true;
    QTest::newRow("star wildcard middles overlap") << "*A?*?B*" << "AXB" << false;
    QTest::newRow("star wildcard middles apart") << "*A?*?B*" << "AXYB" << true;
    QTest::newRow("star head and middle overlap") << "AB*BC*" << "ABC" << false;
    QTest::newRow("star middle and tail overlap") << "*AB*BC" << "ABC" << false;
    QTest::newRow("star middles overlap, padded") << "*AB*BC*" << "ABCDE" << false;
    QTest::newRow("star middles overlap by three, padded") << "*ABA*ABA*" << "ABABAXX" << false;
    QTest::newRow("star three middles overlap, padded") << "*AA*AA*AA*" << "AAAAXX" << false;
    QTest::newRow("star wildcard middles overlap, padded") << "*A?*?B*" << "AXBYZ" << false;
    QTest::newRow("star head and middle overlap, padded") << "AB*BC*" << "ABCDE" << false;
    QTest::newRow("star middle and tail overlap, padded") << "*AB*BC" << "XABC" << false;
    // Middles with wildcards are found by one pass with a bit per token:
    // past 64 tokens the bits run over several words, and above Latin-1 the
    // characters are sorted into classes by the pattern's own boundaries.
    QTest::newRow("middle of 71 tokens, found") << "*" + QString(70, u'?') + "B*" << QString(75, u'A') + "BC" << true;
    QTest::newRow("middle of 71 tokens, one short") << "*" + QString(70, u'?') + "B*" << QString(69, u'A') + "B" + QString(10, u'A') << false;
    QTest::newRow("middle of 130 tokens, last one off") << "*" + QString(129, u'A') + "[B]*" << QString(129, u'A') + "C" + QString(100, u'A') + "B" << false;
    QTest::newRow("middle of 130 tokens, found later") << "*" + QString(129, u'A') + "[B]*" << QString(140, u'A') + "B" << true;
    QTest::newRow("middle range above Latin-1, in") << "*[Ā-ž]X*" << "AŒXB" << true;
    QTest::newRow("middle range above Latin-1, below it") << "*[Ā-ž]X*" << "AÉXB" << false;
    QTest::newRow("middle range above Latin-1, above it") << "*[Ā-ž]X*" << "A’XB" << false;
    QTest::newRow("middle negated range above Latin-1") << "*?[!Ā-ž]*" << "Œœ’" << true;
    QTest::newRow("middle letter above Latin-1") << "*?’*" << "L’ISLE" << true;
    QTest::newRow("middle letter above Latin-1, next code") << "*?’*" << "L‘ISLE" << false;

    // #
    QTest::newRow("digit") << "#" << "7" << true;
    QTest::newRow("digit zero") << "#" << "0" << true;
    QTest::newRow("digit nine") << "#" << "9" << true;
    QTest::newRow("digit not letter") << "#" << "A" << false;
    QTest::newRow("digit not slash") << "#" << "/" << false;
    QTest::newRow("digit not colon") << "#" << ":" << false;
    QTest::newRow("digit not arabic indic") << "#" << QString(QChar(0x0663)) << false;
    QTest::newRow("digit not fullwidth") << "#" << QString(QChar(0xFF13)) << false;
    QTest::newRow("digits postal") << "75###" << "75016" << true;

    // [list] and ranges
    QTest::newRow("list member") << "[ABC]" << "B" << true;
    QTest::newRow("list non member") << "[ABC]" << "D" << false;
    QTest::newRow("list one char only") << "[ABC]" << "AB" << false;
    QTest::newRow("list in name") << "P[AO]RIS" << "PORIS" << true;
    QTest::newRow("range inside") << "[A-Z]" << "M" << true;
    QTest::newRow("range low end") << "[A-Z]" << "A" << true;
    QTest::newRow("range high end") << "[A-Z]" << "Z" << true;
    QTest::newRow("range case exact") << "[A-Z]" << "m" << false;
    QTest::newRow("range accent outside") << "[A-Z]" << "É" << false;
    QTest::newRow("range and singles") << "[A-CX]" << "X" << true;
    QTest::newRow("range and singles miss") << "[A-CX]" << "D" << false;
    QTest::newRow("two ranges") << "[A-C0-9]" << "5" << true;
    QTest::newRow("reversed range empty") << "[Z-A]" << "M" << false;
    QTest::newRow("reversed range ends") << "[Z-A]" << "Z" << false;
    QTest::newRow("reversed range beside single") << "[Z-AQ]" << "Q" << true;
    QTest::newRow("negated reversed range") << "[!Z-A]" << "M" << true;
    QTest::newRow("single char range") << "[M-M]" << "M" << true;
    QTest::newRow("hyphen first literal") << "[-A]" << "-" << true;
    QTest::newRow("hyphen first other") << "[-A]" << "A" << true;
    QTest::newRow("hyphen first no range") << "[-A]" << "," << false;
    QTest::newRow("hyphen last literal") << "[A-]" << "-" << true;
    QTest::newRow("hyphen last no range") << "[A-]" << "B" << false;
    QTest::newRow("hyphen alone") << "[-]" << "-" << true;
    QTest::newRow("hyphen after range") << "[A-C-]" << "-" << true;
    QTest::newRow("star literal in list") << "[*]" << "*" << true;
    QTest::newRow("star literal not wildcard") << "[*]" << "A" << false;
    QTest::newRow("question literal in list") << "[?]" << "?" << true;
    QTest::newRow("question literal not wildcard") << "[?]" << "A" << false;
    QTest::newRow("hash literal in list") << "[#]" << "#" << true;
    QTest::newRow("hash literal not digit") << "[#]" << "5" << false;
    QTest::newRow("open bracket in list") << "[[]" << "[" << true;
    QTest::newRow("exclamation not first") << "[A!]" << "!" << true;
    QTest::newRow("close bracket after list") << "[A]]" << "A]" << true;
    QTest::newRow("accent in list") << "[ÉE]VRY" << "ÉVRY" << true;

    // [!list]
    QTest::newRow("negated member") << "[!ABC]" << "B" << false;
    QTest::newRow("negated non member") << "[!ABC]" << "D" << true;
    QTest::newRow("negated needs a char") << "[!ABC]" << "" << false;
    QTest::newRow("negated range") << "[!A-Z]" << "5" << true;
    QTest::newRow("negated range member") << "[!A-Z]" << "Q" << false;
    QTest::newRow("negated hyphen first") << "[!-]" << "-" << false;
    QTest::newRow("negated hyphen first other") << "[!-]" << "A" << true;
    QTest::newRow("negated exclamation") << "[!!]" << "!" << false;

    // Everything together.
    QTest::newRow("mixed") << "SAINT[!-]?*##" << "SAINTE MARIE 97" << true;
    QTest::newRow("mixed miss") << "SAINT[!-]?*##" << "SAINT-DENIS 93" << false;
    // clang-format on
}

void TestLikePattern::matching()
{
    QFETCH(QString, pattern);
    QFETCH(QString, name);
    QFETCH(bool, expected);

    QString error;
    const auto compiled = LikePattern::compile(pattern, &error);
    QVERIFY2(compiled.has_value(), qPrintable(error));
    QCOMPARE(likeMatch(name, *compiled), expected);
}

void TestLikePattern::malformed_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("message");

    const QString unclosed = "Motif de recherche invalide : crochet non fermé";
    const QString empty = "Motif de recherche invalide : liste vide";
    // clang-format off
    QTest::newRow("open bracket alone") << "[" << unclosed;
    QTest::newRow("open list") << "SAINT[AB" << unclosed;
    QTest::newRow("open negated") << "[!" << unclosed;
    QTest::newRow("open range") << "[A-" << unclosed;
    QTest::newRow("open range end") << "[A-Z" << unclosed;
    QTest::newRow("second list open") << "[A]B[C" << unclosed;
    QTest::newRow("empty list") << "[]" << empty;
    QTest::newRow("empty list in name") << "PA[]RIS" << empty;
    QTest::newRow("empty negated list") << "[!]" << empty;
    // clang-format on
}

void TestLikePattern::malformed()
{
    QFETCH(QString, pattern);
    QFETCH(QString, message);

    QString error;
    QVERIFY(!LikePattern::compile(pattern, &error).has_value());
    QCOMPARE(error, message);
}

void TestLikePattern::errorIsOptional()
{
    QVERIFY(!LikePattern::compile(u"[", nullptr).has_value());
    QVERIFY(LikePattern::compile(u"A", nullptr).has_value());
}

// Patterns that make naive backtracking matchers explode. No timing is
// asserted: the run finishing within the test timeout is the check.
void TestLikePattern::pathologicalInputsComplete_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("expected");

    const qsizetype big = 64 * 1024;
    const QString as(big, u'A');
    // clang-format off
    QTest::newRow("many stars no B") << "*A*A*A*A*A*B" << as << false;
    QTest::newRow("many stars B at end") << "*A*A*A*A*A*B" << QString(as).append(u'B') << true;
    QTest::newRow("alternating stars") << QString("*A").repeated(1000) + "*B" << as << false;
    QTest::newRow("question run") << QString("*?").repeated(1000) + "B" << as << false;
    QTest::newRow("long pattern short name") << as << "A" << false;
    QTest::newRow("long pattern long name") << as << as << true;
    QTest::newRow("long pattern star") << as + "*" << as << true;
    QTest::newRow("long middle segment miss")
        << "*" + QString(1000, u'A') + "B*" << QString(as).insert(100, u'C') << false;
    QTest::newRow("long middle segment hit")
        << "*" + QString(1000, u'A') + "B*" << QString(as).append(u'B').append(u'X') << true;
    QTest::newRow("long wildcard middle miss")
        << "*" + QString(1000, u'A') + "#*" << as << false;
    QTest::newRow("long list") << "[" + QString(big, u'B') + "]" << "A" << false;
    QTest::newRow("many lists") << QString("[A-Z]").repeated(4000) << QString(4000, u'Q') << true;
    // clang-format on
}

void TestLikePattern::pathologicalInputsComplete()
{
    QFETCH(QString, pattern);
    QFETCH(QString, name);
    QFETCH(bool, expected);

    const auto compiled = LikePattern::compile(pattern);
    QVERIFY(compiled.has_value());
    QCOMPARE(likeMatch(name, *compiled), expected);
}

void TestLikePattern::controlCharacters()
{
    const QString withNul = QString("AB") + QChar(u'\0') + "CD";
    QCOMPARE(withNul.size(), 5);

    const auto exact = LikePattern::compile(withNul);
    QVERIFY(exact.has_value());
    QVERIFY(likeMatch(withNul, *exact));
    QVERIFY(!likeMatch(u"AB", *exact)); // the NUL does not end the name
    QVERIFY(!likeMatch(u"ABCD", *exact));

    const auto nulTail = LikePattern::compile(u"AB?CD");
    QVERIFY(likeMatch(withNul, *nulTail));

    const auto controls = LikePattern::compile(u"*\t*");
    QVERIFY(likeMatch(u"A\tB", *controls));
    QVERIFY(!likeMatch(u"A B", *controls));

    const auto nulList = LikePattern::compile(QString("[") + QChar(u'\0') + "-\x1f]");
    QVERIFY(nulList.has_value());
    QVERIFY(likeMatch(QString(QChar(u'\x07')), *nulList));
    QVERIFY(!likeMatch(u" ", *nulList));

    // A character outside the basic plane is two code units.
    const QString emoji = QString::fromUtf8("\xF0\x9F\x97\xBC");
    QCOMPARE(emoji.size(), 2);
    QVERIFY(likeMatch(emoji, *LikePattern::compile(u"??")));
    QVERIFY(!likeMatch(emoji, *LikePattern::compile(u"?")));
    QVERIFY(likeMatch(emoji, *LikePattern::compile(emoji)));
}

void TestLikePattern::oneCompiledPatternServesManyNames()
{
    const auto pattern = LikePattern::compile(u"SAINT*");
    QVERIFY(pattern.has_value());
    const QStringList names = {"PARIS", "SAINT-MALO", "SAIN", "SAINT", "LYON", "SAINTES"};
    QStringList found;
    for (const QString &name : names) {
        if (likeMatch(name, *pattern))
            found << name;
    }
    QCOMPARE(found, QStringList({"SAINT-MALO", "SAINT", "SAINTES"}));
}

void TestLikePattern::lengthBound_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<qsizetype>("characters"); // 0 when accepted
    QString cjk;
    for (char16_t c = 0x4e00; c < 0x4e00 + 20000; ++c)
        cjk += QChar(c);
    // clang-format off
    QTest::newRow("1000 letters") << QString(1000, u'A') << qsizetype(0);
    QTest::newRow("1001 letters") << QString(1001, u'A') << qsizetype(1001);
    QTest::newRow("1000 emoji, 2000 UTF-16 units") << QStringLiteral("😀").repeated(1000) << qsizetype(0);
    QTest::newRow("1000 ß, 2000 letters upper-cased") << QString(1000, u'ß') << qsizetype(0);
    QTest::newRow("1001 ß") << QString(1001, u'ß') << qsizetype(1001);
    QTest::newRow("20 000 distinct CJK letters after *?") << "*?" + cjk + "*" << qsizetype(20003);
    QTest::newRow("*?A 43 690 times") << QStringLiteral("*?A").repeated(43690) << qsizetype(131070);
    // clang-format on
}

// What the user types is bounded, so that compiling it stays cheap: each run
// between stars gets a finder that grows with the square of its distinct
// letters. The matcher itself takes any length (above).
void TestLikePattern::lengthBound()
{
    QFETCH(QString, pattern);
    QFETCH(qsizetype, characters);
    QString error;
    QCOMPARE(Query::make(pattern, {}, &error).has_value(), characters == 0);
    if (characters > 0)
        QCOMPARE(error, QStringLiteral("Motif de recherche invalide : motif trop long (%1 caractères ; au plus 1000)")
                            .arg(characters));
}

QTEST_GUILESS_MAIN(TestLikePattern)
#include "test_like_pattern.moc"
