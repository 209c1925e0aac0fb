// Mouse events go through the window system layer, so that every click
// reaches whichever control lies under the pointer, as a real one does.
#define QTEST_QPA_MOUSE_HANDLING

#include "FileFingerprint.h"
#include "Form1Driver.h"
#include "ReferenceFill.h"
#include "ReferencePattern.h"
#include "TestPaths.h"
#include "about/frmAbout.h"
#include "app/Form1.h"
#include "departements/DepartementTable.h"
#include "geo/MaidenheadLocator.h"
#include "map/FillColorGenerator.h"
#include "map/MapPicture.h"
#include "names/LikePattern.h"
#include "names/NamePattern.h"
#include "store/CommuneDatabase.h"
#include "store/DatabaseError.h"
#include "store/NameFolding.h"
#include "store/NumberText.h"
#include "weblink/OnlineMapAddress.h"
#include "widgets/GraphicalButton.h"
#include "widgets/MapWidget.h"
#include "widgets/ShapeWidget.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <sqlite3.h>

#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <random>
#include <vector>

// A long, seeded run of random user actions on the real main window, loaded
// from a copy of the shipped store. After every action the whole window is
// held against a small model of what it must show: the record fields, the
// département captions, the hidden boxes, the colours of the search button
// and the swatch, the online-map button, and the map pixel for pixel. At the
// end the data file must be as it was.

using form1test::Window;

namespace {

constexpr int actionCount = 5000;
constexpr std::uint32_t randomUseSeed = 20251208u;
constexpr std::uint32_t afterEscapeSeed = 4242u;

const QColor red(255, 0, 0);
const QColor green(0, 255, 0);
constexpr QRgb rgbMask = 0xffffff;
constexpr QRgb white = 0xffffff;

// ---- the data, read straight from the file ----------------------------------

struct StoreRow
{
    QString commune;
    QString shown; // the name Label1 shows: INSEE's where the store has one
    double longitude = 0;
    double latitude = 0;
    QString codepos;
    QString departement;
};

// The rows of insee1 in the table's own order, read with SQLite itself so
// that the model shares nothing with the program's database layer.
std::vector<StoreRow> readStore(const QString &path, QString *error)
{
    std::vector<StoreRow> rows;
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        *error = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_close(db);
        return rows;
    }
    sqlite3_stmt *select = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT * FROM insee1", -1, &select, nullptr) != SQLITE_OK) {
        *error = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_close(db);
        return rows;
    }
    // The columns of the five fields, in the order of communeFields.
    std::array<int, std::size(communeFields)> column{-1, -1, -1, -1, -1};
    int official = -1;
    for (int c = 0; c < sqlite3_column_count(select); ++c) {
        for (size_t n = 0; n < std::size(communeFields); ++n)
            if (qstricmp(sqlite3_column_name(select, c), communeFields[n]) == 0)
                column[n] = c;
        if (qstricmp(sqlite3_column_name(select, c), "nom") == 0)
            official = c;
    }
    const auto text = [select](int c) {
        return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(select, c)),
                                 sqlite3_column_bytes(select, c));
    };
    while (sqlite3_step(select) == SQLITE_ROW) {
        const QString stored = text(column[0]);
        const QString shown = official >= 0 ? text(official) : QString();
        rows.push_back({stored, shown.isEmpty() ? stored : shown, sqlite3_column_double(select, column[1]),
                        sqlite3_column_double(select, column[2]), text(column[3]), text(column[4])});
    }
    sqlite3_finalize(select);
    sqlite3_close(db);
    return rows;
}

// Another name of a commune: the insee1 row it leads to (from 1), and an
// arrondissement's own postal code.
struct OtherNameRow
{
    QString name;
    int row = 0;
    QString codepos;
};

// The rows of autres_noms in the table's order; none when the file has no
// such table.
std::vector<OtherNameRow> readOtherNames(const QString &path)
{
    std::vector<OtherNameRow> rows;
    sqlite3 *db = nullptr;
    sqlite3_stmt *select = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK
        && sqlite3_prepare_v2(db, "SELECT commune, actuelle, codepos FROM autres_noms ORDER BY rowid", -1, &select,
                              nullptr)
               == SQLITE_OK) {
        const auto text = [select](int c) {
            return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(select, c)));
        };
        while (sqlite3_step(select) == SQLITE_ROW)
            rows.push_back({text(0), sqlite3_column_int(select, 1), text(2)});
    }
    sqlite3_finalize(select);
    sqlite3_close(db);
    return rows;
}

// The département number of a postal code: the leading number of its first
// two characters, without a leading zero.
QString numberOfCode(const QString &codepos)
{
    return QString::number(codepos.left(2).toInt());
}

// ---- the map ---------------------------------------------------------------

// The areas of the stored picture: pixels of one colour joined through side
// neighbours, each area with its own number. Whatever fills are made, a pixel
// can only change if a fill started in its area.
class PictureAreas
{
public:
    explicit PictureAreas(const QImage &picture)
        : m_width(picture.width()), m_area(size_t(picture.width() * picture.height()), -1)
    {
        int next = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < m_width; ++x) {
                if (m_area[index({x, y})] >= 0)
                    continue;
                const QRgb colour = picture.pixel(x, y);
                std::vector<QPoint> todo{{x, y}};
                m_area[index({x, y})] = next;
                while (!todo.empty()) {
                    const QPoint at = todo.back();
                    todo.pop_back();
                    for (const QPoint step : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)}) {
                        const QPoint p = at + step;
                        if (picture.valid(p) && m_area[index(p)] < 0 && picture.pixel(p) == colour) {
                            m_area[index(p)] = next;
                            todo.push_back(p);
                        }
                    }
                }
                ++next;
            }
    }

    int at(QPoint p) const { return m_area[index(p)]; }

private:
    size_t index(QPoint p) const { return size_t(p.y() * m_width + p.x()); }

    int m_width;
    std::vector<int> m_area;
};

QString firstDifference(const QImage &actual, const QImage &expected)
{
    if (actual.size() != expected.size())
        return QStringLiteral("size %1x%2, expected %3x%4")
            .arg(actual.width())
            .arg(actual.height())
            .arg(expected.width())
            .arg(expected.height());
    for (int y = 0; y < expected.height(); ++y)
        for (int x = 0; x < expected.width(); ++x)
            if ((actual.pixel(x, y) & rgbMask) != (expected.pixel(x, y) & rgbMask))
                return QStringLiteral("(%1,%2) is %3, expected %4")
                    .arg(x)
                    .arg(y)
                    .arg(actual.pixel(x, y) & rgbMask, 6, 16, QLatin1Char('0'))
                    .arg(expected.pixel(x, y) & rgbMask, 6, 16, QLatin1Char('0'));
    return {};
}

// ---- logging ----------------------------------------------------------------

// A text as it can be read in a log: control characters, non-ASCII and long
// tails written out.
QString readable(const QString &text)
{
    QString shown;
    for (const QChar c : text.first(std::min<qsizetype>(text.size(), 60))) {
        if (c.unicode() >= 0x20 && c.unicode() < 0x7f)
            shown += c;
        else
            shown += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
    }
    if (text.size() > 60)
        shown += QStringLiteral("...(%1 chars)").arg(text.size());
    return u'"' + shown + u'"';
}

// Counts every check and keeps the first that failed.
class Checklist
{
public:
    explicit Checklist(qint64 &count) : m_count(count) {}

    void that(bool ok, const QString &what)
    {
        ++m_count;
        if (!ok && m_problem.isEmpty())
            m_problem = what;
    }
    void equal(const QString &actual, const QString &expected, const char *what)
    {
        that(actual == expected,
             QStringLiteral("%1 is %2, expected %3").arg(QLatin1String(what), readable(actual), readable(expected)));
    }
    QString problem() const { return m_problem; }

private:
    qint64 &m_count;
    QString m_problem;
};

// ---- the model of the window ------------------------------------------------

enum class AboutState { None, Shown, Hidden, Closed }; // Closed: hidden or destroyed

// What the window must show, kept up to date by the test from the actions
// alone (and the rows of the store).
struct Model
{
    int position = 0;     // of rstInfo: -1 before the first record, count past the last
    int shown = 0;        // the record whose fields the labels show
    QString shownCode;    // the postal code shown instead of the record's: an arrondissement's
    bool located = false; // a display or a step has run: the locator shows `shown`
    bool red = false;     // the search button's colour
    QString text9;
    double deptNumber = 0;
    QPointF seed{0, 0};
    QString deptName;
    QString label5;
    QString label20;
    bool labelsFromOneSource = false; // Label5 and Label20 written together by the last writer
    QString text1;
    QString text6;
    QString text8;
    QString text7;
    QRgb swatch = 0;
    bool swatchSet = false;
    QColor swatchAtStart;
    QString locatorAtStart;
    bool onlineMap = true;
    QUrl lastUrl;
    int urls = 0;
    int messages = 0;
    int quits = 0;
    int ticks = 0;
    bool databaseOpen = true;
    AboutState about = AboutState::None;

    QImage map;
    std::vector<QPoint> fillPoints; // where the fills since the last reset started
    FillColorGenerator colours;
    QRgb fillColour = 0;
};

// What happened during a run, for the report.
struct Tally
{
    qint64 actions = 0;
    qint64 checks = 0;
    int searches = 0;
    int searchesNoMatch = 0;
    int searchesRefused = 0;
    int searchesFirstRecord = 0;
    int stepsPastEnd = 0;
    int stepsBeforeStart = 0;
    int recordSteps = 0;
    int browserSteps = 0;
    int mapClicks = 0;
    int mapClicksNamed = 0;
    int aboutActions = 0;
    int minimises = 0;
    int onlineMaps = 0;
    int ticks = 0;
    int screenChecks = 0;
};

// ---- the run ----------------------------------------------------------------

class RandomUse
{
public:
    RandomUse(const QString &store, const std::vector<StoreRow> &rows, const PictureAreas &areas, std::uint32_t seed);

    Form1 &form() { return m_window->form; }
    const Tally &tally() const { return m_tally; }

    // Runs `count` random actions, checking the window after each; returns
    // the first problem found, with the actions that led to it.
    QString run(int count);
    // Esc on one of the window's controls or on the window itself.
    QString pressEscape();
    // The window as it stands: map, captions, hidden boxes.
    QByteArray checksum() const;

private:
    using Action = QString (RandomUse::*)();

    std::uint32_t below(std::uint32_t n) { return m_rng() % n; }
    template <typename T, size_t N>
    const T &pick(const T (&items)[N])
    {
        return items[below(N)];
    }
    void describe(const QString &what);
    QString failure(const QString &problem) const;

    template <typename Steps>
    QString guarded(Steps &&steps);

    // Actions.
    QString act();
    QString type();
    QString search();
    QString clickSearchBox();
    QString recordStep();
    QString browserStep();
    QString clickMap();
    QString about();
    QString minimise();
    QString onlineMap();
    QString tick();
    void press(QAbstractButton *button);

    // Random texts for the search box.
    QString searchText();
    QString someName();
    QString withWildcards(const QString &name);
    QString malformed();
    QString junk(int length);
    QString longText();
    QString withControls(const QString &name);
    QString unicodeText();

    // The model.
    void expectReset();
    QRgb expectFill(QPointF at);
    void expectSearch(const QString &pattern);
    void expectDisplay(int record, const QString &code);
    void expectStep(bool forward);
    void expectBrowser(bool up);
    bool expectClick(QPoint at);

    // Checks.
    QString check();
    void checkMap(Checklist &list);
    QString checkScreen();

    std::unique_ptr<Window> m_window;
    const std::vector<StoreRow> &m_rows;
    const std::vector<OtherNameRow> m_otherNames;
    // Folded once: the model compares every name on each search.
    std::vector<QString> m_foldedCommunes;
    std::vector<QString> m_foldedOtherNames;
    const PictureAreas &m_areas;
    std::mt19937 m_rng;
    Model m_model;
    Tally m_tally;
    std::deque<QString> m_recent;
    int m_burstLeft = 0;
    Action m_burst = nullptr;
    bool m_burstForward = true;

    QDateTime m_now;
};

RandomUse::RandomUse(const QString &store, const std::vector<StoreRow> &rows, const PictureAreas &areas,
                     std::uint32_t seed)
    : m_window(std::make_unique<Window>(store, Window::Clock::Stopped)), m_rows(rows),
      m_otherNames(readOtherNames(store)), m_areas(areas), m_rng(seed), m_now(QDate(2026, 12, 7), QTime(8, 5, 9))
{
    for (const StoreRow &row : m_rows)
        m_foldedCommunes.push_back(foldName(row.commune));
    for (const OtherNameRow &other : m_otherNames)
        m_foldedOtherNames.push_back(foldName(other.name));

    // Only the test ticks the clock, so that two runs are the same.
    Form1 &form = m_window->form;
    form.platform.now = [this] { return m_now; };

    // What start-up leaves: the first record's fields, the design captions.
    Model &m = m_model;
    m.text9 = rows.front().codepos.left(2);
    m.label5 = form.Label5->text();
    m.label20 = form.Label20->text();
    m.text1 = form.Text1->text();
    m.text6 = form.Text6->text();
    m.text8 = form.Text8->text();
    m.text7 = form.Text7->text();
    m.swatchAtStart = form.Shape6->backColor();
    for (QLabel *letter : {form.Label14, form.Label15, form.Label16, form.Label17, form.Label18, form.Label19})
        m.locatorAtStart += letter->text();
    m.onlineMap = form.CmdCarte->isEnabled();
    m.map = form.Picture1->picture().stored().convertToFormat(QImage::Format_RGB32);
    m.fillColour = form.Picture1->picture().fillColor();
}

void RandomUse::describe(const QString &what)
{
    m_recent.push_back(QStringLiteral("#%1 %2").arg(m_tally.actions).arg(what));
    if (m_recent.size() > 16)
        m_recent.pop_front();
}

QString RandomUse::failure(const QString &problem) const
{
    QString text = QStringLiteral("after action #%1: %2\nthe last actions were:").arg(m_tally.actions).arg(problem);
    for (const QString &line : m_recent)
        text += QStringLiteral("\n  ") + line;
    return text;
}

// Runs the steps of one action. Nothing the window does may throw through
// it: an exception reaching the event loop would end the program.
template <typename Steps>
QString RandomUse::guarded(Steps &&steps)
{
    try {
        steps();
    } catch (const DatabaseError &error) {
        return QStringLiteral("DatabaseError escaped: %1").arg(error.message());
    } catch (const std::exception &error) {
        return QStringLiteral("exception escaped: %1").arg(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        return QStringLiteral("unknown exception escaped");
    }
    return {};
}

QString RandomUse::run(int count)
{
    for (int i = 0; i < count; ++i) {
        QString problem = act();
        ++m_tally.actions;
        if (problem.isEmpty())
            problem = check();
        if (problem.isEmpty() && m_tally.actions % 25 == 0)
            problem = checkScreen();
        if (!problem.isEmpty())
            return failure(problem);
    }
    const QString problem = checkScreen();
    return problem.isEmpty() ? QString() : failure(problem);
}

QString RandomUse::act()
{
    if (m_burstLeft > 0) {
        --m_burstLeft;
        return (this->*m_burst)();
    }
    const std::uint32_t roll = below(100);
    if (roll < 20)
        return type();
    if (roll < 38)
        return search();
    if (roll < 42)
        return clickSearchBox();
    if (roll < 64) {
        // Steps come in bursts, now and then long enough to run far past
        // either end of the records.
        m_burst = roll < 56 ? &RandomUse::recordStep : &RandomUse::browserStep;
        m_burstForward = below(2) == 0;
        const std::uint32_t size = below(100);
        m_burstLeft = int(size < 82 ? 0 : size < 97 ? 1 + below(9) : 20 + below(60));
        return (this->*m_burst)();
    }
    if (roll < 80)
        return clickMap();
    if (roll < 85)
        return about();
    if (roll < 88)
        return minimise();
    if (roll < 93)
        return onlineMap();
    return tick();
}

// A button pressed as the user does: a click, or now and then Enter while
// it has the focus.
void RandomUse::press(QAbstractButton *button)
{
    if (below(10) == 0) {
        button->setFocus();
        QTest::keyClick(button, Qt::Key_Return);
    } else {
        QTest::mouseClick(button, Qt::LeftButton);
    }
}

// ---- actions ------------------------------------------------------------------

QString RandomUse::type()
{
    Form1 &form = m_window->form;
    const QString text = searchText();
    const bool clearFirst = below(10) < 7;
    bool typable = text.size() <= 40;
    for (const QChar c : text)
        typable = typable && c.unicode() >= 0x20 && c.unicode() != 0x7f && !(c.unicode() >= 0x80 && c.unicode() < 0xa0)
                  && !c.isSurrogate() && c.isPrint();
    const bool byKeys = typable && below(10) < 7;
    describe(QStringLiteral("%1%2 %3").arg(clearFirst ? QStringLiteral("click in Text7, then ") : QString(),
                                           byKeys ? QStringLiteral("type") : QStringLiteral("paste"), readable(text)));
    const QString problem = guarded([&] {
        if (clearFirst)
            QTest::mouseClick(form.Text7, Qt::LeftButton);
        if (byKeys) {
            form.Text7->setFocus();
            for (const QChar c : text) {
                // QTest names keys for ASCII only; other characters come as
                // the text of a key the keyboard has no name for.
                if (c.unicode() < 0x7f)
                    QTest::keyClick(form.Text7, char(c.unicode()));
                else
                    QTest::sendKeyEvent(QTest::Click, form.Text7, Qt::Key_unknown, QString(c), Qt::NoModifier);
            }
        } else {
            form.Text7->insert(text);
        }
    });
    if (clearFirst && form.Text7->text() != text)
        return QStringLiteral("Text7 holds %1 after typing %2 in the emptied box")
            .arg(readable(form.Text7->text()), readable(text));
    // Without the click the text went in wherever the cursor was: the test
    // reads the box.
    m_model.text7 = form.Text7->text();
    return problem;
}

QString RandomUse::search()
{
    Form1 &form = m_window->form;
    const QString typed = form.Text7->text();
    const std::uint32_t how = below(20);
    describe(QStringLiteral("search %1 by %2")
                 .arg(readable(typed), how < 10   ? QStringLiteral("clicking cherche")
                                       : how < 17 ? QStringLiteral("Enter in Text7")
                                                  : QStringLiteral("Enter on the window")));
    ++m_tally.searches;
    const QString problem = guarded([&] {
        if (how < 10) {
            QTest::mouseClick(form.cherche, Qt::LeftButton);
        } else if (how < 17) {
            form.Text7->setFocus();
            QTest::keyClick(form.Text7, Qt::Key_Return);
        } else {
            QTest::keyClick(&form, Qt::Key_Return);
        }
    });
    // The box shows the upper-cased text, and that is the pattern. Qt's
    // in-place upper-casing turns a lone surrogate inside the text into
    // U+FFFD where the copying one keeps it: either is the box's own doing.
    const QString pattern = form.Text7->text();
    QString inPlace = typed;
    inPlace = std::move(inPlace).toUpper();
    if (pattern != typed.toUpper() && pattern != inPlace)
        return QStringLiteral("Text7 holds %1 after searching %2").arg(readable(pattern), readable(typed));
    expectSearch(pattern);
    return problem;
}

QString RandomUse::clickSearchBox()
{
    describe(QStringLiteral("click in Text7"));
    const QString problem = guarded([&] { QTest::mouseClick(m_window->form.Text7, Qt::LeftButton); });
    m_model.text7 = QString();
    return problem;
}

QString RandomUse::recordStep()
{
    const bool forward = m_burstForward;
    describe(forward ? QStringLiteral("apres >>") : QStringLiteral("avant <<"));
    ++m_tally.recordSteps;
    const QString problem = guarded([&] { press(forward ? m_window->form.apres : m_window->form.avant); });
    expectStep(forward);
    return problem;
}

QString RandomUse::browserStep()
{
    const bool up = m_burstForward;
    describe(up ? QStringLiteral("Command2 >>") : QStringLiteral("Command1 <<"));
    ++m_tally.browserSteps;
    const QString problem = guarded([&] { press(up ? m_window->form.Command2 : m_window->form.Command1); });
    expectBrowser(up);
    return problem;
}

QString RandomUse::clickMap()
{
    Form1 &form = m_window->form;
    QPoint at(int(below(uint32_t(form.Picture1->width()))), int(below(uint32_t(form.Picture1->height()))));
    if (below(3) == 0) {
        // Often on or next to a département's seed point, so that clicks
        // name something.
        const DepartementRow &row = DepartementTable()[below(95)];
        at = row.seed() + QPoint(int(below(5)) - 2, int(below(5)) - 2);
    }
    static const Qt::MouseButton buttons[] = {Qt::LeftButton, Qt::LeftButton, Qt::RightButton, Qt::MiddleButton};
    // Ctrl makes it another action, that finds a commune.
    static const Qt::KeyboardModifiers modifiers[] = {Qt::NoModifier, Qt::NoModifier, Qt::ShiftModifier,
                                                      Qt::AltModifier};
    const Qt::MouseButton button = pick(buttons);
    const Qt::KeyboardModifiers modifier = pick(modifiers);
    describe(QStringLiteral("click the map at (%1,%2), button %3, modifiers %4")
                 .arg(at.x())
                 .arg(at.y())
                 .arg(int(button))
                 .arg(int(modifier)));
    ++m_tally.mapClicks;
    const QString problem = guarded([&] { QTest::mouseClick(form.Picture1, button, modifier, at); });
    if (expectClick(at))
        ++m_tally.mapClicksNamed;
    return problem;
}

QString RandomUse::about()
{
    Form1 &form = m_window->form;
    ++m_tally.aboutActions;
    Model &m = m_model;
    if (m.about != AboutState::Shown || below(3) == 0) {
        describe(QStringLiteral("A propos"));
        const QString problem = guarded([&] { QTest::mouseClick(form.Apropos, Qt::LeftButton); });
        m.about = AboutState::Shown;
        return problem;
    }
    frmAbout *window = form.aboutWindow.data();
    if (!window)
        return QStringLiteral("the About window should be open");
    if (below(2) == 0) {
        describe(QStringLiteral("OK in the About window"));
        auto *ok = window->findChild<QPushButton *>(QStringLiteral("cmdOK"));
        if (!ok)
            return QStringLiteral("the About window has no cmdOK");
        const QString problem = guarded([&] {
            QTest::mouseClick(ok, Qt::LeftButton);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        });
        m.about = AboutState::None;
        return problem;
    }
    describe(QStringLiteral("Esc in the About window"));
    const QString problem = guarded([&] {
        QTest::keyClick(window, Qt::Key_Escape);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    });
    m.about = AboutState::Closed;
    return problem;
}

QString RandomUse::minimise()
{
    Form1 &form = m_window->form;
    describe(QStringLiteral("minimise, then show again"));
    ++m_tally.minimises;
    bool minimised = false;
    bool aboutHidden = false;
    const QString problem = guarded([&] {
        QTest::mouseClick(form.CmdMinimise, Qt::LeftButton);
        minimised = form.isMinimized();
        aboutHidden = !form.aboutWindow || !form.aboutWindow->isVisible();
        form.showNormal();
    });
    if (!problem.isEmpty())
        return problem;
    if (!minimised)
        return QStringLiteral("CmdMinimise did not minimise the window");
    if (!aboutHidden)
        return QStringLiteral("the About window stayed visible on minimising");
    if (m_model.about == AboutState::Shown)
        m_model.about = AboutState::Hidden;
    return {};
}

QString RandomUse::onlineMap()
{
    Form1 &form = m_window->form;
    describe(QStringLiteral("CmdCarte"));
    ++m_tally.onlineMaps;
    const QString problem = guarded([&] { QTest::mouseClick(form.CmdCarte, Qt::LeftButton); });
    Model &m = m_model;
    if (m.onlineMap) {
        const QString commune = m_rows[size_t(m.shown)].commune;
        m.text1 = onlineMapAddress(commune);
        m.lastUrl = onlineMapUrl(m.text1, commune);
        ++m.urls;
    }
    return problem;
}

QString RandomUse::tick()
{
    describe(QStringLiteral("clock tick"));
    ++m_tally.ticks;
    m_now = m_now.addSecs(1 + below(100000));
    ++m_model.ticks;
    return guarded([&] { m_window->form.Timer1_Timer(); });
}

QString RandomUse::pressEscape()
{
    Form1 &form = m_window->form;
    QWidget *const targets[] = {form.Text7, form.cherche, form.Command2, form.apres, &form};
    QWidget *target = pick(targets);
    describe(QStringLiteral("Esc on %1").arg(target->objectName()));
    const QString problem = guarded([&] {
        target->setFocus();
        QTest::keyClick(target, Qt::Key_Escape);
    });
    ++m_tally.actions;
    ++m_model.quits;
    m_model.databaseOpen = false;
    if (!problem.isEmpty())
        return failure(problem);
    if (form.db->isOpen())
        return failure(QStringLiteral("Esc left the database open"));
    const QString after = check();
    return after.isEmpty() ? QString() : failure(after);
}

// ---- random texts -------------------------------------------------------------

QString RandomUse::someName()
{
    const std::uint32_t where = below(10);
    const size_t count = m_rows.size();
    size_t row = below(uint32_t(count));
    if (where < 2)
        row = below(30); // the first records, found without skipping anything
    else if (where < 4)
        row = count - 1 - below(200); // the last ones, overseas
    QString name = m_rows[row].commune;
    if (below(10) < 3)
        name = name.toLower();
    return name;
}

QString RandomUse::withWildcards(const QString &name)
{
    QString pattern;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name[i].toUpper();
        switch (below(14)) {
        case 0:
            pattern += u'?';
            break;
        case 1:
            pattern += below(4) == 0 ? QStringLiteral("#") : QStringLiteral("[A-Z]");
            break;
        case 2:
            pattern += u'[' + QString(c) + u']';
            break;
        case 3:
            pattern += QStringLiteral("[!%1]").arg(QChar(u'A' + below(26)));
            break;
        case 4:
            pattern += QStringLiteral("[%1-%2]").arg(QChar(u'A' + below(13)), QChar(u'N' + below(13)));
            break;
        case 5:
            pattern += u'*';
            i += below(4); // the star stands for a few characters
            break;
        default:
            pattern += name[i];
        }
    }
    return pattern;
}

QString RandomUse::malformed()
{
    static const char *const fixed[] = {"[AB", "[",     "[]",   "[!]",  "[!", "PARIS[", "[]PARIS",
                                        "*[",  "A[B-C", "[!]*", "*[]*", "[[", "[!A"};
    if (below(2) == 0)
        return QString::fromLatin1(pick(fixed));
    // A name with a bracket opened and never closed.
    const QString name = someName();
    const qsizetype at = below(uint32_t(name.size() + 1));
    return name.left(at) + (below(2) == 0 ? QStringLiteral("[") : QStringLiteral("[!")) + name.mid(at);
}

QString RandomUse::junk(int length)
{
    static const QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefgh?*#[]!-0123456789',.éÉ");
    QString text;
    for (int i = 0; i < length; ++i)
        text += alphabet[below(uint32_t(alphabet.size()))];
    return text;
}

QString RandomUse::longText()
{
    const int length = 500 + int(below(3500));
    switch (below(4)) {
    case 0:
        return junk(length);
    case 1: {
        const QString name = someName();
        QString text;
        while (text.size() < length)
            text += name;
        return text;
    }
    case 2:
        return QString(length, u'*') + someName();
    default:
        return someName() + u'*' + junk(length);
    }
}

QString RandomUse::withControls(const QString &name)
{
    QString text = name;
    const int count = 1 + int(below(4));
    for (int i = 0; i < count; ++i) {
        const char16_t control = below(8) == 0 ? char16_t(0x7f) : char16_t(below(0x20));
        text.insert(below(uint32_t(text.size() + 1)), QChar(control));
    }
    return text;
}

QString RandomUse::unicodeText()
{
    struct Block
    {
        char32_t first;
        char32_t last;
    };
    static const Block blocks[] = {
        {0xa0, 0xff},       // Latin-1: accents, ß, ÿ
        {0x100, 0x17f},     // Latin Extended-A, with ŉ that upper-cases to two characters
        {0x300, 0x36f},     // combining accents
        {0x391, 0x3c9},     // Greek
        {0x410, 0x44f},     // Cyrillic
        {0x4e00, 0x4e80},   // CJK
        {0xfb00, 0xfb06},   // ligatures that upper-case to several characters
        {0x1f300, 0x1f64f}, // emoji, outside the basic plane
        {0xd800, 0xdfff},   // lone surrogates
    };
    QString text;
    const int length = 1 + int(below(20));
    for (int i = 0; i < length; ++i) {
        if (below(4) == 0) {
            text += QChar(u'A' + below(26));
            continue;
        }
        const Block &block = pick(blocks);
        const char32_t code = block.first + below(uint32_t(block.last - block.first + 1));
        if (code >= 0x10000)
            text += QString::fromUcs4(&code, 1);
        else
            text += QChar(char16_t(code));
    }
    return text;
}

QString RandomUse::searchText()
{
    static const char *const fixed[] = {"*",      "",        "L*",     "L ABERGEMENT CLEMENCIAT",
                                        "**",     "?*",      "*?",     "]",
                                        "[]]",    "[!Z-A]*", "[Z-A]*", "*[-]*",
                                        "#",      "*#*",     "[*]",    "[?]*",
                                        " ",      "*  *",    "PARIS",  "paris",
                                        "SAINT*", "[!A-Z]*", "*Z",     "[A-]*",
                                        "[-Z]*",  "*'*"};
    static const char *const firstRecord[] = {
        "*",           "L*",     "L ABERGEMENT CLEMENCIAT", "l abergement clemenciat", "L?ABERGEMENT*",
        "*CLEMENCIAT", "[K-M]*", "L [A-Z]BERGEMENT*"};
    switch (below(13)) {
    case 0:
    case 1:
    case 2:
        return someName();
    case 12:
        return QString::fromLatin1(pick(firstRecord));
    case 3:
    case 4:
        return withWildcards(someName());
    case 5:
        return someName().left(1 + below(6)) + u'*';
    case 6:
        return QString::fromUtf8(pick(fixed));
    case 7:
        return malformed();
    case 8:
        return junk(1 + int(below(12)));
    case 9:
        return longText();
    case 10:
        return withControls(someName());
    default:
        return unicodeText();
    }
}

// ---- the model ------------------------------------------------------------------

void RandomUse::expectReset()
{
    m_model.map = m_window->form.Picture1->picture().stored().convertToFormat(QImage::Format_RGB32);
    m_model.fillPoints.clear();
}

QRgb RandomUse::expectFill(QPointF at)
{
    Model &m = m_model;
    const QRgb colour = m.colours.nextColor();
    m.fillColour = colour;
    // Every point the window fills at is whole: seeds and map pixels.
    const QPoint pixel(qRound(at.x()), qRound(at.y()));
    if (m.map.valid(pixel)) {
        m.map = referenceFill(std::move(m.map), pixel, colour);
        m.fillPoints.push_back(pixel);
    }
    return colour;
}

void RandomUse::expectSearch(const QString &pattern)
{
    Model &m = m_model;
    m.text7 = pattern;
    // The search compares folded texts (tested in test_name_folding), and
    // also the text as typed with the names as stored.
    const std::optional<ReferencePattern> parsed = ReferencePattern::parse(foldPattern(pattern));
    const std::optional<ReferencePattern> asTyped = ReferencePattern::parse(pattern);
    const auto matches = [&](const QString &name, const QString &folded) {
        return parsed->matches(folded) || (asTyped && asTyped->matches(name));
    };
    // A refused pattern is explained under the search box, with no message;
    // after Esc the closed data file is told in a message. Nothing else
    // changes in either case.
    // A text longer than the search takes is refused whatever it holds.
    if (!parsed || pattern.toUcs4().size() > NamePattern::MaxLength) {
        ++m_tally.searchesRefused;
        return;
    }
    if (!m.databaseOpen) {
        ++m.messages;
        return;
    }
    const int count = int(m_rows.size());
    int found = 0;
    while (found < count && !matches(m_rows[size_t(found)].commune, m_foldedCommunes[size_t(found)]))
        ++found;
    // No current name: the first other name that matches leads to its commune.
    QString code;
    for (size_t i = 0; found == count && i < m_otherNames.size(); ++i) {
        if (matches(m_otherNames[i].name, m_foldedOtherNames[i])) {
            found = m_otherNames[i].row - 1;
            code = m_otherNames[i].codepos;
        }
    }
    m.position = found;
    if (found > 0)
        m.red = true;
    if (found == 0)
        ++m_tally.searchesFirstRecord;
    if (found == count)
        ++m_tally.searchesNoMatch;
    else
        expectDisplay(found, code);
}

void RandomUse::expectDisplay(int record, const QString &code)
{
    Model &m = m_model;
    const StoreRow &row = m_rows[size_t(record)];
    m.shown = record;
    m.shownCode = code;
    m.located = true;
    m.label20 = row.departement;
    m.labelsFromOneSource = m.red;
    if (m.red) {
        // A search that skipped records shows the département afresh.
        m.red = false;
        m.text9 = numberOfCode(code.isEmpty() ? row.codepos : code);
        m.deptNumber = m.text9.toDouble();
        m.label5 = m.text9;
        if (const auto table = LookupDepartement(m.text9))
            m.seed = QPointF(table->x, table->y);
        m.onlineMap = m.deptNumber <= 95;
        expectReset();
    }
    m.swatch = expectFill(m.seed);
    m.swatchSet = true;
}

void RandomUse::expectStep(bool forward)
{
    Model &m = m_model;
    const int count = int(m_rows.size());
    if (forward && m.position < count)
        ++m.position;
    else if (!forward && m.position >= 0)
        --m.position;
    const bool onRecord = m.position >= 0 && m.position < count;
    if (!onRecord)
        ++(forward ? m_tally.stepsPastEnd : m_tally.stepsBeforeStart);
    if (onRecord) {
        const StoreRow &row = m_rows[size_t(m.position)];
        m.shown = m.position;
        m.shownCode.clear();
        m.label20 = row.departement;
        m.text9 = numberOfCode(row.codepos);
    }
    // Off the records the fields fail and keep their captions; the number,
    // the map point and the fill are done again from what Text9 holds.
    m.labelsFromOneSource = onRecord;
    m.label5 = m.text9;
    m.deptNumber = m.text9.trimmed().toDouble();
    if (const auto table = LookupDepartement(m.text9))
        m.seed = QPointF(table->x, table->y);
    m.onlineMap = m.deptNumber <= 95;
    expectReset();
    expectFill(m.seed);
    m.located = true;
}

void RandomUse::expectBrowser(bool up)
{
    Model &m = m_model;
    m.deptNumber += up ? 1 : -1;
    if (m.deptNumber < 1)
        m.deptNumber = 97;
    if (m.deptNumber > 97)
        m.deptNumber = 1;
    m.label5 = QString::number(int(m.deptNumber));
    if (const auto table = LookupDepartement(m.label5)) {
        m.seed = QPointF(table->x, table->y);
        m.deptName = table->displayName();
    }
    m.label20 = m.deptName;
    m.labelsFromOneSource = true;
    expectReset();
    expectFill(m.seed);
}

bool RandomUse::expectClick(QPoint at)
{
    Model &m = m_model;
    expectReset();
    expectFill(at);
    m.label5.clear();
    m.label20.clear();
    m.labelsFromOneSource = true;
    m.text6 = QString::number(at.x());
    m.text8 = QString::number(at.y());
    for (const DepartementRow &row : DepartementTable()) {
        if (row.number < 1 || row.number > 95 || (m.map.pixel(row.seed()) & rgbMask) == white)
            continue;
        m.label5 = QString::number(row.number);
        m.label20 = row.number == 56 ? QStringLiteral("MORBIHANT") : row.displayName();
        return true;
    }
    m.fillColour = m.colours.nextColor(); // drawn, not used
    return false;
}

// ---- checks ------------------------------------------------------------------

QString RandomUse::check()
{
    Form1 &form = m_window->form;
    const Model &m = m_model;
    Checklist list(m_tally.checks);
    const int count = int(m_rows.size());

    // The fields of the record shown, and rstInfo where the model has it.
    const StoreRow &row = m_rows[size_t(m.shown)];
    list.equal(form.Label1->text(), row.shown, "Label1");
    list.equal(form.Label11->text(), numberToText(row.longitude), "Label11");
    list.equal(form.Label12->text(), numberToText(row.latitude), "Label12");
    list.equal(form.Label10->text(), m.shownCode.isEmpty() ? row.codepos : m.shownCode, "Label10");
    list.equal(form.Label8->text(), row.departement, "Label8");
    list.that(form.rstInfo.position() == m.position,
              QStringLiteral("rstInfo is at %1, expected %2").arg(form.rstInfo.position()).arg(m.position));
    if (m.position == m.shown && m.position >= 0 && m.position < count) {
        // The record on screen is rstInfo's current one.
        try {
            list.equal(form.rstInfo.fieldText(u"commune"), row.commune, "rstInfo commune");
            list.equal(form.rstInfo.fieldText(u"codepos"), row.codepos, "rstInfo codepos");
            list.equal(form.rstInfo.fieldText(u"departement"), form.Label8->text(), "rstInfo departement");
        } catch (const DatabaseError &error) {
            list.that(false, QStringLiteral("rstInfo has no current record: %1").arg(error.message()));
        }
    }
    QString locator;
    for (QLabel *letter : {form.Label14, form.Label15, form.Label16, form.Label17, form.Label18, form.Label19})
        locator += letter->text();
    list.equal(locator, m.located ? maidenheadLocator(row.latitude, row.longitude) : m.locatorAtStart, "locator");

    // The département captions, and where they come from.
    list.equal(form.Label5->text(), m.label5, "Label5");
    list.equal(form.Label20->text(), m.label20, "Label20");
    if (m.labelsFromOneSource) {
        const QString number = form.Label5->text();
        const QString name = form.Label20->text();
        const auto table = LookupDepartement(number);
        const bool agree =
            (number.isEmpty() && name.isEmpty()) || (table && name == table->displayName())
            || (number == u"56" && name == u"MORBIHANT")
            || (name == form.Label8->text() && number == QString::number(form.Label10->text().left(2).toInt()));
        list.that(agree, QStringLiteral("Label5 %1 and Label20 %2 agree with neither the table nor the record")
                             .arg(readable(number), readable(name)));
    }
    list.equal(form.Text9->text(), m.text9, "Text9");
    list.that(form.deptNumber.toNumber() == m.deptNumber,
              QStringLiteral("deptNumber is %1, expected %2").arg(form.deptNumber.toText()).arg(m.deptNumber));
    list.that(QPointF(form.seedX, form.seedY) == m.seed, QStringLiteral("the seed is (%1,%2), expected (%3,%4)")
                                                             .arg(form.seedX)
                                                             .arg(form.seedY)
                                                             .arg(m.seed.x())
                                                             .arg(m.seed.y()));
    list.equal(form.Text6->text(), m.text6, "Text6");
    list.equal(form.Text8->text(), m.text8, "Text8");
    list.equal(form.Text1->text(), m.text1, "Text1");
    list.equal(form.Text7->text(), m.text7, "Text7");

    // Colours and buttons.
    list.that(form.cherche->backColor() == (m.red ? red : green),
              QStringLiteral("cherche is %1, expected %2")
                  .arg(form.cherche->backColor().name(), m.red ? QStringLiteral("red") : QStringLiteral("green")));
    const QColor swatch = form.Shape6->backColor();
    list.that(m.swatchSet ? swatch.isValid() && (swatch.rgb() & rgbMask) == (m.swatch & rgbMask)
                          : swatch == m.swatchAtStart,
              QStringLiteral("Shape6 is %1").arg(swatch.name()));
    list.that(form.CmdCarte->isEnabled() == m.onlineMap,
              QStringLiteral("CmdCarte is %1").arg(form.CmdCarte->isEnabled() ? "enabled" : "disabled"));

    // The hidden boxes stay hidden; the window stays up.
    for (QLineEdit *hidden : {form.Text1, form.Text6, form.Text8, form.Text9, form.listeIP})
        list.that(hidden->isHidden() && !hidden->isVisible(), hidden->objectName() + QStringLiteral(" is visible"));
    list.that(form.isVisible() && !form.isMinimized(), QStringLiteral("the window is not shown"));
    if (m.ticks > 0) {
        list.that(form.Label9->isVisible() && form.Label9->text().endsWith(m_now.toString(QStringLiteral("HH:mm:ss"))),
                  QStringLiteral("the clock shows %1").arg(readable(form.Label9->text())));
    } else {
        list.that(form.Label9->isHidden(), QStringLiteral("the clock shows before its first tick"));
    }

    // The About window.
    const frmAbout *about = form.aboutWindow.data();
    switch (m.about) {
    case AboutState::None:
        list.that(!about, QStringLiteral("the About window still exists"));
        break;
    case AboutState::Shown:
        list.that(about && about->isVisible(), QStringLiteral("the About window is not shown"));
        break;
    case AboutState::Hidden:
        list.that(about && !about->isVisible(), QStringLiteral("the About window is not kept hidden"));
        break;
    case AboutState::Closed:
        list.that(!about || !about->isVisible(), QStringLiteral("the About window is still shown"));
        break;
    }
    list.that(form.findChildren<frmAbout *>().size() <= 1, QStringLiteral("more than one About window"));

    // What the window asked of the desktop.
    list.that(m_window->quits == m.quits, QStringLiteral("%1 requests to quit").arg(m_window->quits));
    list.that(!m_window->calls.contains(QStringLiteral("topmost")) && !m_window->calls.contains(QStringLiteral("move")),
              QStringLiteral("the window was dragged"));
    list.that(m_window->messages.size() == m.messages,
              QStringLiteral("%1 messages, expected %2; the last: %3")
                  .arg(m_window->messages.size())
                  .arg(m.messages)
                  .arg(m_window->messages.isEmpty() ? QString() : m_window->messages.last()));
    list.that(m_window->messages.isEmpty() || !m_window->messages.last().isEmpty(), QStringLiteral("an empty message"));
    list.that(m_window->opened.size() == m.urls && (m.urls == 0 || m_window->opened.last() == m.lastUrl),
              QStringLiteral("%1 addresses opened, expected %2; the last: %3")
                  .arg(m_window->opened.size())
                  .arg(m.urls)
                  .arg(m_window->opened.isEmpty() ? QString() : m_window->opened.last().toString()));

    checkMap(list);
    return list.problem();
}

void RandomUse::checkMap(Checklist &list)
{
    const Model &m = m_model;
    const MapPicture &picture = m_window->form.Picture1->picture();
    const QImage &image = picture.image();
    const QImage &stored = picture.stored();

    // Pixel for pixel what the model's own fills give.
    list.that(image == m.map, QStringLiteral("the map differs from the model: ") + firstDifference(image, m.map));
    list.that((picture.fillColor() & rgbMask) == (m.fillColour & rgbMask),
              QStringLiteral("the fill colour is %1, expected %2")
                  .arg(picture.fillColor() & rgbMask, 6, 16, QLatin1Char('0'))
                  .arg(m.fillColour & rgbMask, 6, 16, QLatin1Char('0')));

    // And more loosely, without the model's fills: whatever differs from the
    // stored picture lies in an area where a fill started since the reset.
    std::vector<int> filled;
    for (const QPoint p : m.fillPoints)
        filled.push_back(m_areas.at(p));
    QString stray;
    for (int y = 0; y < stored.height() && stray.isEmpty(); ++y) {
        const auto *shown = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        const auto *original = reinterpret_cast<const QRgb *>(stored.constScanLine(y));
        for (int x = 0; x < stored.width(); ++x) {
            if (((shown[x] ^ original[x]) & rgbMask) == 0)
                continue;
            if (std::find(filled.begin(), filled.end(), m_areas.at({x, y})) == filled.end()) {
                stray = QStringLiteral("(%1,%2) changed outside the areas filled since the reset").arg(x).arg(y);
                break;
            }
        }
    }
    list.that(stray.isEmpty(), stray);
}

// What the screen shows of the map: the model's map, except under the three
// frame lines and around the marks, which are drawn over it.
QString RandomUse::checkScreen()
{
    Form1 &form = m_window->form;
    ++m_tally.screenChecks;
    QCoreApplication::processEvents();
    const QImage screen = form.screen()->grabWindow(form.winId()).toImage().convertToFormat(QImage::Format_RGB32);
    const QPoint origin = form.Picture1->geometry().topLeft();
    const QRect lines[] = {QRect(70, 14, 2, 55), QRect(11, 14, 2, 55), QRect(204, 222, 2, 45)};
    for (int y = 0; y < form.Picture1->height(); ++y)
        for (int x = 0; x < form.Picture1->width(); ++x) {
            const QPoint p(x, y);
            if (std::any_of(std::begin(lines), std::end(lines), [p](const QRect &r) { return r.contains(p); }))
                continue;
            const auto near = [p](std::optional<QPoint> mark) {
                return mark && std::abs(p.x() - mark->x()) <= 4 && std::abs(p.y() - mark->y()) <= 4;
            };
            if (near(form.Picture1->mark()) || near(form.Picture1->startMark()))
                continue;
            if ((screen.pixel(origin + p) & rgbMask) != (m_model.map.pixel(p) & rgbMask))
                return QStringLiteral("the screen shows %1 at (%2,%3) of the map, the map holds %4")
                    .arg(screen.pixel(origin + p) & rgbMask, 6, 16, QLatin1Char('0'))
                    .arg(x)
                    .arg(y)
                    .arg(m_model.map.pixel(p) & rgbMask, 6, 16, QLatin1Char('0'));
        }
    return {};
}

QByteArray RandomUse::checksum() const
{
    const Form1 &form = m_window->form;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    const QImage &image = form.Picture1->picture().image();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y) & rgbMask;
            hash.addData(QByteArrayView(reinterpret_cast<const char *>(&pixel), sizeof pixel));
        }
    for (const QLabel *label : form.findChildren<QLabel *>(Qt::FindDirectChildrenOnly))
        hash.addData(label->text().toUtf8());
    for (const QLineEdit *box : form.findChildren<QLineEdit *>(Qt::FindDirectChildrenOnly))
        hash.addData(box->text().toUtf8());
    hash.addData(form.Shape6->backColor().name().toUtf8());
    hash.addData(QByteArray::number(form.rstInfo.position()));
    return hash.result().toHex().left(16);
}

} // namespace

class TestForm1RandomUse : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();

    void referencePattern_data();
    void referencePattern();
    void randomUse();
    void escapeThenMoreUse();

private:
    struct DataFile
    {
        QByteArray hash;
        QDateTime modified;
        QStringList folder;
    };
    DataFile dataFile() const;

    QTemporaryDir m_dir;
    QString m_store;
    std::vector<StoreRow> m_rows;
    std::unique_ptr<PictureAreas> m_areas;
};

void TestForm1RandomUse::initTestCase()
{
    const QString shipped = shippedStorePath();
    if (!QFileInfo::exists(shipped))
        QSKIP("the shipped commune store is absent");
    QVERIFY(m_dir.isValid());
    m_store = m_dir.filePath(QStringLiteral("insee.sqlite"));
    QVERIFY(QFile::copy(shipped, m_store));
    QCOMPARE(fileFingerprint(m_store), fileFingerprint(shipped));

    QString error;
    m_rows = readStore(shipped, &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QVERIFY(m_rows.size() > 1000);
    m_areas = std::make_unique<PictureAreas>(MapPicture::storedPicture());
}

TestForm1RandomUse::DataFile TestForm1RandomUse::dataFile() const
{
    return {fileFingerprint(m_store), QFileInfo(m_store).lastModified(),
            QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden)};
}

// The model's own reading of the patterns, on cases worked out by hand; the
// program's matcher is held to the same answers.
void TestForm1RandomUse::referencePattern_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("wellFormed");
    QTest::addColumn<bool>("matches");

    // clang-format off
    QTest::newRow("exact") << "PARIS" << "PARIS" << true << true;
    QTest::newRow("whole name only") << "PARIS" << "PARISOT" << true << false;
    QTest::newRow("star alone") << "*" << "AIN" << true << true;
    QTest::newRow("empty, empty name") << "" << "" << true << true;
    QTest::newRow("empty, a name") << "" << "AIN" << true << false;
    QTest::newRow("stars around") << "*RIS*" << "PARIS" << true << true;
    QTest::newRow("stars in a row") << "P***S" << "PARIS" << true << true;
    QTest::newRow("question marks") << "P?R?S" << "PARIS" << true << true;
    QTest::newRow("digit") << "A#" << "A7" << true << true;
    QTest::newRow("digit, letter") << "A#" << "AB" << true << false;
    QTest::newRow("list") << "[OP]ARIS" << "PARIS" << true << true;
    QTest::newRow("range") << "[A-Z]ARIS" << "PARIS" << true << true;
    QTest::newRow("not in range") << "[!A-O]ARIS" << "PARIS" << true << true;
    QTest::newRow("reversed range") << "[Z-A]ARIS" << "PARIS" << true << false;
    QTest::newRow("reversed range, negated") << "[!Z-A]ARIS" << "PARIS" << true << true;
    QTest::newRow("hyphen last") << "A[B-]" << "A-" << true << true;
    QTest::newRow("hyphen first") << "A[-B]" << "A-" << true << true;
    QTest::newRow("star in a list") << "A[*]" << "A*" << true << true;
    QTest::newRow("star in a list, letter") << "A[*]" << "AB" << true << false;
    QTest::newRow("closing bracket alone") << "A]" << "A]" << true << true;
    QTest::newRow("open bracket in a list") << "[[]" << "[" << true << true;
    QTest::newRow("unclosed") << "[AB" << "A" << false << false;
    QTest::newRow("empty list") << "[]" << "" << false << false;
    QTest::newRow("empty negated list") << "[!]" << "A" << false << false;
    QTest::newRow("list closed at the first bracket") << "[]]" << "]" << false << false;
    QTest::newRow("backtracking") << "*AB*AC" << "ABXABAC" << true << true;
    QTest::newRow("too short for the stars") << "*ABC*ABC*" << "ABCAB" << true << false;
    // clang-format on
}

void TestForm1RandomUse::referencePattern()
{
    QFETCH(QString, pattern);
    QFETCH(QString, name);
    QFETCH(bool, wellFormed);
    QFETCH(bool, matches);

    const std::optional<ReferencePattern> reference = ReferencePattern::parse(pattern);
    QCOMPARE(reference.has_value(), wellFormed);
    const std::optional<LikePattern> program = LikePattern::compile(pattern);
    QCOMPARE(program.has_value(), wellFormed);
    if (!wellFormed)
        return;
    QCOMPARE(reference->matches(name), matches);
    QCOMPARE(likeMatch(name, *program), matches);
}

void TestForm1RandomUse::randomUse()
{
    const DataFile before = dataFile();
    QElapsedTimer clock;
    clock.start();
    QString problem;
    QByteArray checksum;
    Tally tally;
    {
        RandomUse use(m_store, m_rows, *m_areas, randomUseSeed);
        problem = use.run(actionCount);
        tally = use.tally();
        checksum = use.checksum();
    }
    const qint64 elapsed = clock.elapsed();
    qInfo("%lld actions, %lld invariant checks in %.1f s (%.0f actions/s); final state %s", tally.actions, tally.checks,
          elapsed / 1000.0, tally.actions * 1000.0 / std::max<qint64>(elapsed, 1), checksum.constData());
    qInfo("searches %d (no match %d, refused %d, first record %d); record steps %d (past the end %d, "
          "before the start %d); browser steps %d; map clicks %d (naming one %d); About %d; minimise %d; "
          "online map %d; clock %d; screen checks %d",
          tally.searches, tally.searchesNoMatch, tally.searchesRefused, tally.searchesFirstRecord, tally.recordSteps,
          tally.stepsPastEnd, tally.stepsBeforeStart, tally.browserSteps, tally.mapClicks, tally.mapClicksNamed,
          tally.aboutActions, tally.minimises, tally.onlineMaps, tally.ticks, tally.screenChecks);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    QCOMPARE(tally.actions, qint64(actionCount));

    // The window is gone and its database closed: the file is as it was.
    const DataFile after = dataFile();
    QCOMPARE(after.hash, before.hash);
    QCOMPARE(after.modified, before.modified);
    QCOMPARE(after.folder, before.folder);
}

// Esc on the main window closes the database and asks to quit. The test's
// stand-in for quitting keeps the window up: whatever the user does next must
// neither crash nor throw, and searches then only report the closed database.
void TestForm1RandomUse::escapeThenMoreUse()
{
    const DataFile before = dataFile();
    {
        RandomUse use(m_store, m_rows, *m_areas, afterEscapeSeed);
        QString problem = use.run(200);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        problem = use.pressEscape();
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        problem = use.run(300);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        QVERIFY(use.tally().searches > 0);
    }
    const DataFile after = dataFile();
    QCOMPARE(after.hash, before.hash);
    QCOMPARE(after.modified, before.modified);
    QCOMPARE(after.folder, before.folder);
}

QTEST_MAIN(TestForm1RandomUse)
#include "test_form1_random_use.moc"
