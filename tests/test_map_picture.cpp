#include "departements/DepartementTable.h"
#include "map/MapPicture.h"

#include "TestPaths.h"

#include <QFile>
#include <QHash>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QPointF>
#include <QSet>
#include <QtEndian>
#include <QtTest>

#include <map>
#include <utility>
#include <vector>

namespace {

constexpr QRgb Sea = 0xffcce8ff;
constexpr QRgb White = 0xffffffff;
constexpr QRgb Black = 0xff000000;
constexpr QRgb Blue = 0xff0000ff;

QString mapFile()
{
    return sourceDir() + "/resources/map.bmp";
}

// The committed picture as the program shows it: with the inset lines.
QImage shownPicture()
{
    QImage picture(mapFile());
    picture = picture.convertToFormat(QImage::Format_RGB32);
    MapPicture::drawInsetLines(picture);
    return picture;
}

// Areas of one colour, connected through side neighbours only, the way the
// program's fill spreads. Labelled with an explicit stack, row by row.
class Areas
{
public:
    explicit Areas(const QImage &picture) : m_width(picture.width()), m_ids(picture.width() * picture.height(), -1)
    {
        const int height = picture.height();
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < m_width; ++x) {
                if (m_ids[index(x, y)] != -1)
                    continue;
                const QRgb colour = picture.pixel(x, y);
                const int id = int(m_sizes.size());
                m_sizes.push_back(0);
                m_colours.push_back(colour);
                std::vector<QPoint> stack{{x, y}};
                m_ids[index(x, y)] = id;
                while (!stack.empty()) {
                    const QPoint p = stack.back();
                    stack.pop_back();
                    ++m_sizes[id];
                    const QPoint sides[] = {
                        {p.x() + 1, p.y()}, {p.x() - 1, p.y()}, {p.x(), p.y() + 1}, {p.x(), p.y() - 1}};
                    for (const QPoint &q : sides) {
                        if (!picture.valid(q) || m_ids[index(q.x(), q.y())] != -1 || picture.pixel(q) != colour)
                            continue;
                        m_ids[index(q.x(), q.y())] = id;
                        stack.push_back(q);
                    }
                }
            }
        }
    }

    int at(QPoint p) const { return m_ids[index(p.x(), p.y())]; }
    int count() const { return int(m_sizes.size()); }
    int size(int id) const { return m_sizes[id]; }
    QRgb colour(int id) const { return m_colours[id]; }

    QList<QPoint> pixels(int id) const
    {
        QList<QPoint> result;
        for (int i = 0; i < int(m_ids.size()); ++i)
            if (m_ids[i] == id)
                result.append(QPoint(i % m_width, i / m_width));
        return result;
    }

private:
    int index(int x, int y) const { return y * m_width + x; }

    int m_width;
    std::vector<int> m_ids;
    std::vector<int> m_sizes;
    std::vector<QRgb> m_colours;
};

std::vector<DepartementRow> seededRows()
{
    const auto &table = DepartementTable();
    return {table.begin(), table.begin() + 95};
}

// Contours of the départements, projected onto the picture the way the map
// tool drew them (tools/map_projection.json).
using Ring = std::vector<QPointF>;

class DrawnShapes
{
public:
    static const DrawnShapes &instance()
    {
        static const DrawnShapes shapes;
        return shapes;
    }

    QString error;

    // The rings drawn for a département number of the table.
    std::vector<Ring> rings(int number) const
    {
        std::vector<Ring> result;
        QStringList codes{QString::asprintf("%02d", number)};
        if (m_seedCodes.contains(QString::number(number)))
            codes = m_seedCodes.value(QString::number(number));
        for (const QString &code : codes) {
            const auto found = m_rings.find(code);
            if (found != m_rings.end())
                result.insert(result.end(), found->second.begin(), found->second.end());
        }
        return result;
    }

    static bool contains(const std::vector<Ring> &rings, QPointF p)
    {
        bool in = false;
        for (const Ring &ring : rings) {
            for (size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
                const QPointF &a = ring[i];
                const QPointF &b = ring[j];
                if ((a.y() <= p.y()) != (b.y() <= p.y())
                    && p.x() < a.x() + (p.y() - a.y()) * (b.x() - a.x()) / (b.y() - a.y()))
                    in = !in;
            }
        }
        return in;
    }

private:
    DrawnShapes()
    {
        QFile projectionFile(sourceDir() + "/tools/map_projection.json");
        if (!projectionFile.open(QIODevice::ReadOnly)) {
            error = "cannot read tools/map_projection.json";
            return;
        }
        const QJsonObject projection = QJsonDocument::fromJson(projectionFile.readAll()).object();
        const double lonScale = projection.value("lonScale").toDouble();
        const QJsonObject seedCodes = projection.value("seedCodes").toObject();
        for (auto it = seedCodes.begin(); it != seedCodes.end(); ++it)
            for (const QJsonValue &code : it.value().toArray())
                m_seedCodes[it.key()].append(code.toString());

        struct Affine
        {
            double a, b, c, d, e, f;
        };
        QHash<QString, Affine> affineOf;
        const QJsonObject transforms = projection.value("transforms").toObject();
        for (auto it = transforms.begin(); it != transforms.end(); ++it) {
            const QJsonObject t = it.value().toObject();
            const Affine affine{t["a"].toDouble(), t["b"].toDouble(), t["c"].toDouble(),
                                t["d"].toDouble(), t["e"].toDouble(), t["f"].toDouble()};
            for (const QJsonValue &code : t["codes"].toArray())
                affineOf.insert(code.toString(), affine);
        }
        if (affineOf.isEmpty()) {
            error = "tools/map_projection.json lists no transform";
            return;
        }

        QFile contours(sharedDir() + "/data/france-geojson/departements.geojson");
        if (!contours.open(QIODevice::ReadOnly)) {
            error = "cannot read departements.geojson";
            return;
        }
        const QJsonArray features = QJsonDocument::fromJson(contours.readAll()).object().value("features").toArray();
        for (const QJsonValue &featureValue : features) {
            const QJsonObject feature = featureValue.toObject();
            const QString code = feature["properties"].toObject()["code"].toString();
            if (!affineOf.contains(code))
                continue;
            const Affine t = affineOf.value(code);
            const QJsonObject geometry = feature["geometry"].toObject();
            QJsonArray polygons = geometry["coordinates"].toArray();
            if (geometry["type"].toString() == "Polygon")
                polygons = QJsonArray{polygons};
            std::vector<Ring> &rings = m_rings[code];
            for (const QJsonValue &polygon : polygons) {
                for (const QJsonValue &ringValue : polygon.toArray()) {
                    Ring ring;
                    for (const QJsonValue &pointValue : ringValue.toArray()) {
                        const QJsonArray point = pointValue.toArray();
                        const double x = point[0].toDouble() * lonScale;
                        const double y = point[1].toDouble();
                        ring.emplace_back(t.a * x + t.b * y + t.c, t.d * x + t.e * y + t.f);
                    }
                    rings.push_back(std::move(ring));
                }
            }
        }
    }

    QHash<QString, QStringList> m_seedCodes;
    std::map<QString, std::vector<Ring>> m_rings;
};

} // namespace

class TestMapPicture : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();

    void fileIsA24BitBottomUpBmp();
    void compiledPictureIsTheCommittedOne();
    void seedPointIsWhite_data();
    void seedPointIsWhite();
    void everySeedHasAnAreaOfItsOwn();
    void openSeaAndInsetSeasAreApart();
    void onlyMapColoursAreUsed();
    void mainlandParisPatchHoldsNoSeed();
    void insetLinesCoverNoLand();
    void seedAreaLiesOverItsDepartement_data();
    void seedAreaLiesOverItsDepartement();

private:
    QImage m_picture;
};

void TestMapPicture::initTestCase()
{
    m_picture = shownPicture();
    QVERIFY2(!m_picture.isNull(), qPrintable(mapFile() + " does not load"));
    QCOMPARE(m_picture.size(), QSize(265, 298));
}

void TestMapPicture::fileIsA24BitBottomUpBmp()
{
    QFile file(mapFile());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QCOMPARE(bytes.size(), 237262);
    const auto *data = reinterpret_cast<const uchar *>(bytes.constData());
    QCOMPARE(bytes.left(2), QByteArray("BM"));
    QCOMPARE(qFromLittleEndian<quint32>(data + 2), 237262u); // file size
    QCOMPARE(qFromLittleEndian<quint32>(data + 10), 54u);    // pixels follow both headers
    QCOMPARE(qFromLittleEndian<quint32>(data + 14), 40u);    // BITMAPINFOHEADER
    QCOMPARE(qFromLittleEndian<qint32>(data + 18), 265);     // width
    QCOMPARE(qFromLittleEndian<qint32>(data + 22), 298);     // positive height: bottom-up
    QCOMPARE(qFromLittleEndian<quint16>(data + 26), quint16(1));
    QCOMPARE(qFromLittleEndian<quint16>(data + 28), quint16(24));
    QCOMPARE(qFromLittleEndian<quint32>(data + 30), 0u);      // uncompressed
    QCOMPARE(qFromLittleEndian<quint32>(data + 34), 237208u); // 298 rows of 796 bytes
}

void TestMapPicture::compiledPictureIsTheCommittedOne()
{
    QCOMPARE(MapPicture::storedPicture(), m_picture);
}

void TestMapPicture::seedPointIsWhite_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QPoint>("seed");
    for (const DepartementRow &row : seededRows())
        // clang-format off
        QTest::newRow(row.name) << row.number << row.seed();
    // clang-format on
}

void TestMapPicture::seedPointIsWhite()
{
    QFETCH(QPoint, seed);
    QVERIFY(m_picture.valid(seed));
    QCOMPARE(m_picture.pixel(seed), White);
}

void TestMapPicture::everySeedHasAnAreaOfItsOwn()
{
    const Areas areas(m_picture);
    QHash<int, const char *> ownerOf;
    for (const DepartementRow &row : seededRows()) {
        const int area = areas.at(row.seed());
        QVERIFY2(!ownerOf.contains(area),
                 qPrintable(QString("%1 and %2 share one area").arg(ownerOf.value(area), row.name)));
        ownerOf.insert(area, row.name);
    }
}

void TestMapPicture::openSeaAndInsetSeasAreApart()
{
    const Areas areas(m_picture);
    const int openSea = areas.at({5, 5});
    QCOMPARE(areas.colour(openSea), Sea);
    QCOMPARE(areas.at({49, 216}), openSea);
    const int parisSea = areas.at({40, 20});
    QCOMPARE(areas.colour(parisSea), Sea);
    QVERIFY(parisSea != openSea);
    // The Paris inset's sea stays inside its frame (x 13..69, y 15..67).
    for (const QPoint &p : areas.pixels(parisSea))
        QVERIFY2(p.x() >= 13 && p.x() <= 69 && p.y() >= 15 && p.y() <= 67,
                 qPrintable(QString("Paris inset sea at (%1, %2)").arg(p.x()).arg(p.y())));
    QVERIFY(areas.size(openSea) > 40000);
    const int corsicaSea = areas.at({232, 225});
    QCOMPARE(areas.colour(corsicaSea), Sea);
    QVERIFY(corsicaSea != openSea);
    QVERIFY(corsicaSea != parisSea);
}

void TestMapPicture::onlyMapColoursAreUsed()
{
    for (int y = 0; y < m_picture.height(); ++y) {
        for (int x = 0; x < m_picture.width(); ++x) {
            const QRgb c = m_picture.pixel(x, y);
            if (c == Sea || c == White || c == Black || c == Blue)
                continue;
            // Softening greys are allowed beside black lines only.
            const bool grey = qRed(c) == qGreen(c) && qGreen(c) == qBlue(c);
            bool besideBlack = false;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    if (m_picture.valid(x + dx, y + dy) && m_picture.pixel(x + dx, y + dy) == Black)
                        besideBlack = true;
            QVERIFY2(
                grey && besideBlack,
                qPrintable(QString("pixel (%1, %2) is #%3").arg(x).arg(y).arg(c & 0xffffff, 6, 16, QLatin1Char('0'))));
        }
    }
}

void TestMapPicture::mainlandParisPatchHoldsNoSeed()
{
    const Areas areas(m_picture);
    QSet<int> seeded;
    for (const DepartementRow &row : seededRows())
        seeded.insert(areas.at(row.seed()));
    QSet<int> patch;
    for (int y = 82; y <= 85; ++y)
        for (int x = 142; x <= 146; ++x)
            if (m_picture.pixel(x, y) == White && !seeded.contains(areas.at({x, y})))
                patch.insert(areas.at({x, y}));
    QCOMPARE(patch.size(), 1);
    QVERIFY(areas.size(*patch.begin()) <= 30);
}

void TestMapPicture::insetLinesCoverNoLand()
{
    // The stored picture alone: the lines drawn at run time must not hide
    // any white pixel, or a département would lose pixels to them.
    QImage stored(mapFile());
    stored = stored.convertToFormat(QImage::Format_RGB32);
    QImage lined = stored;
    MapPicture::drawInsetLines(lined);
    for (int y = 0; y < stored.height(); ++y)
        for (int x = 0; x < stored.width(); ++x)
            if (stored.pixel(x, y) != lined.pixel(x, y))
                QVERIFY2(stored.pixel(x, y) != White,
                         qPrintable(QString("inset line over land at (%1, %2)").arg(x).arg(y)));
}

void TestMapPicture::seedAreaLiesOverItsDepartement_data()
{
    seedPointIsWhite_data();
}

void TestMapPicture::seedAreaLiesOverItsDepartement()
{
    QFETCH(int, number);
    QFETCH(QPoint, seed);
    REQUIRE_SHARED_FILE(sharedDir() + "/data/france-geojson/departements.geojson");
    const DrawnShapes &shapes = DrawnShapes::instance();
    QVERIFY2(shapes.error.isEmpty(), qPrintable(shapes.error));
    const std::vector<Ring> rings = shapes.rings(number);
    QVERIFY(!rings.empty());

    static const Areas areas(m_picture);
    QCOMPARE(m_picture.pixel(seed), White);
    QVERIFY(DrawnShapes::contains(rings, seed));
    const QList<QPoint> pixels = areas.pixels(areas.at(seed));
    qsizetype within = 0;
    for (const QPoint &p : pixels)
        within += DrawnShapes::contains(rings, p) ? 1 : 0;
    QVERIFY2(within * 10 >= pixels.size() * 8,
             qPrintable(QString("%1 of %2 pixels within").arg(within).arg(pixels.size())));
    QVERIFY(pixels.size() >= 10);
}

QTEST_GUILESS_MAIN(TestMapPicture)
#include "test_map_picture.moc"
