#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>
#include <sqlite3.h>
#include <utility>
#include <vector>

// The one builder of the small SQLite stores the tests read: a table of
// communes (insee1 unless named otherwise) with the columns asked for, its
// rows, the other tables of the shipped store with their shipped columns,
// and any SQL of a store that lies about itself. A row may give fewer
// values than there are columns: the rest stay NULL. A null QVariant
// writes a NULL, a double a REAL, an integer an INTEGER, anything else a
// TEXT.
class TestStore
{
public:
    using Row = std::vector<QVariant>;

    // The usual five columns of insee1.
    TestStore() : TestStore(QStringList{"commune", "longitude", "latitude", "codepos", "departement"}) {}
    // Columns by name, typed as the shipped store types them; « name TYPE »
    // for another.
    explicit TestStore(const QStringList &columns) { m_tables.push_back({QStringLiteral("insee1"), columns, {}}); }

    TestStore &named(const QString &table)
    {
        m_tables.front().name = table;
        return *this;
    }
    TestStore &row(Row values)
    {
        m_tables.front().rows.push_back(std::move(values));
        return *this;
    }
    TestStore &rows(std::vector<Row> values)
    {
        for (Row &values1 : values)
            row(std::move(values1));
        return *this;
    }
    // Another table of the shipped store (codes_postaux, autres_noms,
    // historique, anciens_codes, etats, departements, evenements,
    // localites_postales), with the shipped columns, and its rows.
    TestStore &table(const QString &name, std::vector<Row> values)
    {
        m_tables.push_back({name, shippedColumns().value(name), std::move(values)});
        return *this;
    }
    // Statements run after the tables are written.
    TestStore &sql(const QString &statements)
    {
        m_sql += statements;
        return *this;
    }

    bool write(const QString &path) const
    {
        sqlite3 *db = nullptr;
        const QByteArray sql = ("BEGIN;" + statements().join(u';') + ";COMMIT;").toUtf8();
        const bool ok = sqlite3_open(path.toUtf8().constData(), &db) == SQLITE_OK
                        && sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
        sqlite3_close(db);
        return ok;
    }

    // The same store as SQL statements, for a test that runs them with
    // statements of its own.
    QStringList statements() const
    {
        QStringList all;
        for (const Table &table : m_tables) {
            all << createStatement(table);
            for (const Row &row : table.rows) {
                QStringList values;
                for (const QVariant &value : row)
                    values << literal(value);
                all << QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                           .arg(table.name, namesOf(table, row.size()).join(", "), values.join(", "));
            }
        }
        if (!m_sql.isEmpty())
            all << m_sql;
        return all;
    }

    // Written in the folder as store1.sqlite, store2.sqlite and so on, for
    // tests that need many small stores; stops the test program if it cannot.
    QString writeIn(const QTemporaryDir &dir) const
    {
        static int count = 0;
        const QString path = dir.filePath(QStringLiteral("store%1.sqlite").arg(++count));
        if (!write(path))
            qFatal("cannot write the test store");
        return path;
    }

    // The columns of the shipped store's tables, as tools/make_insee_sqlite.py writes them.
    static const QMap<QString, QStringList> &shippedColumns()
    {
        static const QMap<QString, QStringList> columns = {
            {"insee1",
             {"commune", "longitude", "latitude", "codepos", "departement", "code_insee", "population", "nom"}},
            {"codes_postaux", {"commune", "codepos"}},
            {"autres_noms", {"commune", "nature", "actuelle", "codepos", "etapes"}},
            {"historique", {"commune", "nature", "actuelle", "etapes"}},
            {"anciens_codes", {"code_insee", "commune", "nature", "actuelle", "etapes"}},
            {"etats", {"code_insee", "commune", "type", "debut", "fin", "actuelle", "nom"}},
            {"departements", {"code", "nom", "libelle", "region"}},
            {"evenements", {"actuelle", "date", "nature", "avant", "code_avant", "apres", "code_apres"}},
            {"localites_postales", {"commune", "nature", "actuelle", "codepos"}},
        };
        return columns;
    }

private:
    struct Table
    {
        QString name;
        QStringList columns;
        std::vector<Row> rows;
    };

    static QString declared(const QString &column)
    {
        if (column.contains(QLatin1Char(' ')))
            return column;
        static const QStringList real{"longitude", "latitude"};
        static const QStringList integer{"population", "actuelle"};
        const char *type = real.contains(column) ? " REAL" : integer.contains(column) ? " INTEGER" : " TEXT";
        return column + QLatin1String(type);
    }

    static QString createStatement(const Table &table)
    {
        QStringList columns;
        for (const QString &column : table.columns)
            columns << declared(column);
        // codes_postaux.commune is the rowid of insee1, as shipped.
        if (table.name == QLatin1String("codes_postaux"))
            columns.first() = QStringLiteral("commune INTEGER");
        return QStringLiteral("CREATE TABLE %1 (%2)").arg(table.name, columns.join(", "));
    }

    static QStringList namesOf(const Table &table, size_t count)
    {
        QStringList names;
        for (qsizetype c = 0; c < qsizetype(count); ++c)
            names << table.columns.value(c).section(QLatin1Char(' '), 0, 0);
        return names;
    }

    static QString literal(const QVariant &value)
    {
        if (value.isNull())
            return QStringLiteral("NULL");
        if (value.typeId() == QMetaType::Double)
            return QString::number(value.toDouble(), 'g', 17);
        if (value.typeId() == QMetaType::Int || value.typeId() == QMetaType::LongLong)
            return QString::number(value.toLongLong());
        // A NUL inside a text is written as SQL's char(0).
        return "'" + value.toString().replace(u'\'', QLatin1String("''")).replace(QChar(0), "' || char(0) || '") + "'";
    }

    std::vector<Table> m_tables;
    QString m_sql;
};

// A row of the usual five fields.
inline TestStore::Row commune(const QVariant &name, const QVariant &longitude, const QVariant &latitude,
                              const QVariant &codepos, const QVariant &departement)
{
    return {name, longitude, latitude, codepos, departement};
}

// The usual store of five columns with these rows, in table insee1 or another.
inline bool writeCommuneStore(const QString &path, std::vector<TestStore::Row> rows,
                              const QString &table = QStringLiteral("insee1"))
{
    return TestStore().named(table).rows(std::move(rows)).write(path);
}
inline QString writeNumberedStore(const QTemporaryDir &dir, std::vector<TestStore::Row> rows,
                                  const QString &table = QStringLiteral("insee1"))
{
    return TestStore().named(table).rows(std::move(rows)).writeIn(dir);
}

// Communes chosen for their postal codes and names: one of each kind the
// display treats apart, and the two spellings of one name.
inline std::vector<TestStore::Row> displayKindsCommunes()
{
    return {
        commune("L ABERGEMENT CLEMENCIAT", 4.92582, 46.15343, "01400", "AIN"),
        commune("AJACCIO", 8.7369, 41.9192, "20000", "CORSE-DU-SUD"),
        commune("LES ABYMES", -61.5038, 16.2727, "97139", "GUADELOUPE"),
        commune("CERGY", 2.0761, 49.0364, "95000", "VAL-D'OISE"),
        commune("PARIS", 2.3428, 48.85661, "75001", "PARIS"),
        commune("LA ROCHE SUR YON", -1.4265, 46.6705, "85000", "VENDEE"),
        commune("AB TOWN", 1.5, 45.5, "AB123", "NULLE PART"),
        commune("BOURG EN BRESSE", 5.2258, 46.2052, "01000", "AIN"),
        commune("EVIAN LES BAINS", 6.59, 46.4, "74500", "HAUTE-SAVOIE"),
        commune(QString::fromUtf8("ÉVIAN"), 6.59, 46.4, "74500", "HAUTE-SAVOIE"),
    };
}
