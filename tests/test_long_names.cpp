#include "Form1Driver.h"
#include "TestPaths.h"
#include "TestStore.h"
#include "app/Form1.h"
#include "widgets/FittingLabel.h"
#include "widgets/WholeNameFont.h"

#include <QFontInfo>
#include <QTemporaryDir>
#include <QtTest>

// Names wider than their label are shown whole, in a smaller size of the
// label's font, never under 8 px: the longest commune names of the shipped
// table in Label1, long département names in Label8 and Label20.

using namespace form1test;

namespace {

int pixelSize(const QFont &font)
{
    return font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
}

// The columns of a label's picture where its text left ink: first and last.
std::pair<int, int> inkColumns(QLabel *label)
{
    const QImage image = label->grab().toImage();
    const QRgb ink = label->palette().color(QPalette::WindowText).rgb();
    int first = -1;
    int last = -1;
    for (int x = 0; x < image.width(); ++x) {
        for (int y = 0; y < image.height(); ++y) {
            // Glyph edges are blended with the skin; count the pixels that
            // are mostly ink.
            const QColor c = QColor::fromRgb(image.pixel(x, y));
            const QColor i = QColor::fromRgb(ink);
            if (std::abs(c.red() - i.red()) + std::abs(c.green() - i.green()) + std::abs(c.blue() - i.blue()) < 120) {
                if (first < 0)
                    first = x;
                last = x;
                break;
            }
        }
    }
    return {first, last};
}

// Checks that the label shows its whole text: in a font of at least 8 px in
// which it fits, and with ink neither at the left nor at the right edge, as a
// line cut at both ends would leave.
QString shownWhole(FittingLabel *label)
{
    const QFont font = label->shownFont();
    const QString text = label->text();
    const int width = label->contentsRect().width();
    if (pixelSize(font) < minimumNamePixelSize)
        return QStringLiteral("%1 px for %2").arg(pixelSize(font)).arg(text);
    if (!label->wraps() && QFontMetricsF(font).horizontalAdvance(text) > width)
        return QStringLiteral("%1 does not fit in %2 px").arg(text).arg(width);
    const auto [first, last] = inkColumns(label);
    if (first <= 0 || last >= label->width() - 1)
        return QStringLiteral("%1 touches the edges (%2..%3 of %4)").arg(text).arg(first).arg(last).arg(label->width());
    return {};
}

// Every name of the shipped table, read with SQLite itself.
QStringList shippedNames()
{
    QStringList names;
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(shippedStorePath().toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt *select = nullptr;
        // The names as the window shows them: INSEE's.
        if (sqlite3_prepare_v2(db, "SELECT nom FROM insee1", -1, &select, nullptr) == SQLITE_OK) {
            while (sqlite3_step(select) == SQLITE_ROW)
                names << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(select, 0)));
        }
        sqlite3_finalize(select);
    }
    sqlite3_close(db);
    return names;
}

} // namespace

class TestLongNames : public QObject
{
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(french); }
    void fontHelperShrinksOnlyWhatIsTooWide();
    void longestShippedNamesShowWhole();
    void shortNameKeepsTheDesignFont();
    void longDepartementNamesShowWhole();
};

void TestLongNames::fontHelperShrinksOnlyWhatIsTooWide()
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(11);
    font.setBold(true);
    QCOMPARE(wholeNameFont(font, QStringLiteral("PARIS"), 225), font);
    const QString longName = QStringLiteral("MONTIGNY MORNAY VILLENEUVE SUR VINGEANNE");
    const QFont smaller = wholeNameFont(font, longName, 225);
    QVERIFY(smaller.pixelSize() < 11);
    QVERIFY(smaller.pixelSize() >= minimumNamePixelSize);
    QCOMPARE(smaller.family(), font.family());
    QCOMPARE(smaller.bold(), true);
    QVERIFY(nameFits(smaller, longName, 225));
    // The largest size that fits: one pixel more would not.
    QFont larger = smaller;
    larger.setPixelSize(smaller.pixelSize() + 1);
    QVERIFY(!nameFits(larger, longName, 225));
    // No room at all: the smallest size, never less.
    QCOMPARE(wholeNameFont(font, longName, 10).pixelSize(), minimumNamePixelSize);
}

void TestLongNames::longestShippedNamesShowWhole()
{
    REQUIRE_SHARED_FILE(shippedStorePath());
    Window w(shippedStorePath());
    auto *label1 = qobject_cast<FittingLabel *>(w.form.Label1);
    QVERIFY(label1);
    const QFont design = w.form.Label1->font();
    const int width = w.form.Label1->contentsRect().width();

    QStringList tooWide;
    for (const QString &name : shippedNames()) {
        if (!nameFits(design, name, width))
            tooWide << name;
    }
    // Written as INSEE writes them, in small letters, the shipped table
    // still holds one such name.
    QVERIFY2(tooWide.size() >= 1, qPrintable(tooWide.join(", ")));
    QVERIFY(tooWide.contains(QStringLiteral("Saint-Remy-en-Bouzemont-Saint-Genest-et-Isson")));

    for (const QString &name : tooWide) {
        w.search(name);
        QCOMPARE(w.form.Label1->text(), name);
        QVERIFY(pixelSize(label1->shownFont()) < pixelSize(design));
        QVERIFY(!label1->wraps());
        const QString problem = shownWhole(label1);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        // The label itself keeps its design font.
        QCOMPARE(w.form.Label1->font(), design);
    }
}

void TestLongNames::shortNameKeepsTheDesignFont()
{
    Window w(shippedStorePath());
    auto *label1 = qobject_cast<FittingLabel *>(w.form.Label1);
    w.search(QStringLiteral("MONTIGNY MORNAY VILLENEUVE SUR VINGEANNE"));
    w.search(QStringLiteral("PARIS"));
    QCOMPARE(label1->shownFont(), w.form.Label1->font());
    QCOMPARE(shownWhole(label1), QString());
}

void TestLongNames::longDepartementNamesShowWhole()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("long.sqlite"));
    // A user's own file may spell a département at length.
    const QString longest = QStringLiteral("DEPARTEMENT DES ALPES-DE-HAUTE-PROVENCE ET DE LA MONTAGNE");
    QVERIFY(writeCommuneStore(path, {
                                        commune("PARIS", 2.3428, 48.85661, "75001", "PARIS"),
                                        commune("DIGNE LES BAINS", 6.2355, 44.0925, "04000", "ALPES-DE-HAUTE-PROVENCE"),
                                        commune("QUELQUE PART", 6.2, 44.1, "04000", longest),
                                    }));
    Window w(path);
    for (const QString &name : {QStringLiteral("digne les bains"), QStringLiteral("quelque part")}) {
        w.search(name);
        for (QLabel *label : {w.form.Label8, w.form.Label20}) {
            auto *fitting = qobject_cast<FittingLabel *>(label);
            QVERIFY2(fitting, qPrintable(label->objectName()));
            const QString problem = shownWhole(fitting);
            QVERIFY2(problem.isEmpty(), qPrintable(label->objectName() + ": " + problem));
        }
    }
    QCOMPARE(w.form.Label8->text(), longest);
    QVERIFY(pixelSize(qobject_cast<FittingLabel *>(w.form.Label8)->shownFont()) < 11);
}

QTEST_MAIN(TestLongNames)
#include "test_long_names.moc"
