#include "CommandLineRun.h"
#include "SearchStore.h"
#include "StreamText.h"
#include "cli/BatchInput.h"
#include "cli/BatchLookup.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdio>

// The batch run in the program's own process on an input in memory: what
// each row says of the commune found, the postal code that matched, every
// code of the commune, how it was found and which constraints held.
class TestBatchLookup : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void rows_data();
    void rows();
    void repairs_data();
    void repairs();
    void refusalsSayWhy_data();
    void refusalsSayWhy();
    void encodings_data();
    void encodings();
    void plainLinesAreIndexedAsTheWindowSearches();
    void jsonKeepsBackslashesAndQuotes();

private:
    QByteArray output(const QStringList &options, QByteArray input, int *status);
    QList<QStringList> run(const QStringList &options, QByteArray input, QStringList *header);
    // The fields, by name, of the one line a « nom;dep;cp » line gives; empty
    // when it gives none or more than one.
    QHash<QString, QString> answerTo(const QString &line);

    QTemporaryDir m_dir;
    QString m_store;
};

QHash<QString, QString> TestBatchLookup::answerTo(const QString &line)
{
    QStringList header;
    const QList<QStringList> rows = run({"--colonne", "nom", "--colonne-dep", "dep", "--colonne-cp", "cp"},
                                        "nom;dep;cp\n" + line.toUtf8(), &header);
    QHash<QString, QString> fields;
    for (qsizetype i = 0; rows.size() == 1 && i < header.size(); ++i)
        fields.insert(header[i], rows[0].value(i));
    return fields;
}

void TestBatchLookup::initTestCase()
{
    m_store = m_dir.filePath(QStringLiteral("search.sqlite"));
    QVERIFY(writeSearchStore(m_store));
}

QByteArray TestBatchLookup::output(const QStringList &options, QByteArray input, int *status)
{
    const CommandLineRun run = runCommandLine(QStringList{"--lot", "-"} + options + QStringList{m_store}, input);
    *status = run.status;
    return run.out.toUtf8();
}

QList<QStringList> TestBatchLookup::run(const QStringList &options, QByteArray input, QStringList *header)
{
    const CommandLineRun done = runCommandLine(QStringList{"--lot", "-"} + options + QStringList{m_store}, input);
    *header = done.header;
    return done.status == 2 ? QList<QStringList>() : done.records;
}

void TestBatchLookup::rows_data()
{
    QTest::addColumn<QString>("line"); // nom;dep;cp
    QTest::addColumn<QString>("statut");
    QTest::addColumn<QString>("insee");
    QTest::addColumn<QString>("codePostal");
    QTest::addColumn<QString>("codesPostaux");
    QTest::addColumn<QString>("correspondance");
    QTest::addColumn<QString>("contrainte");
    // clang-format off
    QTest::newRow("the code's département") << "Passy;74;74480" << "trouvée" << "74208" << "74190" << "74190" << "nom" << "département seul";
    QTest::newRow("a déléguée elsewhere hands on") << "Percy;38;" << "trouvée" << "38301" << "38930" << "38930" << "forme usuelle" << "département seul";
    QTest::newRow("the code that matched") << "Marseille;;13008" << "trouvée" << "13055" << "13008" << "13001 13008" << "nom" << "code postal et département";
    QTest::newRow("an INSEE code is found") << "75056;;" << "trouvée" << "75056" << "75001" << "75001 75005" << "code INSEE" << "";
    QTest::newRow("a former code is another name") << "76999;;" << "autre nom" << "76351" << "76600" << "76600 76610" << "ancien code INSEE" << "";
    QTest::newRow("homonyms, none kept: the most populous") << "Passy;;99999" << "homonymes" << "74208" << "74190" << "74190" << "nom" << "aucune";
    QTest::newRow("arrondissement") << "Paris 05;;" << "autre nom" << "75056" << "75005" << "75001 75005" << "autre nom : arrondissement municipal" << "";
    QTest::newRow("coordinates: the commune there") << "\"48.85 2.35\";;" << "trouvée" << "75056" << "75001" << "75001 75005" << "coordonnées" << "";
    QTest::newRow("a square without a commune") << "JN18AA;;" << "aucune" << "" << "" << "" << "" << "";
    QTest::newRow("a square near a commune: the nearest") << "JN18EU47;;" << "trouvée" << "75056" << "75001" << "75001 75005" << "proximité" << "";
    QTest::newRow("a point far from every commune") << "\"0 0\";;" << "aucune" << "" << "" << "" << "" << "";
    QTest::newRow("nothing") << "Nulle part;;75001" << "aucune" << "" << "" << "" << "" << "";
    // clang-format on
}

void TestBatchLookup::rows()
{
    QFETCH(QString, line);
    const QHash<QString, QString> answer = answerTo(line);
    QVERIFY2(!answer.isEmpty(), "one line out");
    const auto field = [&](const char *name) { return answer.value(QLatin1String(name)); };
    if (field("statut") != QStringLiteral("homonymes"))
        QCOMPARE(field("nb_resultats"), QString(field("statut") == QStringLiteral("aucune") ? "0" : "1"));
    QTEST(field("statut"), "statut");
    QTEST(field("code_insee"), "insee");
    QTEST(field("code_postal"), "codePostal");
    QTEST(field("codes_postaux"), "codesPostaux");
    QTEST(field("correspondance"), "correspondance");
    QTEST(field("contrainte"), "contrainte");
}

// A text the search cannot use is refused with the reason --chercher gives.
void TestBatchLookup::refusalsSayWhy_data()
{
    QTest::addColumn<QString>("line"); // nom;dep;cp
    QTest::addColumn<QString>("raison");
    // clang-format off
    QTest::newRow("coordinates off the globe") << "\"95 200\";;" << "Latitude hors limites : 95° (de -90° à 90°).";
    QTest::newRow("a malformed pattern") << "[a;;" << "Motif de recherche invalide : crochet non fermé";
    // clang-format on
}

void TestBatchLookup::refusalsSayWhy()
{
    QFETCH(QString, line);
    QFETCH(QString, raison);
    const QHash<QString, QString> answer = answerTo(line);
    QCOMPARE(answer.value(QStringLiteral("statut")), QStringLiteral("refusée"));
    QCOMPARE(answer.value(QStringLiteral("commune")), QString());
    QCOMPARE(answer.value(QStringLiteral("raison")), raison);
}

// Each way a list writes a name, and what the answer says of it: why it
// needed a repair (raison), the next choice (suivante), what a line that
// found nothing may mean (suggestions).
void TestBatchLookup::repairs_data()
{
    QTest::addColumn<QString>("line"); // nom;dep;cp
    QTest::addColumn<QString>("insee");
    QTest::addColumn<QString>("codePostal");
    QTest::addColumn<QString>("correspondance");
    QTest::addColumn<QString>("raison");
    QTest::addColumn<QString>("suivante");
    QTest::addColumn<QString>("suggestions");
    // clang-format off
    QTest::newRow("article last") << "HAVRE (LE);;" << "76351" << "76600" << "nom" << "article en fin" << "" << "";
    QTest::newRow("official name in brackets") << "Château-Chinon (Ville);;" << "58062" << "58120" << "nom" << "" << "" << "";
    QTest::newRow("La Poste's S") << "RAISSAC S LAMPY;;11170" << "11308" << "11170" << "nom" << "abréviation La Poste" << "" << "";
    QTest::newRow("cut, the code's own commune beats a name elsewhere") << "LA CROIX;;06260" << "06051" << "06260" << "nom" << "nom tronqué" << "" << "";
    QTest::newRow("cut, two communes fit: none") << "CHATEAU CHINON;;58120" << "" << "" << "" << "" << "" << "";
    QTest::newRow("cut, no code: none") << "RAISSAC S LAMPI;;" << "" << "" << "" << "" << "" << "";
    QTest::newRow("a lost leading 0") << "Villeneuve;;4180" << "04242" << "04180" << "nom" << "code postal sans son 0" << "" << "";
    QTest::newRow("blanks inside the code") << "Villeneuve;;01 480" << "01449" << "01480" << "nom" << "" << "" << "";
    QTest::newRow("CEDEX line") << "69421 LYON CEDEX 03;;" << "69123" << "69001" << "nom" << "CEDEX" << "" << "";
    QTest::newRow("CEDEX line, the code given holds") << "69421 LYON CEDEX 03;;69003" << "69123" << "69003" << "nom" << "CEDEX" << "" << "";
    QTest::newRow("a La Poste spelling before a misspelling") << "RAISSAC S;;11170" << "11308" << "11170" << "nom" << "nom tronqué" << "" << "";
    QTest::newRow("CEDEX code beside the name") << "LYON CEDEX;;69421" << "69123" << "69001" << "nom" << "CEDEX" << "" << "";
    QTest::newRow("post office") << "Puyricard;;" << "13001" << "13540" << "localité postale" << "localité postale" << "" << "";
    QTest::newRow("misspelt, the code settles it") << "Marseile;;13008" << "13055" << "13008" << "correction" << "faute corrigée" << "" << "";
    QTest::newRow("misspelt, the département settles it") << "Raisac sur Lampy;11;" << "11308" << "11170" << "correction" << "faute corrigée" << "" << "";
    QTest::newRow("misspelt, nothing settles it") << "Marseile;;" << "" << "" << "" << "" << "" << "MARSEILLE (13001, BOUCHES-DU-RHONE)";
    QTest::newRow("misspelt, homonyms: the most populous once") << "Pasy;;" << "" << "" << "" << "" << "" << "PASSY (74190, HAUTE-SAVOIE)";
    QTest::newRow("arrondissement's INSEE code") << "75105;;" << "75056" << "75005" << "autre nom : arrondissement municipal" << "" << "" << "";
    QTest::newRow("another arrondissement's code") << "Paris 5e;;75001" << "75056" << "75005" << "autre nom : arrondissement municipal" << "code d'un autre arrondissement" << "" << "";
    QTest::newRow("homonyms: its own name before a larger commune's other name") << "Corte;;" << "2B096" << "20250" << "nom" << "" << "PARIS (75001, PARIS)" << "";
    QTest::newRow("homonyms: even populations in table order") << "Passy;;" << "74208" << "74190" << "nom" << "" << "PASSY (71220, SAONE-ET-LOIRE)" << "";
    // clang-format on
}

void TestBatchLookup::repairs()
{
    QFETCH(QString, line);
    const QHash<QString, QString> answer = answerTo(line);
    QVERIFY2(!answer.isEmpty(), "one line out");
    const auto field = [&](const char *name) { return answer.value(QLatin1String(name)); };
    QTEST(field("code_insee"), "insee");
    QTEST(field("code_postal"), "codePostal");
    QTEST(field("correspondance"), "correspondance");
    QTEST(field("raison"), "raison");
    QTEST(field("suivante"), "suivante");
    QTEST(field("suggestions"), "suggestions");
}

// A spreadsheet's file comes back in its encoding and line ends, from a file
// (read whole first) or a pipe (its first line decides); --encodage decides
// otherwise, and a character Windows-1252 lacks is told.
void TestBatchLookup::encodings_data()
{
    QTest::addColumn<bool>("fromFile");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("lineEnd");
    QTest::addColumn<int>("at");          // the output line compared
    QTest::addColumn<QByteArray>("line"); // its fields up to commune
    QTest::addColumn<bool>("told");
    // clang-format off
    QTest::newRow("a Windows-1252 file, CRLF") << true << QStringList() << QByteArray("nom;cp\r\nLe Havre;\r\nCh\xe2teau-Chinon (Ville);\r\n") << QByteArray("\r\n") << 2 << QByteArray("Ch\xe2teau-Chinon (Ville);;Ch\xe2teau-Chinon (Ville);trouv\xe9" "e;CHATEAU CHINON VILLE") << false;
    QTest::newRow("a file whose later line only is not UTF-8") << true << QStringList() << QByteArray("nom;cp\nParis;\nL\xe9on;\n") << QByteArray("\n") << 1 << QByteArray("Paris;;Paris;trouv\xe9" "e;PARIS") << false;
    QTest::newRow("a UTF-8 file") << true << QStringList() << QByteArray("nom;cp\nParis;\n") << QByteArray("\n") << 1 << QByteArray("Paris;;Paris;trouvée;PARIS") << false;
    QTest::newRow("a pipe: its first line decides") << false << QStringList() << QByteArray("nom;cp\r\nL\xe9on;\r\n") << QByteArray("\r\n") << 1 << QByteArray("Léon;;Léon;aucune;") << false;
    QTest::newRow("asked in UTF-8") << true << QStringList{"--encodage", "utf-8"} << QByteArray("nom;cp\nL\xe9on;\n") << QByteArray("\n") << 1 << QByteArray("Léon;;Léon;aucune;") << false;
    QTest::newRow("asked in Windows-1252, a character it lacks") << false << QStringList{"--encodage", "windows-1252"} << QByteArray("nom;cp\nŌsaka;\n") << QByteArray("\n") << 1 << QByteArray("?saka;;?saka;aucune;") << true;
    // clang-format on
}

void TestBatchLookup::encodings()
{
    QFETCH(bool, fromFile);
    QFETCH(QStringList, options);
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, lineEnd);
    QFETCH(int, at);
    QFETCH(bool, told);
    const QString path = m_dir.filePath(QStringLiteral("liste.csv"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(input);
    file.close();
    std::FILE *in = fmemopen(input.data(), size_t(input.size()), "r");
    std::FILE *out = std::tmpfile();
    std::FILE *err = std::tmpfile();
    const QString source = fromFile ? path : QStringLiteral("-");
    runBatch(CommandLine::parse(QStringList{"--lot", source, "--colonne", "nom", "--colonne-cp", "cp"} + options),
             m_store, in, out, err);
    const QList<QByteArray> lines = readAll(out).split('\n');
    const QByteArray errors = readAll(err);
    std::fclose(in);
    std::fclose(out);
    std::fclose(err);
    QVERIFY(lines.size() > at);
    QCOMPARE(lines[0].endsWith('\r'), lineEnd == "\r\n");
    QCOMPARE(lines[at].endsWith('\r'), lineEnd == "\r\n");
    QTEST(lines[at].split(';').mid(0, 5).join(';'), "line");
    QCOMPARE(errors.contains("ligne 2 : « Ō » ne s'écrit pas en Windows-1252"), told);
}

// Plain lines go through the indexes of names: a name stored both unfolded
// and folded is found twice over, and a code that no name bears still
// reaches the finders of codes.
void TestBatchLookup::plainLinesAreIndexedAsTheWindowSearches()
{
    QStringList header;
    const QList<QStringList> rows = run({"--format", "csv"}, "Saint-Denis\nVoisinlieu\n2b096\n", &header);
    QCOMPARE(rows.size(), 3);
    const qsizetype count = header.indexOf(QStringLiteral("nb_resultats"));
    const qsizetype insee = header.indexOf(QStringLiteral("code_insee"));
    QCOMPARE(rows[0].value(count), QStringLiteral("2"));
    QCOMPARE(rows[0].value(insee), QStringLiteral("93066"));
    QCOMPARE(rows[1].value(insee), QStringLiteral("76351"));
    // The header names every field, the steps' too.
    QCOMPARE(header.mid(header.size() - 2), QStringList({"etapes", "lieu"}));
    QCOMPARE(rows[2].value(insee), QStringLiteral("2B096"));
    QCOMPARE(rows[2].value(header.indexOf(QStringLiteral("contrainte"))), QString());
}

// What a script reads back is the line it sent, whatever characters JSON
// must escape.
void TestBatchLookup::jsonKeepsBackslashesAndQuotes()
{
    int status = 0;
    QJsonParseError error;
    const QJsonDocument document =
        QJsonDocument::fromJson(output({"--format", "json"}, "C:\\Paris \"x\"\n", &status), &error);
    QCOMPARE(error.error, QJsonParseError::NoError);
    QCOMPARE(document.array().first().toObject().value(QStringLiteral("recherche")).toString(),
             QStringLiteral("C:\\Paris \"x\""));
}

QTEST_GUILESS_MAIN(TestBatchLookup)
#include "test_batch_lookup.moc"
