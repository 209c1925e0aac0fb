#include "app/MatchCount.h"

#include "app/Form1Layout.h"
#include "geometry/GreatCircle.h"
#include "geometry/NearestCommunes.h"
#include "search/SearchMatches.h"
#include "widgets/Fonts.h"
#include "widgets/WholeNameFont.h"

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <algorithm>
#include <cmath>

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
