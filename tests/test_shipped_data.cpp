#include "TestPaths.h"
#include "store/Database.h"
#include "store/DatabaseFile.h"
#include "store/NameFolding.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <sqlite3.h>

#include <cmath>
#include <numbers>
#include <optional>
#include <vector>

namespace {

// The rows of codes_postaux: the insee1 rowid and one postal code.
std::vector<std::pair<int, QString>> readPostcodes(const QString &path)
{
    std::vector<std::pair<int, QString>> rows;
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt *stmt = nullptr;
        if (sqlite3_prepare_v2(db,
                               "SELECT commune, codepos FROM codes_postaux WHERE typeof(commune) = 'integer' "
                               "AND typeof(codepos) = 'text' ORDER BY rowid",
                               -1, &stmt, nullptr)
            == SQLITE_OK) {
            while (sqlite3_step(stmt) == SQLITE_ROW)
                rows.emplace_back(sqlite3_column_int(stmt, 0),
                                  QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 1))));
        }
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    return rows;
}

// The rows of autres_noms (or of localites_postales, of the same columns), in table order.
struct OtherNameRow
{
    QString name;
    QString kind;
    int commune = 0; // the insee1 rowid it leads to
    QString codepos; // empty for NULL
};

std::vector<OtherNameRow> readOtherNames(const QString &path, const char *table = "autres_noms")
{
    std::vector<OtherNameRow> rows;
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt *stmt = nullptr;
        const QByteArray select = QByteArray("SELECT commune, nature, actuelle, codepos FROM ") + table
                                  + " WHERE typeof(actuelle) = 'integer' ORDER BY rowid";
        if (sqlite3_prepare_v2(db, select.constData(), -1, &stmt, nullptr) == SQLITE_OK) {
            const auto text = [stmt](int column) {
                return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, column)));
            };
            while (sqlite3_step(stmt) == SQLITE_ROW)
                rows.push_back({text(0), text(1), sqlite3_column_int(stmt, 2), text(3)});
        }
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    return rows;
}

// The first column of a query's rows, as text.
QStringList sqliteColumn(const QString &path, const char *query)
{
    QStringList values;
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt *stmt = nullptr;
        if (sqlite3_prepare_v2(db, query, -1, &stmt, nullptr) == SQLITE_OK) {
            while (sqlite3_step(stmt) == SQLITE_ROW)
                values << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0)));
        }
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    return values;
}

QJsonArray readJsonArray(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()).array() : QJsonArray();
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QStringList fieldNames = {"commune", "longitude", "latitude", "codepos", "departement"};

// One row of the table as the engine gives it, fields in table order.
using Row = std::vector<QVariant>;
enum Field { Commune, Longitude, Latitude, Codepos, Departement };

std::vector<Row> readRows(const QString &path)
{
    const std::unique_ptr<Database> db = openDatabase(path);
    Recordset rs = db->openRecordset(QStringLiteral("insee1"));
    std::vector<Row> rows;
    if (rs.recordCount() == 0)
        return rows;
    for (rs.moveFirst(); !rs.isEof(); rs.moveNext()) {
        Row row;
        for (const QString &name : fieldNames)
            row.push_back(rs.field(name));
        rows.push_back(std::move(row));
    }
    return rows;
}

QString describe(const Row &row)
{
    QStringList parts;
    for (const QVariant &value : row)
        parts << (value.isNull() ? QStringLiteral("NULL") : value.toString());
    return parts.join(u'|');
}

// Great-circle distance, enough to tell a commune from its neighbours.
double distanceKm(double lat1, double lon1, double lat2, double lon2)
{
    constexpr double radius = 6371.0;
    constexpr double toRad = std::numbers::pi / 180.0;
    const double dLat = (lat2 - lat1) * toRad;
    const double dLon = (lon2 - lon1) * toRad;
    const double a = std::sin(dLat / 2) * std::sin(dLat / 2)
                     + std::cos(lat1 * toRad) * std::cos(lat2 * toRad) * std::sin(dLon / 2) * std::sin(dLon / 2);
    return 2 * radius * std::asin(std::sqrt(a));
}

struct Zone
{
    QString codeposPrefix; // empty: metropolitan France
    QString departement;   // empty: any metropolitan département
    double minLon, maxLon, minLat, maxLat;
};

// Bounding boxes with a small margin; overseas départements are told apart by
// the first three digits of the postal code.
const std::vector<Zone> zones = {
    {"", "", -5.3, 9.6, 41.3, 51.2},
    {"971", "GUADELOUPE", -61.9, -60.9, 15.8, 16.6},
    {"972", "MARTINIQUE", -61.3, -60.8, 14.3, 14.95},
    {"973", "GUYANE", -54.7, -51.5, 2.1, 5.8},
    {"974", "LA REUNION", 55.2, 55.9, -21.4, -20.85},
    {"976", "MAYOTTE", 44.9, 45.35, -13.05, -12.6},
};

const Zone &zoneOf(const QString &codepos)
{
    for (const Zone &zone : zones)
        if (!zone.codeposPrefix.isEmpty() && codepos.startsWith(zone.codeposPrefix))
            return zone;
    return zones.front();
}

bool isCorsican(const Row &row)
{
    const QString dept = row[Departement].toString();
    return dept == QLatin1String("CORSE-DU-SUD") || dept == QLatin1String("HAUTE-CORSE");
}

} // namespace

class TestShippedData : public QObject
{
    Q_OBJECT

private:
    std::vector<Row> m_rows;

private slots:
    void initTestCase()
    {
        QVERIFY2(QFileInfo::exists(shippedStorePath()), qPrintable(shippedStorePath()));
        m_rows = readRows(shippedStorePath());
    }

    void schemaHasTheColumnsInOrder()
    {
        sqlite3 *db = nullptr;
        QCOMPARE(sqlite3_open_v2(shippedStorePath().toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr),
                 SQLITE_OK);
        sqlite3_stmt *stmt = nullptr;
        QCOMPARE(sqlite3_prepare_v2(db, "PRAGMA table_info(insee1)", -1, &stmt, nullptr), SQLITE_OK);
        QStringList columns;
        while (sqlite3_step(stmt) == SQLITE_ROW)
            columns << QStringLiteral("%1 %2").arg(
                QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 1))),
                QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 2))));
        sqlite3_finalize(stmt);

        // Every value must be stored with its column's own type, not merely declared so.
        QCOMPARE(sqlite3_prepare_v2(db,
                                    "SELECT count(*) FROM insee1 WHERE typeof(commune) <> 'text' "
                                    "OR typeof(longitude) <> 'real' OR typeof(latitude) <> 'real' "
                                    "OR typeof(codepos) <> 'text' OR typeof(departement) <> 'text' "
                                    "OR typeof(population) <> 'integer' OR typeof(nom) <> 'text'",
                                    -1, &stmt, nullptr),
                 SQLITE_OK);
        QCOMPARE(sqlite3_step(stmt), SQLITE_ROW);
        const int badlyTyped = sqlite3_column_int(stmt, 0);
        sqlite3_finalize(stmt);
        sqlite3_close(db);

        QCOMPARE(columns, QStringList({"commune TEXT", "longitude REAL", "latitude REAL", "codepos TEXT",
                                       "departement TEXT", "code_insee TEXT", "population INTEGER", "nom TEXT"}));
        QCOMPARE(badlyTyped, 0);
    }

    void rowCountIsOneRowPerCommune()
    {
        QVERIFY2(m_rows.size() >= 34800 && m_rows.size() <= 34950, qPrintable(QString::number(m_rows.size())));
    }

    void firstRecordIsTheFirstCommuneOfAin()
    {
        QVERIFY(!m_rows.empty());
        const Row &first = m_rows.front();
        QCOMPARE(first[Commune].toString(), QStringLiteral("L ABERGEMENT CLEMENCIAT"));
        QCOMPARE(first[Codepos].toString(), QStringLiteral("01400"));
        QCOMPARE(first[Departement].toString(), QStringLiteral("AIN"));

        // The program shows the first record through fieldText at start-up.
        const std::unique_ptr<Database> db = openDatabase(shippedStorePath());
        Recordset rs = db->openRecordset(QStringLiteral("insee1"));
        rs.moveFirst();
        QCOMPARE(rs.fieldText(u"commune"), QStringLiteral("L ABERGEMENT CLEMENCIAT"));
        QCOMPARE(rs.fieldText(u"Departement"), QStringLiteral("AIN"));
        QCOMPARE(rs.fieldText(u"codepos").left(2), QStringLiteral("01"));
    }

    void noFieldIsNull()
    {
        for (const Row &row : m_rows)
            for (const QVariant &value : row)
                QVERIFY2(!value.isNull(), qPrintable(describe(row)));
    }

    void postalCodesAreFiveDigits()
    {
        static const QRegularExpression fiveDigits(QStringLiteral("^[0-9]{5}$"));
        for (const Row &row : m_rows)
            QVERIFY2(fiveDigits.match(row[Codepos].toString()).hasMatch(), qPrintable(describe(row)));
    }

    void namesAreUpperCaseWordsWithSingleBlanks()
    {
        static const QRegularExpression words(QStringLiteral("^[A-Z0-9]+( [A-Z0-9]+)*$"));
        for (const Row &row : m_rows)
            QVERIFY2(words.match(row[Commune].toString()).hasMatch(), qPrintable(describe(row)));
    }

    void departementNamesAreUpperCaseWithoutAccents()
    {
        static const QRegularExpression plain(QStringLiteral("^[A-Z]+([-' ][A-Z]+)*$"));
        QSet<QString> names;
        for (const Row &row : m_rows) {
            QVERIFY2(plain.match(row[Departement].toString()).hasMatch(), qPrintable(describe(row)));
            names.insert(row[Departement].toString());
        }
        // 96 metropolitan départements and the five overseas ones.
        QCOMPARE(names.size(), 101);
        QVERIFY(names.contains(QStringLiteral("COTES-D'ARMOR")));
        QVERIFY(names.contains(QStringLiteral("BOUCHES-DU-RHONE")));
    }

    void coordinatesLieInTheirOwnZone()
    {
        for (const Row &row : m_rows) {
            const QString codepos = row[Codepos].toString();
            const Zone &zone = zoneOf(codepos);
            const double lon = row[Longitude].toDouble();
            const double lat = row[Latitude].toDouble();
            QVERIFY2(lon >= zone.minLon && lon <= zone.maxLon && lat >= zone.minLat && lat <= zone.maxLat,
                     qPrintable(describe(row)));
            if (!zone.departement.isEmpty())
                QVERIFY2(row[Departement].toString() == zone.departement, qPrintable(describe(row)));
            else
                QVERIFY2(!codepos.startsWith(QLatin1String("97")), qPrintable(describe(row)));
        }
    }

    void eachDepartementIsOneRun()
    {
        // The rows follow the commune code, whose first digits are the
        // département: each département's rows come together.
        QSet<QString> finished;
        QString current;
        for (const Row &row : m_rows) {
            const QString dept = row[Departement].toString();
            if (dept == current)
                continue;
            QVERIFY2(!finished.contains(dept), qPrintable(QStringLiteral("second run of ") + dept));
            finished.insert(current);
            current = dept;
        }
    }

    void corsicaSitsBetweenCorrezeAndCoteDOr()
    {
        std::optional<size_t> firstCorsican, lastCorsican;
        for (size_t i = 0; i < m_rows.size(); ++i) {
            const bool corsican = isCorsican(m_rows[i]);
            // Postal codes 20xxx are Corsica's and only Corsica's.
            QVERIFY2(corsican == m_rows[i][Codepos].toString().startsWith(QLatin1String("20")),
                     qPrintable(describe(m_rows[i])));
            if (corsican) {
                if (!firstCorsican)
                    firstCorsican = i;
                lastCorsican = i;
            }
        }
        QVERIFY(firstCorsican && lastCorsican);
        QVERIFY(*firstCorsican > 0 && *lastCorsican + 1 < m_rows.size());
        for (size_t i = *firstCorsican; i <= *lastCorsican; ++i)
            QVERIFY2(isCorsican(m_rows[i]), qPrintable(describe(m_rows[i])));
        QCOMPARE(m_rows[*firstCorsican][Departement].toString(), QStringLiteral("CORSE-DU-SUD"));
        QCOMPARE(m_rows[*lastCorsican][Departement].toString(), QStringLiteral("HAUTE-CORSE"));
        // Corrèze is 19, Côte-d'Or 21.
        QCOMPARE(m_rows[*firstCorsican - 1][Departement].toString(), QStringLiteral("CORREZE"));
        QCOMPARE(m_rows[*lastCorsican + 1][Departement].toString(), QStringLiteral("COTE-D'OR"));
    }

    void overseasRowsComeLastInOrder()
    {
        QString previousPrefix;
        bool overseas = false;
        for (const Row &row : m_rows) {
            const QString codepos = row[Codepos].toString();
            const bool rowOverseas = codepos.startsWith(QLatin1String("97"));
            QVERIFY2(!overseas || rowOverseas,
                     qPrintable(QStringLiteral("metropolitan after overseas: ") + describe(row)));
            overseas = rowOverseas;
            if (rowOverseas) {
                QVERIFY2(codepos.left(3) >= previousPrefix, qPrintable(describe(row)));
                previousPrefix = codepos.left(3);
            }
        }
        QVERIFY(overseas);
    }

    // Every commune has its postal codes, its chosen one among them, and
    // each code of the source data for a commune of the table is there.
    void postcodesCoverEveryCommune()
    {
        const auto postcodes = readPostcodes(shippedStorePath());
        std::vector<QStringList> codesOf(m_rows.size());
        for (const auto &[commune, code] : postcodes) {
            QVERIFY2(commune >= 1 && size_t(commune) <= m_rows.size(), qPrintable(code));
            QVERIFY2(QRegularExpression(QStringLiteral("^\\d{5}$")).match(code).hasMatch(), qPrintable(code));
            codesOf[size_t(commune) - 1] << code;
        }
        for (size_t i = 0; i < m_rows.size(); ++i) {
            QVERIFY2(codesOf[i].contains(m_rows[i][Codepos].toString()), qPrintable(describe(m_rows[i])));
            QCOMPARE(codesOf[i].removeDuplicates(), 0);
        }

        const QString source = sharedDir() + "/data/decoupage-administratif/communes.json";
        REQUIRE_SHARED_FILE(source);
        QFile file(source);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QSet<QString> stored;
        for (const auto &row : postcodes)
            stored.insert(row.second);
        int checked = 0;
        for (const QJsonValue &value : QJsonDocument::fromJson(file.readAll()).array()) {
            const QJsonObject commune = value.toObject();
            const QString departement = commune.value(QLatin1String("departement")).toString();
            const bool kept = departement.size() == 2
                              || (departement >= QLatin1String("971") && departement <= QLatin1String("976")
                                  && departement != QLatin1String("975"));
            if (commune.value(QLatin1String("type")).toString() != QLatin1String("commune-actuelle") || !kept)
                continue;
            for (const QJsonValue &code : commune.value(QLatin1String("codesPostaux")).toArray()) {
                QVERIFY2(stored.contains(code.toString()), qPrintable(code.toString()));
                ++checked;
            }
        }
        QCOMPARE(size_t(checked), postcodes.size());
    }

    void knownCommunes_data()
    {
        QTest::addColumn<QString>("commune");
        QTest::addColumn<QString>("departement");
        QTest::addColumn<QString>("codepos");
        QTest::addColumn<double>("latitude");
        QTest::addColumn<double>("longitude");
        QTest::addColumn<double>("withinKm");

        // Known centres of the towns; large communes get a wider margin, since
        // the stored point is the centre of the commune's whole area.
        // clang-format off
        QTest::newRow("Paris") << "PARIS" << "PARIS" << "75001" << 48.8566 << 2.3522 << 3.0;
        QTest::newRow("Brest") << "BREST" << "FINISTERE" << "29200" << 48.3904 << -4.4861 << 5.0;
        QTest::newRow("Ajaccio") << "AJACCIO" << "CORSE-DU-SUD" << "20000" << 41.9192 << 8.7386 << 6.0;
        QTest::newRow("Bastia") << "BASTIA" << "HAUTE-CORSE" << "20200" << 42.6970 << 9.4503 << 5.0;
        QTest::newRow("Pontoise") << "PONTOISE" << "VAL-D'OISE" << "95000" << 49.0503 << 2.1008 << 3.0;
        QTest::newRow("Saint-Etienne") << "ST ETIENNE" << "LOIRE" << "42000" << 45.4397 << 4.3872 << 6.0;
        QTest::newRow("Sainte-Foy-les-Lyon") << "STE FOY LES LYON" << "RHONE" << "69110" << 45.7336 << 4.8025
                                             << 3.0;
        QTest::newRow("Strasbourg") << "STRASBOURG" << "BAS-RHIN" << "67000" << 48.5734 << 7.7521 << 5.0;
        QTest::newRow("Sannerville") << "SANNERVILLE" << "CALVADOS" << "14940" << 49.1803 << -0.2247 << 5.0;
        QTest::newRow("Saint-Denis (Reunion)") << "ST DENIS" << "LA REUNION" << "97400" << -20.8823 << 55.4504
                                               << 8.0;
        QTest::newRow("Fort-de-France") << "FORT DE FRANCE" << "MARTINIQUE" << "97200" << 14.6161 << -61.0588
                                        << 5.0;
        QTest::newRow("Pointe-a-Pitre") << "POINTE A PITRE" << "GUADELOUPE" << "97110" << 16.2411 << -61.5331
                                        << 3.0;
        QTest::newRow("Cayenne") << "CAYENNE" << "GUYANE" << "97300" << 4.9224 << -52.3135 << 5.0;
        QTest::newRow("Mamoudzou") << "MAMOUDZOU" << "MAYOTTE" << "97600" << -12.7806 << 45.2278 << 6.0;
        QTest::newRow("Lajoux, its own département's code") << "LAJOUX" << "JURA" << "39310" << 46.3797 << 5.9817 << 6.0;
        // clang-format on
    }

    void knownCommunes()
    {
        QFETCH(QString, commune);
        QFETCH(QString, departement);
        QFETCH(QString, codepos);
        QFETCH(double, latitude);
        QFETCH(double, longitude);
        QFETCH(double, withinKm);

        // Names repeat across départements (ST DENIS, ...): match on both.
        std::vector<const Row *> found;
        for (const Row &row : m_rows)
            if (row[Commune].toString() == commune && row[Departement].toString() == departement)
                found.push_back(&row);
        QCOMPARE(found.size(), size_t(1));
        const Row &row = *found.front();
        QCOMPARE(row[Codepos].toString(), codepos);
        const double km = distanceKm(latitude, longitude, row[Latitude].toDouble(), row[Longitude].toDouble());
        QVERIFY2(km <= withinKm, qPrintable(QStringLiteral("%1 km away: %2").arg(km).arg(describe(row))));
    }

    // Every other name leads to a row of insee1, in the stored form of its
    // names, and is not the name of the commune it leads to (another
    // commune's, it may be: VIRE leads to VIRE NORMANDIE). Former names of
    // the history read their change and its year.
    void otherNamesLeadToCurrentCommunes()
    {
        const auto others = readOtherNames(shippedStorePath());
        const QStringList kinds = {"arrondissement municipal", "commune déléguée", "commune associée",
                                   "ancienne commune"};
        const QRegularExpression storedForm(QStringLiteral("^[A-Z0-9]+( [A-Z0-9]+)*$"));
        const QRegularExpression formerKind(QStringLiteral("^[a-zéè ]+, (19[4-9]\\d|20[0-2]\\d)$"));
        QSet<QString> seen;
        QHash<QString, int> perKind;
        int previous = 0;
        for (const OtherNameRow &other : others) {
            const QString where = other.name + " → " + QString::number(other.commune);
            QVERIFY2(other.commune >= previous && size_t(other.commune) <= m_rows.size(), qPrintable(where));
            previous = other.commune;
            QVERIFY2(kinds.contains(other.kind) || formerKind.match(other.kind).hasMatch(),
                     qPrintable(where + " " + other.kind));
            QVERIFY2(storedForm.match(other.name).hasMatch(), qPrintable(where));
            QVERIFY2(other.name != m_rows[size_t(other.commune) - 1][Commune].toString(), qPrintable(where));
            QVERIFY2(!seen.contains(where), qPrintable(where));
            seen.insert(where);
            const bool arrondissement = other.kind == kinds[0];
            QCOMPARE(QRegularExpression(QStringLiteral("^\\d{5}$")).match(other.codepos).hasMatch(), arrondissement);
            ++perKind[other.kind];
        }
        QCOMPARE(perKind.value(kinds[0]), 45); // Paris 20, Marseille 16, Lyon 9
        for (const QString &kind : kinds)
            QVERIFY2(perKind.value(kind) > 0, qPrintable(kind));
    }

    // Every post-office locality is a label of La Poste's base under that
    // postal code, none is its commune's own name, and a few lead where the
    // source says.
    void postOfficeLocalitiesAreLaPostesLabels()
    {
        const QString source = sharedDir() + "/data/codes-postaux/codes-postaux.json";
        REQUIRE_SHARED_FILE(source);
        QSet<QString> labels; // folded label and postal code
        for (const QJsonValue &value : readJsonArray(source)) {
            const QJsonObject row = value.toObject();
            QString label = row.value(QLatin1String("libelleAcheminement")).toString();
            // The article written last goes in front, as the tool writes it.
            static const QRegularExpression articleLast(QStringLiteral("^(.*\\S)\\s*\\(\\s*(LA|LE|LES|L'|L)\\s*\\)$"));
            label.replace(articleLast, QStringLiteral("\\2 \\1"));
            labels.insert(foldName(label) + u'|' + row.value(QLatin1String("codePostal")).toString());
        }
        const auto localities = readOtherNames(shippedStorePath(), "localites_postales");
        QVERIFY(localities.size() > 300);
        QHash<QString, QStringList> communesOf;
        for (const OtherNameRow &locality : localities) {
            const QString where = locality.name + " " + locality.codepos;
            QVERIFY2(labels.contains(locality.name + u'|' + locality.codepos), qPrintable(where));
            QCOMPARE(locality.kind, QStringLiteral("localité postale"));
            QVERIFY2(locality.name != m_rows[size_t(locality.commune) - 1][Commune].toString(), qPrintable(where));
            communesOf[locality.name] << m_rows[size_t(locality.commune) - 1][Commune].toString();
        }
        QCOMPARE(communesOf.value("PUYRICARD"), QStringList{"AIX EN PROVENCE"});
        QCOMPARE(communesOf.value("SALIN DE GIRAUD"), QStringList{"ARLES"});
        QCOMPARE(communesOf.value("ST AYGULF"), (QStringList{"FREJUS", "ROQUEBRUNE SUR ARGENS"}));
        // Written La Poste's way, a commune's own name is no locality.
        QVERIFY(!communesOf.contains("RAISSAC S LAMPY"));
        QVERIFY(!communesOf.contains("LA FRETTE SUR SEINE"));
    }

    void knownOtherNames_data()
    {
        QTest::addColumn<QString>("code"); // INSEE code of the other name
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("departement");
        // clang-format off
        QTest::newRow("commune déléguée") << "74011" << "commune déléguée" << "ANNECY LE VIEUX" << "ANNECY" << "HAUTE-SAVOIE";
        QTest::newRow("déléguée under its commune's code") << "50129" << "commune déléguée" << "CHERBOURG OCTEVILLE" << "CHERBOURG EN COTENTIN" << "MANCHE";
        QTest::newRow("commune associée") << "01120" << "commune associée" << "CORDIEUX" << "MONTLUEL" << "AIN";
        QTest::newRow("ancienne commune") << "16156" << "ancienne commune" << "GOURVILLE" << "ROUILLAC" << "CHARENTE";
        QTest::newRow("arrondissement") << "75115" << "arrondissement municipal" << "PARIS 15E ARRONDISSEMENT" << "PARIS" << "PARIS";
        QTest::newRow("arrondissement, 1er") << "13201" << "arrondissement municipal" << "MARSEILLE 1ER ARRONDISSEMENT" << "MARSEILLE" << "BOUCHES-DU-RHONE";
        // clang-format on
    }

    // A few other names, each checked against the source data: what the
    // source calls it, where it links it, and where the table leads.
    void knownOtherNames()
    {
        QFETCH(QString, code);
        QFETCH(QString, kind);
        QFETCH(QString, name);
        QFETCH(QString, current);
        QFETCH(QString, departement);
        const QString base = sharedDir() + "/data/";
        REQUIRE_SHARED_FILE(base + "decoupage-administratif/communes.json");

        QString sourceName;
        QString linkedTo;
        QHash<QString, QString> currentNames; // by code
        for (const QJsonValue &value : readJsonArray(base + "decoupage-administratif/communes.json")) {
            const QJsonObject commune = value.toObject();
            const QString type = commune.value(QLatin1String("type")).toString();
            const QString ownCode = commune.value(QLatin1String("code")).toString();
            if (type == QLatin1String("commune-actuelle")) {
                currentNames.insert(ownCode, commune.value(QLatin1String("nom")).toString());
                if (commune.value(QLatin1String("anciensCodes")).toArray().contains(code))
                    linkedTo = ownCode;
            } else if (ownCode == code) {
                sourceName = commune.value(QLatin1String("nom")).toString();
                linkedTo = commune
                               .value(QLatin1String(type == QLatin1String("arrondissement-municipal") ? "commune"
                                                                                                      : "chefLieu"))
                               .toString();
            }
        }
        if (kind == QLatin1String("ancienne commune")) {
            // Named by its 2018 contour only.
            const QString departementFolder =
                QDir(base + "france-geojson/departements").entryList({code.left(2) + "-*"}, QDir::Dirs).value(0);
            const QDir folder(base + "france-geojson/departements/" + departementFolder);
            const QString contours = folder.filePath(folder.entryList({"communes-*.geojson"}).value(0));
            QFile file(contours);
            QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(contours));
            const QJsonArray features = QJsonDocument::fromJson(file.readAll()).object().value("features").toArray();
            for (const QJsonValue &feature : features) {
                const QJsonObject properties = feature.toObject().value("properties").toObject();
                if (properties.value("code").toString() == code)
                    sourceName = properties.value("nom").toString();
            }
        }
        QVERIFY2(!sourceName.isEmpty(), qPrintable(code));
        QCOMPARE(foldName(sourceName), name);
        QCOMPARE(foldName(currentNames.value(linkedTo)), current);

        int found = 0;
        for (const OtherNameRow &other : readOtherNames(shippedStorePath())) {
            if (other.name != name || other.kind != kind)
                continue;
            const Row &row = m_rows.at(size_t(other.commune) - 1);
            if (row[Commune].toString() == current && row[Departement].toString() == departement)
                ++found;
        }
        QCOMPARE(found, 1);
    }

    // Each row's INSEE code is the code of a current commune of INSEE's list
    // that bears its name, once, in the table's order.
    void inseeCodesAreTheSourcesOwn()
    {
        const QString source = sharedDir() + "/data/insee-cog/communes.csv";
        REQUIRE_SHARED_FILE(source);
        QFile file(source);
        QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
        QHash<QString, QString> nameOfCode;
        while (!file.atEnd()) {
            const QStringList fields = QString::fromUtf8(file.readLine()).split(u',');
            if (fields.value(0) == QLatin1String("COM"))
                nameOfCode.insert(fields.value(1), fields.value(9));
        }
        QStringList codes = sqliteColumn(shippedStorePath(), "SELECT code_insee FROM insee1 ORDER BY rowid");
        QCOMPARE(size_t(codes.size()), m_rows.size());
        for (size_t i = 0; i < m_rows.size(); ++i) {
            const QString &code = codes[qsizetype(i)];
            QVERIFY2(nameOfCode.contains(code), qPrintable(code));
            // The table writes the parentheses of BORS (CANTON DE ...) as blanks.
            QString name = nameOfCode.value(code);
            name.replace(u'(', u' ').replace(u')', u' ');
            QCOMPARE(foldName(name), m_rows[i][Commune].toString());
        }
        QCOMPARE(codes.first(), QStringLiteral("01001"));
        codes.removeDuplicates();
        QCOMPARE(size_t(codes.size()), m_rows.size());
    }

    void toolRebuildsTheSameRows()
    {
        const QString source = sharedDir() + "/data";
        REQUIRE_SHARED_FILE(source + "/decoupage-administratif/communes.json");
        const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
        if (python.isEmpty())
            QSKIP("python3 is not on the PATH");

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString output = dir.filePath(QStringLiteral("insee.sqlite"));
        QProcess tool;
        tool.start(python, {sourceDir() + "/tools/make_insee_sqlite.py", source, output});
        // The tool reads some 50 MB of contours: seconds, but leave room for a slow machine.
        QVERIFY2(tool.waitForFinished(240000), qPrintable(tool.errorString()));
        QVERIFY2(tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0,
                 qPrintable(QString::fromUtf8(tool.readAllStandardError())));

        QCOMPARE(readPostcodes(output), readPostcodes(shippedStorePath()));
        QVERIFY(fileBytes(output) == fileBytes(shippedStorePath()));
        const std::vector<Row> rebuilt = readRows(output);
        QCOMPARE(rebuilt.size(), m_rows.size());
        for (size_t i = 0; i < rebuilt.size(); ++i)
            QVERIFY2(rebuilt[i] == m_rows[i], qPrintable(QStringLiteral("row %1: %2 instead of %3")
                                                             .arg(i + 1)
                                                             .arg(describe(rebuilt[i]), describe(m_rows[i]))));
    }
};

QTEST_GUILESS_MAIN(TestShippedData)
#include "test_shipped_data.moc"
