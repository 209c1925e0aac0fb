#include "ProgramRun.h"
#include "TestPaths.h"
#include "TestStore.h"
#include "geo/MaidenheadLocator.h"

#include <QtTest>

// topovil --chercher and --lot as scripts use them: the formats, the batch's
// inputs (separators, encodings, quoting), the order and count of its rows,
// homonyms told apart, and the faults a damaged store or a lost output could
// cause. Run with no display at all.
class TestScriptOutput : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cases_data();
    void cases();
    void unwritableOutput_data();
    void unwritableOutput();
    void closedInput();
    void unusableDisplays_data();
    void unusableDisplays();
    void windowWithTooFewDescriptors();
    void shippedSainteColombeOfGironde();

private:
    QTemporaryDir m_root;
    QString m_store;
};

// A store with a NUL inside a name, a tab inside a postal code, a line
// break inside another name's kind.
void TestScriptOutput::initTestCase()
{
    m_store = m_root.filePath(QStringLiteral("communes.sqlite"));
    QVERIFY(TestStore({"commune", "longitude", "latitude", "codepos", "departement", "code_insee"})
                .rows({{"PARIS", 2.3428, 48.85661, "75001", "PARIS", "75056"},
                       {"STE COLOMBE", {}, {}, "33350", "GIRONDE", "33390"},
                       {"STE COLOMBE", {}, {}, "89440", "YONNE", "89338"},
                       {QStringLiteral("AB") + QChar(0) + QStringLiteral("CD"), {}, {}, "01000", "AIN"},
                       {"LYON", {}, {}, "69\t001", "RHONE", "69123"},
                       {"SAINT DENIS", {}, {}, "93200", "SEINE-ST-DENIS"},
                       {"ST DENIS", {}, {}, "11310", "AUDE"}})
                .table("codes_postaux", {{1, "75001"}, {2, "33350"}, {3, "89440"}, {4, "01000"}, {5, "69\t001"}})
                .table("autres_noms", {{"VIEUX", "commune\ndéléguée", 3}})
                .write(m_store));
}

void TestScriptOutput::cases_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err"); // a part of standard error; empty: nothing there
    const QString s = m_store;
    const QString paris =
        "PARIS\t75001\t2.3428\t48.85661\tPARIS\t" + maidenheadLocator(48.85661, 2.3428) + "\t\t75056\t75\n";
    const QString head = "recherche\tstatut\tcommune\tcode_postal\tcode_insee\tlongitude\tlatitude\tdepartement\t"
                         "num_departement\tlocator\tautre_nom\tnb_resultats\n";
    const QString csvHead = "recherche;statut;commune;code_postal;code_insee;longitude;latitude;departement;"
                            "num_departement;locator;autre_nom;nb_resultats\n";
    const QString gironde = "STE COLOMBE;33350;33390;;;GIRONDE;33;;;1\n";
    const QString yonne = "STE COLOMBE;89440;89338;;;YONNE;89;;;1\n";
    // clang-format off
    QTest::newRow("header") << QStringList{"--chercher", "paris", "--entete", s} << QByteArray() << 0 << "commune\tcode_postal\tlongitude\tlatitude\tdepartement\tlocator\tautre_nom\tcode_insee\tnum_departement\n" + paris << "";
    QTest::newRow("NUL kept and shown") << QStringList{"--chercher", "*", s} << QByteArray() << 0 << paris + "STE COLOMBE\t33350\t\t\tGIRONDE\t\t\t33390\t33\nSTE COLOMBE\t89440\t\t\tYONNE\t\t\t89338\t89\nAB\\0CD\t01000\t\t\tAIN\t\t\t\t01\nLYON\t69 001\t\t\tRHONE\t\t\t69123\t69\nSAINT DENIS\t93200\t\t\tSEINE-ST-DENIS\t\t\t\t93\nST DENIS\t11310\t\t\tAUDE\t\t\t\t11\n" << "";
    QTest::newRow("tab in a postal code") << QStringList{"--chercher", "69*", "--format", "csv", s} << QByteArray() << 0 << "commune,code_postal,longitude,latitude,departement,locator,autre_nom,code_insee,num_departement\nLYON,69 001,,,RHONE,,,69123,69\n" << "";
    QTest::newRow("line break in a kind, JSON") << QStringList{"--chercher", "vieux", "--format=json", s} << QByteArray() << 0 << "[\n{\"commune\":\"STE COLOMBE\",\"code_postal\":\"89440\",\"longitude\":null,\"latitude\":null,\"departement\":\"YONNE\",\"locator\":\"\",\"autre_nom\":\"VIEUX (commune déléguée)\",\"code_insee\":\"89338\",\"num_departement\":\"89\"}\n]\n" << "";
    QTest::newRow("plain name, stored unfolded too") << QStringList{"--chercher", "Saint-Denis", s} << QByteArray() << 0 << "SAINT DENIS\t93200\t\t\tSEINE-ST-DENIS\t\t\t\t93\nST DENIS\t11310\t\t\tAUDE\t\t\t\t11\n" << "";
    QTest::newRow("JSON, nothing") << QStringList{"--chercher", "nulle part", "--format", "json", s} << QByteArray() << 1 << "[]\n" << "topovil : Aucune commune ne répond à « nulle part ».";
    QTest::newRow("search twice") << QStringList{"--chercher", "a", "--chercher", "b", s} << QByteArray() << 2 << "" << "l'option --chercher est donnée deux fois";
    QTest::newRow("mistyped option") << QStringList{"--chercehr", "paris"} << QByteArray() << 2 << "" << "option inconnue : --chercehr";
    QTest::newRow("unknown format") << QStringList{"--chercher", "paris", "--format", "xml"} << QByteArray() << 2 << "" << "format inconnu : xml";
    QTest::newRow("window, no display") << QStringList{s} << QByteArray() << 1 << "" << "aucun écran n'a été trouvé";
    QTest::newRow("window on X11, no display") << QStringList{"-platform", "xcb", s} << QByteArray() << 1 << "" << "aucun écran n'a été trouvé";
    QTest::newRow("lines: order, count, statuses") << QStringList{"--lot", "-", s} << QByteArray("Paris\r\n\nste colombe\n[a\nnulle part\nVieux") << 0 << head + "Paris\ttrouvée\tPARIS\t75001\t75056\t2.3428\t48.85661\tPARIS\t75\t" + maidenheadLocator(48.85661, 2.3428) + "\t\t1\n\tvide\t\t\t\t\t\t\t\t\t\t0\nste colombe\thomonymes\tSTE COLOMBE\t33350\t33390\t\t\tGIRONDE\t33\t\t\t2\n[a\trefusée\t\t\t\t\t\t\t\t\t\t0\nnulle part\taucune\t\t\t\t\t\t\t\t\t\t0\nVieux\tautre nom\tSTE COLOMBE\t89440\t89338\t\t\tYONNE\t89\t\tVIEUX (commune déléguée)\t1\n" << "";
    QTest::newRow("lines, nothing found") << QStringList{"--lot", "-", s} << QByteArray("nulle part\n") << 1 << head + "nulle part\taucune\t\t\t\t\t\t\t\t\t\t0\n" << "";
    QTest::newRow("CSV ; Windows-1252, postal code breaks homonyms") << QStringList{"--lot", "-", "--colonne", "Ville", "--colonne-cp", "CP", s} << QByteArray("Nom;Ville;CP\r\n\xC9lodie;Sainte-Colombe;89440\r\n\"Dupont; Jean\";Sainte-Colombe;33350\r\n") << 0 << "Nom;Ville;CP;" + csvHead + "Élodie;Sainte-Colombe;89440;Sainte-Colombe;trouvée;" + yonne + "\"Dupont; Jean\";Sainte-Colombe;33350;Sainte-Colombe;trouvée;" + gironde << "";
    QTest::newRow("CSV , UTF-8 with BOM, département by number and name") << QStringList{"--lot", "-", "--colonne", "ville", "--colonne-dep", "dep", s} << QByteArray("\xEF\xBB\xBFville,dep\n\"Sainte-\"\"Colombe\"\"\",x\nSainte-Colombe,89\n\"Sainte-Colombe\",Gironde\nSainte-Colombe,Nord\n") << 0 << "ville,dep,recherche,statut,commune,code_postal,code_insee,longitude,latitude,departement,num_departement,locator,autre_nom,nb_resultats\n\"Sainte-\"\"Colombe\"\"\",x,\"Sainte-\"\"Colombe\"\"\",aucune,,,,,,,,,,0\nSainte-Colombe,89,Sainte-Colombe,trouvée,STE COLOMBE,89440,89338,,,YONNE,89,,,1\nSainte-Colombe,Gironde,Sainte-Colombe,trouvée,STE COLOMBE,33350,33390,,,GIRONDE,33,,,1\nSainte-Colombe,Nord,Sainte-Colombe,homonymes,STE COLOMBE,33350,33390,,,GIRONDE,33,,,2\n" << "";
    QTest::newRow("CSV tab, a line break inside quotes, a bad line kept") << QStringList{"--lot", "-", "--colonne", "v", s} << QByteArray("n\tv\n\"deux\nlignes\"\tParis\n\"x\"y\tParis\nz\tParis\n") << 0 << "n\tv\t" + head.chopped(1).replace("\t", "\t") + "\n" + "deux lignes\tParis\tParis\ttrouvée\tPARIS\t75001\t75056\t2.3428\t48.85661\tPARIS\t75\t" + maidenheadLocator(48.85661, 2.3428) + "\t\t1\nxy\tParis\tParis\tillisible\t\t\t\t\t\t\t\t\t\t0\nz\tParis\tParis\ttrouvée\tPARIS\t75001\t75056\t2.3428\t48.85661\tPARIS\t75\t" + maidenheadLocator(48.85661, 2.3428) + "\t\t1\n" << "-, ligne 4 : guillemets mal placés";
    QTest::newRow("CSV, quote left open") << QStringList{"--lot", "-", "--colonne", "v", "--format", "json", s} << QByteArray("v\n\"Paris\n") << 1 << "[\n{\"v\":\"Paris\",\"recherche\":\"Paris\",\"statut\":\"illisible\",\"commune\":\"\",\"code_postal\":\"\",\"code_insee\":\"\",\"longitude\":null,\"latitude\":null,\"departement\":\"\",\"num_departement\":\"\",\"locator\":\"\",\"autre_nom\":\"\",\"nb_resultats\":0}\n]\n" << "-, ligne 2 : guillemet non fermé";
    QTest::newRow("CSV, no such column") << QStringList{"--lot", "-", "--colonne", "ville", s} << QByteArray("nom;cp\n") << 2 << "" << "la colonne « ville » n'est pas dans l'en-tête de « - » (nom, cp)";
    QTest::newRow("column without --lot") << QStringList{"--colonne", "ville", s} << QByteArray() << 2 << "" << "vont avec --lot";
    // clang-format on
}

namespace {

// The output without the fields that every record has had since these cases
// were written (codes_postaux, correspondance, the batch's contrainte, nom,
// raison, the batch's suivante and suggestions, etapes, lieu):
// their own tests read them.
QString withoutLaterFields(const QString &out, bool batch)
{
    if (out.startsWith(QLatin1Char('['))) {
        static const QRegularExpression later(QStringLiteral(",\"(codes_postaux|correspondance|contrainte|nom|raison|"
                                                             "suivante|suggestions|lieu)\":\"(?:[^\"\\\\]|\\\\.)*\""));
        static const QRegularExpression steps(QStringLiteral(",\"etapes\":\\[[^\\]]*\\]"));
        return QString(out).remove(later).remove(steps);
    }
    const QString first = out.section(QLatin1Char('\n'), 0, 0);
    const QChar separator = first.contains(u'\t') ? u'\t' : first.contains(u';') ? u';' : u',';
    // Cut before the later fields' first separator, counted from the end
    // outside quotes (a suggestion may hold the separator).
    const int later = batch ? 9 : 6;
    QStringList lines = out.split(QLatin1Char('\n'));
    for (QString &line : lines) {
        bool quoted = false;
        std::vector<qsizetype> separators;
        for (qsizetype i = 0; i < line.size(); ++i) {
            if (line[i] == u'"')
                quoted = !quoted;
            else if (line[i] == separator && !quoted)
                separators.push_back(i);
        }
        if (separators.size() >= size_t(later))
            line.truncate(separators[separators.size() - size_t(later)]);
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace

void TestScriptOutput::cases()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, input);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, err);
    const ProgramRun run = runProgram(
        m_root, arguments, {},
        [](QProcessEnvironment &env) {
            for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
                env.remove(QLatin1String(name));
        },
        input);
    QCOMPARE(withoutLaterFields(run.out, arguments.contains(QStringLiteral("--lot"))), out);
    QCOMPARE(run.status, status);
    if (err.isEmpty())
        QCOMPARE(run.err, QString());
    else
        QVERIFY2(run.err.contains(err), qPrintable(run.err));
}

void TestScriptOutput::unwritableOutput_data()
{
    QTest::addColumn<QString>("redirection");
    QTest::addColumn<QString>("err");
    QTest::newRow("full disk") << ">/dev/full"
                               << "plus de place sur le disque";
    QTest::newRow("closed") << ">&-"
                            << "la sortie standard est fermée";
}

// Whatever a script does with the output, it is told when nothing could be
// written.
void TestScriptOutput::unwritableOutput()
{
    QFETCH(QString, redirection);
    QFETCH(QString, err);
    for (const QStringList &action : {QStringList{"--chercher", "paris"}, QStringList{"--lot", "-"}}) {
        QProcess shell;
        shell.start("sh", QStringList{"-c", "printf 'paris\\n' | \"$0\" \"$@\" " + redirection,
                                      QStringLiteral(TOPOVIL_EXECUTABLE)}
                              + action + QStringList{m_store});
        QVERIFY(shell.waitForFinished(20000));
        QCOMPARE(shell.exitCode(), 2);
        QVERIFY2(QString::fromUtf8(shell.readAllStandardError()).contains(err), qPrintable(action.join(' ')));
    }
}

// A closed standard input is said as such, before anything is written: the
// descriptor would otherwise go to the next file the program opens.
void TestScriptOutput::closedInput()
{
    QProcess shell;
    shell.start("sh",
                QStringList{"-c", "\"$0\" \"$@\" <&-", QStringLiteral(TOPOVIL_EXECUTABLE), "--lot", "-", m_store});
    QVERIFY(shell.waitForFinished(20000));
    QCOMPARE(shell.exitCode(), 2);
    QCOMPARE(shell.readAllStandardOutput(), QByteArray());
    QVERIFY(QString::fromUtf8(shell.readAllStandardError()).contains("l'entrée standard est fermée"));
}

void TestScriptOutput::unusableDisplays_data()
{
    QTest::addColumn<QString>("variable");
    QTest::addColumn<QString>("value");
    QTest::newRow("no X server there") << "DISPLAY"
                                       << ":99";
    QTest::newRow("garbage display name") << "DISPLAY"
                                          << "garbage!!";
    QTest::newRow("unknown Wayland display") << "WAYLAND_DISPLAY"
                                             << "nowhere";
    QTest::newRow("unknown platform") << "QT_QPA_PLATFORM"
                                      << "bogus";
}

// A display named but not there ends the window with status 1 and French,
// not with Qt's abort and its advice to reinstall.
void TestScriptOutput::unusableDisplays()
{
    QFETCH(QString, variable);
    QFETCH(QString, value);
    const ProgramRun run = runProgram(m_root, {m_store}, {}, [&](QProcessEnvironment &env) {
        for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            env.remove(QLatin1String(name));
        env.insert(variable, value);
    });
    QCOMPARE(run.status, 1);
    QVERIFY2(run.err.startsWith("Topovil : la fenêtre ne peut pas s'ouvrir : aucun écran ne répond"),
             qPrintable(run.err));
    QVERIFY2(!run.err.contains("Reinstalling"), qPrintable(run.err));
}

// Fewer descriptors than the window needs, with no way to raise the limit:
// French and status 1, not GLib's trap.
void TestScriptOutput::windowWithTooFewDescriptors()
{
    QProcess shell;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    shell.setProcessEnvironment(env);
    shell.start("sh",
                QStringList{"-c", "ulimit -n 9 && exec \"$0\" \"$@\"", QStringLiteral(TOPOVIL_EXECUTABLE), m_store});
    QVERIFY(shell.waitForFinished(20000));
    QCOMPARE(shell.exitStatus(), QProcess::NormalExit);
    QCOMPARE(shell.exitCode(), 1);
    const QString err = QString::fromUtf8(shell.readAllStandardError());
    QVERIFY2(err.contains("le système n'en permet que 9"), qPrintable(err));
}

void TestScriptOutput::shippedSainteColombeOfGironde()
{
    REQUIRE_SHARED_FILE(shippedStorePath());
    QTemporaryDir root;
    const ProgramRun run =
        runProgram(root, {"--lot", "-", "--colonne", "Ville", "--colonne-cp", "CP", shippedStorePath()}, {}, {},
                   "Ville;CP\nSainte-Colombe;33350\n");
    QCOMPARE(run.status, 0);
    const QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);
    const QStringList fields = lines[1].split(';');
    QCOMPARE(fields[3], QStringLiteral("trouvée"));
    QCOMPARE(fields[5], QStringLiteral("33350"));
    QCOMPARE(fields[9], QStringLiteral("GIRONDE"));
    // The INSEE code once the store has it.
    QVERIFY(fields[6].isEmpty() || fields[6] == QStringLiteral("33390"));
}

QTEST_GUILESS_MAIN(TestScriptOutput)
#include "test_script_output.moc"
