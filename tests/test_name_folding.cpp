#include "names/NamePattern.h"
#include "store/NameFolding.h"

#include <QtTest>

// The one written form in which typed texts and commune names are compared.
class TestNameFolding : public QObject
{
    Q_OBJECT
private slots:
    void names_data();
    void names();
    void foldingTwiceChangesNothing_data() { names_data(); }
    void foldingTwiceChangesNothing();
    void patterns_data();
    void patterns();
    void typedTextFindsName_data();
    void typedTextFindsName();
    void malformedPatternsStayMalformed_data();
    void plainFoldedNamesAreTheirOwnFolding_data();
    void plainFoldedNamesAreTheirOwnFolding();
    void malformedPatternsStayMalformed();
};

void TestNameFolding::names_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("folded");
    // clang-format off
    QTest::newRow("already folded") << "ST ETIENNE" << "ST ETIENNE";
    QTest::newRow("lower case") << "paris" << "PARIS";
    QTest::newRow("acute accent") << "Évian" << "EVIAN";
    QTest::newRow("grave, circumflex, diaeresis") << "àâäèêëîïôöùûüÿ" << "AAAEEEIIOOUUUY";
    QTest::newRow("cedilla") << "Ça" << "CA";
    QTest::newRow("tilde, ring") << "ÃÑÅ" << "ANA";
    QTest::newRow("OE ligature") << "Œuilly" << "OEUILLY";
    QTest::newRow("oe ligature lower") << "cœur" << "COEUR";
    QTest::newRow("zero-width space") << QString::fromUtf16(u"PA\u200BRIS") << "PARIS";
    QTest::newRow("soft hyphen") << QString::fromUtf16(u"PA\u00ADRIS") << "PARIS";
    QTest::newRow("next line") << QString::fromUtf16(u"PA\u0085RIS") << "PARIS";
    QTest::newRow("byte order mark") << QString::fromUtf16(u"\uFEFFPA\uFEFFRIS") << "PARIS";
    QTest::newRow("AE ligature") << "Æ æ" << "AE AE";
    QTest::newRow("sharp s") << "Straße" << "STRASSE";
    QTest::newRow("Latin Extended-A") << "ŁĄĆĘŃŚŹŻĞŠŽŘŮŐŰ" << "LACENSZZGSZRUOU";
    QTest::newRow("slashed o, eth, thorn") << "ØÐÞ" << "ODTH";
    QTest::newRow("dotless i, long s") << "ıſ" << "IS";
    QTest::newRow("combining accent") << "E\u0301VIAN" << "EVIAN";
    QTest::newRow("hyphens") << "La-Roche-sur-Yon" << "LA ROCHE SUR YON";
    QTest::newRow("apostrophe") << "L'Abergement-Clémenciat" << "L ABERGEMENT CLEMENCIAT";
    QTest::newRow("typographic apostrophe") << "L’Île-d’Yeu" << "L ILE D YEU";
    QTest::newRow("backquote") << "L`ILE" << "L ILE";
    QTest::newRow("runs of blanks") << "LA   ROCHE - SUR' YON" << "LA ROCHE SUR YON";
    QTest::newRow("blanks at both ends") << "  PARIS  " << "PARIS";
    QTest::newRow("no-break space") << "ST\u00a0MALO" << "ST MALO";
    QTest::newRow("only separators") << " - ' " << "";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("SAINT word") << "Saint-Étienne" << "ST ETIENNE";
    QTest::newRow("SAINTE word") << "Sainte-Marie" << "STE MARIE";
    QTest::newRow("SAINT at the end") << "PORT SAINT" << "PORT ST";
    QTest::newRow("SAINT inside a name") << "Villiers-Saint-Georges" << "VILLIERS ST GEORGES";
    QTest::newRow("SAINT alone") << "Saint" << "ST";
    QTest::newRow("SAINTES keeps its letters") << "Saintes" << "SAINTES";
    QTest::newRow("SAINTRY keeps its letters") << "Saintry-sur-Seine" << "SAINTRY SUR SEINE";
    QTest::newRow("SAINTENY keeps its letters") << "Sainteny" << "SAINTENY";
    QTest::newRow("word ending in SAINT") << "TOUSSAINT" << "TOUSSAINT";
    QTest::newRow("SAINT SAINTE SAINT") << "saint sainte saint" << "ST STE ST";
    QTest::newRow("digits kept") << "Paris 15e" << "PARIS 15E";
    QTest::newRow("Greek upper-cased") << "αθήνα" << "ΑΘΉΝΑ";
    QTest::newRow("multiplication sign kept") << "A×B" << "A×B";
    // clang-format on
}

void TestNameFolding::names()
{
    QFETCH(QString, name);
    QFETCH(QString, folded);
    QCOMPARE(foldName(name), folded);
}

void TestNameFolding::foldingTwiceChangesNothing()
{
    QFETCH(QString, name);
    const QString once = foldName(name);
    QCOMPARE(foldName(once), once);
    // A folded name read as a pattern is itself: no wildcard in names here.
    QCOMPARE(foldPattern(once), once);
}

void TestNameFolding::patterns_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("folded");
    // clang-format off
    QTest::newRow("wildcards kept") << "st ?tienne*#" << "ST ?TIENNE*#";
    QTest::newRow("SAINT word") << "SAINT-ÉTIENNE" << "ST ETIENNE";
    QTest::newRow("SAINT followed by a star is no word") << "SAINT*" << "SAINT*";
    QTest::newRow("SAINT then a blank and a star") << "SAINT *" << "ST *";
    QTest::newRow("star then SAINTE word") << "* SAINTE *" << "* STE *";
    QTest::newRow("SAINT? is no word") << "SAINT?" << "SAINT?";
    QTest::newRow("range kept") << "[A-F]*" << "[A-F]*";
    QTest::newRow("accented range folded") << "[À-Ç]*" << "[A-C]*";
    QTest::newRow("letters of a list folded") << "[éèê]TANG" << "[EEE]TANG";
    QTest::newRow("excluded list") << "[!é]*" << "[!E]*";
    QTest::newRow("ligature in a list stays one character") << "[Œ]*" << "[Œ]*";
    QTest::newRow("blanks in a list kept") << "A[  ]B" << "A[  ]B";
    QTest::newRow("blanks in a list that opens the text") << "[  ]A" << "[  ]A";
    QTest::newRow("apostrophe in a list is a blank") << "L['-]ILE" << "L[ -]ILE";
    QTest::newRow("SAINT in a list is no word") << "[SAINT] X" << "[SAINT] X";
    QTest::newRow("hyphen outside a list") << "la-roche*" << "LA ROCHE*";
    QTest::newRow("blanks trimmed and joined") << "  *  PARIS  " << "* PARIS";
    QTest::newRow("apostrophe between stars") << "*'*" << "* *";
    QTest::newRow("closing bracket alone") << "]A" << "]A";
    // clang-format on
}

void TestNameFolding::patterns()
{
    QFETCH(QString, pattern);
    QFETCH(QString, folded);
    QCOMPARE(foldPattern(pattern), folded);
}

void TestNameFolding::typedTextFindsName_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("matches");
    // clang-format off
    QTest::newRow("natural spelling, stored form") << "Saint-Étienne" << "ST ETIENNE" << true;
    QTest::newRow("stored form, natural name") << "ST ETIENNE" << "Saint-Étienne" << true;
    QTest::newRow("island") << "l'Île-d'Yeu" << "L ILE D YEU" << true;
    QTest::newRow("Sainte-Marie") << "Sainte-Marie" << "STE MARIE" << true;
    QTest::newRow("user's own spelling") << "l abergement clemenciat" << "L'Abergement-Clémenciat" << true;
    QTest::newRow("SAINT* reaches SAINTES") << "SAINT*" << "SAINTES" << true;
    QTest::newRow("SAINT* reaches SAINTIGNY") << "SAINT*" << "SAINTIGNY" << true;
    QTest::newRow("SAINT* misses ST DENIS") << "SAINT*" << "ST DENIS" << false;
    QTest::newRow("SAINTE is not SAINTES") << "SAINTE" << "SAINTES" << false;
    QTest::newRow("SAINTES is not STES") << "STES" << "SAINTES" << false;
    QTest::newRow("range on a folded letter") << "[D-F]VIAN" << "ÉVIAN" << true;
    QTest::newRow("excluded folded letter") << "[!É]VIAN" << "ÉVIAN" << false;
    QTest::newRow("trailing blank") << "PARIS " << "PARIS" << true;
    QTest::newRow("ligature typed") << "CŒUR" << "COEUR" << true;
    QTest::newRow("ligature typed out") << "COEUR" << "Cœur" << true;
    QTest::newRow("whole name still needed") << "PARI" << "PARIS" << false;
    // clang-format on
}

void TestNameFolding::typedTextFindsName()
{
    QFETCH(QString, typed);
    QFETCH(QString, name);
    QFETCH(bool, matches);
    // The window upper-cases the box before it searches.
    const std::optional<NamePattern> pattern = NamePattern::compile(typed.toUpper());
    QVERIFY(pattern);
    const bool asTyped = pattern->asTyped() && likeMatch(name, *pattern->asTyped());
    QCOMPARE(likeMatch(foldName(name), pattern->folded()) || asTyped, matches);
}

void TestNameFolding::malformedPatternsStayMalformed_data()
{
    QTest::addColumn<QString>("pattern");
    // clang-format off
    QTest::newRow("open bracket") << "[AB";
    QTest::newRow("empty list") << "[]";
    QTest::newRow("empty excluded list") << "[!]";
    QTest::newRow("bracket at the end") << "SAINT-[";
    QTest::newRow("blanks in an open bracket") << "A[  ";
    // clang-format on
}

void TestNameFolding::malformedPatternsStayMalformed()
{
    QFETCH(QString, pattern);
    QString why;
    QVERIFY(!NamePattern::compile(pattern, &why));
    QVERIFY(why.startsWith(QStringLiteral("Motif de recherche invalide")));
}

void TestNameFolding::plainFoldedNamesAreTheirOwnFolding_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("plain");
    // clang-format off
    QTest::newRow("plain") << "L ABERGEMENT CLEMENCIAT" << true;
    QTest::newRow("digits") << "PARIS 15" << true;
    QTest::newRow("ST and STE") << "STE MARIE ST DENIS" << true;
    QTest::newRow("SAINTES is a word of its own") << "SAINTES" << true;
    QTest::newRow("SAINT") << "SAINT DENIS" << false;
    QTest::newRow("SAINTE at the end") << "LA SAINTE" << false;
    QTest::newRow("SAINT alone") << "SAINT" << false;
    QTest::newRow("SAINT in the middle") << "BOIS SAINT DENIS" << false;
    QTest::newRow("SAINS, five letters") << "SAINS" << true;
    QTest::newRow("SAINTY, six letters") << "SAINTY" << true;
    QTest::newRow("TAINTE") << "TAINTE" << true;
    QTest::newRow("SAINT ending a word") << "TOUSSAINT" << true;
    QTest::newRow("SAINTES after a word") << "LES SAINTES MARIES" << true;
    QTest::newRow("blank at the start") << " PARIS" << false;
    QTest::newRow("hyphen") << "HAUTES-ALPES" << false;
    QTest::newRow("two blanks") << "LA  ROCHE" << false;
    QTest::newRow("blank at the end") << "PARIS " << false;
    QTest::newRow("lower case") << "Paris" << false;
    QTest::newRow("accent") << "ÉVREUX" << false;
    QTest::newRow("empty") << "" << false;
    // clang-format on
}

// A name said plain is searched in SQL by its text alone: it must be its
// own folded form.
void TestNameFolding::plainFoldedNamesAreTheirOwnFolding()
{
    QFETCH(QString, name);
    QFETCH(bool, plain);
    const QByteArray utf8 = name.toUtf8();
    QCOMPARE(isPlainFoldedName(utf8.constData(), size_t(utf8.size())), plain);
    QCOMPARE(isPlainFoldedName(QStringView(name)), plain);
    if (plain)
        QCOMPARE(foldName(name), name);
}

QTEST_GUILESS_MAIN(TestNameFolding)
#include "test_name_folding.moc"
