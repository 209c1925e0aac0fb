#include "store/TableBuilder.h"

#include <QtTest>

// The typed columns: every cell must read back as the value appended, whatever
// the order in which kinds meet in a column (the storage changes shape when a
// second kind or the first non-NULL value arrives).
class TestTableBuilder : public QObject
{
    Q_OBJECT
private slots:
    void cellsReadBack_data();
    void cellsReadBack();
    void repeatedTextsAreStoredOnce();
    void textsInPlace();
    void memoryLimit();
    void roomForTexts();
};

using Cells = QVariantList;
Q_DECLARE_METATYPE(Cells)

void TestTableBuilder::cellsReadBack_data()
{
    const QVariant null;
    QTest::addColumn<Cells>("cells");
    // clang-format off
    QTest::newRow("texts") << Cells{"PARIS", "BREST", "", "PARIS"};
    QTest::newRow("NULLs, then text") << Cells{null, null, "AIN", null};
    QTest::newRow("text, then NULLs at the end") << Cells{"AIN", null, null};
    QTest::newRow("only NULLs") << Cells{null, null, null};
    QTest::newRow("reals and integers")
        << Cells{2.3428, qlonglong(-1), qlonglong(9007199254740993), -0.0, 1e300};
    QTest::newRow("every kind mixed")
        << Cells{null, "1789", qlonglong(1789), 1789.5, QVariant(QDate(2001, 1, 1)), null, "FIN"};
    QTest::newRow("other types first")
        << Cells{QVariant(QByteArray("\x01\x02", 2)), QVariant(QDate(1900, 2, 3)), "X"};
    QTest::newRow("accents and characters beyond Latin-1")
        << Cells{QString::fromUtf8("Œuvre’s Île"), QString::fromUtf8("é"), "E"};
    // clang-format on
}

void TestTableBuilder::cellsReadBack()
{
    QFETCH(Cells, cells);
    TableBuilder builder("t", {"value", "row"}, 1 << 20);
    for (int i = 0; i < cells.size(); ++i) {
        builder.append(0, cells[i]);
        builder.appendInteger(1, i);
        builder.endRow();
    }
    const TableData table = builder.finish();
    QCOMPARE(table.rowCount(), size_t(cells.size()));
    for (int i = 0; i < cells.size(); ++i) {
        const QVariant read = table.cell(size_t(i), 0);
        QCOMPARE(read.isNull(), cells[i].isNull());
        if (!cells[i].isNull()) {
            QCOMPARE(read.metaType(), cells[i].metaType());
            QCOMPARE(read, cells[i]);
        }
        QCOMPARE(table.cell(size_t(i), 1), QVariant(qlonglong(i)));
    }
}

void TestTableBuilder::repeatedTextsAreStoredOnce()
{
    TableBuilder builder("t", {"departement"}, 1 << 20);
    for (int i = 0; i < 1000; ++i) {
        builder.appendText(0, i % 2 ? u"FINISTERE" : u"AIN");
        builder.endRow();
    }
    const TableData table = builder.finish();
    const Column &column = table.data.front();
    QCOMPARE(column.text(998), u"AIN");
    QCOMPARE(column.text(999), u"FINISTERE");
    QCOMPARE(column.textAt(column.cells()[1]).utf16(), column.textAt(column.cells()[999]).utf16());
    QVERIFY2(column.memoryBytes() < 1000 * 8 + 64, qPrintable(QString::number(column.memoryBytes())));
}

void TestTableBuilder::textsInPlace()
{
    // UTF-8 as SQLite gives it: plain ASCII widens in place, the rest decodes.
    TableBuilder builder("t", {"commune"}, 1 << 20);
    const QByteArray names[] = {"ST ETIENNE", "Saint-Étienne", QByteArray(40, 'A'), ""};
    for (const QByteArray &name : names) {
        builder.appendUtf8(0, name.constData(), size_t(name.size()));
        builder.endRow();
    }
    const TableData table = builder.finish();
    QVERIFY(table.data.front().isAllText());
    for (size_t row = 0; row < std::size(names); ++row)
        QCOMPARE(table.data.front().text(row), QString::fromUtf8(names[row]));
}

void TestTableBuilder::memoryLimit()
{
    TableBuilder builder("t", {"commune"}, 4096);
    const QString name(100, u'X');
    auto fill = [&] {
        for (int i = 0; i < 100; ++i) {
            builder.appendText(0, name);
            builder.endRow();
        }
    };
    QVERIFY_THROWS_EXCEPTION(TableTooLarge, fill());

    // The folded copy of the names counts too: accented names need one,
    // names already in their folded form do not.
    for (const char16_t letter : {u'E', u'\u00C9'}) {
        TableBuilder names("t", {"commune"}, 4096);
        for (int i = 0; i < 10; ++i) {
            names.appendText(0, QString(150, QChar(letter)) + QString::number(i));
            names.endRow();
        }
        if (letter == u'E')
            QCOMPARE(names.finish().rowCount(), size_t(10));
        else
            QVERIFY_THROWS_EXCEPTION(TableTooLarge, names.finish());
    }
}

// A table whose row count is known gets the room its first rows promise for
// its texts, and no more than the budget allows: long first names followed
// by short ones still read within a budget that the promise would pass.
void TestTableBuilder::roomForTexts()
{
    for (const int firstLength : {8, 200}) {
        constexpr int Rows = 20000;
        TableBuilder builder("t", {"commune"}, 2 << 20);
        builder.reserveRows(Rows);
        for (int i = 0; i < Rows; ++i) {
            builder.appendText(0,
                               QString(i < 1024 ? firstLength : 8, u'A') + QString::number(i).rightJustified(5, u'0'));
            builder.endRow();
        }
        const TableData table = builder.finish();
        const Column &names = table.data.front();
        QCOMPARE(names.size(), size_t(Rows));
        QCOMPARE(names.text(Rows - 1), u"AAAAAAAA19999");
        if (firstLength == 8) // the rows kept their promise: a twentieth more than they hold, at most
            QVERIFY2(names.memoryBytes() <= Rows * 8 + Rows * 13 * 2 * 21 / 20 + 64,
                     qPrintable(QString::number(names.memoryBytes())));
    }
}

QTEST_APPLESS_MAIN(TestTableBuilder)
#include "test_table_builder.moc"
