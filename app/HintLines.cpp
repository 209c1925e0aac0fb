#include "app/HintLines.h"

#include "app/Form1Layout.h"
#include "geometry/GreatCircle.h"
#include "geometry/NearestCommunes.h"
#include "search/SearchMatches.h"
#include "widgets/Fonts.h"
#include "widgets/WholeNameFont.h"

#include <QAccessible>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <algorithm>
#include <cmath>

namespace {

const QColor refusalRed(192, 0, 0);

void setTextColor(QLabel *label, const QColor &color)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
}

// Owned by the hint; remembers the hint it covers and gives it back at the
// next key or click in the search box.
class SearchRefusal : public QObject
{
public:
    explicit SearchRefusal(const HintLines &lines) : QObject(lines.hint), m_lines(lines)
    {
        setObjectName(QStringLiteral("searchRefusal"));
        lines.box->installEventFilter(this);
    }

    void showReason(const QString &reason)
    {
        QLabel *hint = m_lines.hint;
        if (!m_shown) {
            m_hintText = hint->text();
            m_hintGeometry = hint->geometry();
            m_hintColor = hint->palette().color(QPalette::WindowText);
            m_hintFont = hint->font();
            m_hintWraps = hint->wordWrap();
            m_secondLine = m_lines.secondLine->isVisible();
            m_shown = true;
        }
        hint->setGeometry(form1::bothHintLines);
        hint->setWordWrap(true);
        setTextColor(hint, refusalRed);
        hint->setText(reason);
        hint->raise();
        m_lines.secondLine->hide();
        QAccessibleEvent alert(hint, QAccessible::Alert);
        QAccessible::updateAccessibility(&alert);
    }

    void restoreHint()
    {
        if (!m_shown)
            return;
        QLabel *hint = m_lines.hint;
        hint->setText(m_hintText);
        hint->setWordWrap(m_hintWraps);
        hint->setGeometry(m_hintGeometry);
        hint->setFont(m_hintFont);
        setTextColor(hint, m_hintColor);
        m_lines.secondLine->setVisible(m_secondLine);
        m_shown = false;
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // Installed after the window's own filter, so this runs first: an
        // Enter that searches again finds the hint back in place.
        if (event->type() == QEvent::KeyPress || event->type() == QEvent::MouseButtonPress)
            restoreHint();
        return QObject::eventFilter(watched, event);
    }

private:
    HintLines m_lines;
    bool m_shown = false;
    QString m_hintText;
    QRect m_hintGeometry;
    QColor m_hintColor;
    QFont m_hintFont;
    bool m_hintWraps = false;
    bool m_secondLine = true;
};

SearchRefusal *refusalOf(const HintLines &lines)
{
    return static_cast<SearchRefusal *>(
        lines.hint->findChild<QObject *>(QStringLiteral("searchRefusal"), Qt::FindDirectChildrenOnly));
}

} // namespace

void endSearchRefusal(const HintLines &lines)
{
    if (SearchRefusal *refusal = refusalOf(lines))
        refusal->restoreHint();
}

void showSearchRefusal(const HintLines &lines, const QString &reason)
{
    SearchRefusal *refusal = refusalOf(lines);
    if (!refusal)
        refusal = new SearchRefusal(lines);
    refusal->showReason(reason);
}

namespace {

const ControlSpec &hintSpec()
{
    return form1Control("Label7");
}

// A text too wide for the hint's line takes both hint lines, wrapped, and
// a smaller size when two lines are not enough.
void showHint(const HintLines &lines, const QString &text)
{
    QLabel *hint = lines.hint;
    const ControlSpec &spec = hintSpec();
    const QFont design = uiFont();
    const bool oneLine = nameFits(design, text, spec.geometry.width());
    hint->setGeometry(oneLine ? spec.geometry : form1::bothHintLines);
    hint->setWordWrap(!oneLine);
    hint->setFont(oneLine ? design : wrappedTextFont(design, text, form1::bothHintLines.size()));
    lines.secondLine->setVisible(oneLine);
    if (hint->text() == text)
        return;
    hint->setText(text);
    QAccessibleEvent changed(hint, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
}

// A locator whose square holds no commune finds the nearest one: say so,
// and how far it lies from the square's centre. Empty otherwise.
QString locatorFallbackText(const Recordset &records, const SearchMatches &matches, const QString &typed)
{
    // An empty square found the commune nearest to its centre.
    const std::optional<GeoPoint> centre = matches.place();
    if (!centre || matches.match(matches.index()).kind != MatchKind::Nearest)
        return {};
    const QString locator = typed.trimmed().toUpper();
    const std::optional<GeoPoint> position = communePosition(records, matches.row());
    if (!position)
        return {};
    const double km = distanceKm(*centre, *position);
    return QStringLiteral("Aucune commune dans %1 · %2 à %3 km du centre")
        .arg(locator, records.fieldText(u"commune"), QString::number(std::lround(km)));
}

} // namespace

void showMatchCount(const HintLines &lines, const Recordset &records, const SearchMatches &matches)
{
    endSearchRefusal(lines);
    QStringList parts;
    QString wholeWay;
    // A commune found by another name says so while it is shown: its whole
    // way when the two hint lines hold it, else its first and last steps,
    // the whole way staying in what screen readers read.
    if (matches.row() >= 0 && matches.row() == records.position()) {
        wholeWay = otherNameText(records, matches, matches.index());
        const bool roomy = nameFits(uiFont(), wholeWay, 2 * form1::bothHintLines.width());
        parts << (roomy ? wholeWay : otherNameText(records, matches, matches.index(), WayLength::Short));
        parts << locatorFallbackText(records, matches, lines.box->text());
    }
    lines.hint->setAccessibleDescription(wholeWay);
    // The count is of the matches: a record stepped to that is not one of
    // them shows none, and F3 brings it back.
    if (matches.count() > 1 && matches.row() == records.position())
        parts << matches.countText() + QStringLiteral(" · F3 suivante");
    parts.removeAll(QString());
    showHint(lines, parts.isEmpty() ? QString::fromUtf8(hintSpec().text) : parts.join(QStringLiteral(" · ")));
}

void showMatchCountAfterStep(const HintLines &lines, const Recordset &records, SearchMatches &matches)
{
    const std::vector<int> &rows = matches.rows();
    if (const auto at = std::find(rows.begin(), rows.end(), records.position()); at != rows.end())
        matches.select(int(at - rows.begin()));
    if (matches.count() > 0)
        showMatchCount(lines, records, matches);
}
