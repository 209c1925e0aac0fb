#include "app/MatchCount.h"

#include "app/Form1.h"
#include "app/Form1Layout.h"
#include "app/SearchRefusal.h"
#include "geo/MaidenheadLocator.h"
#include "geometry/GreatCircle.h"
#include "geometry/NearestCommunes.h"
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
    for (const ControlSpec &spec : form1Controls()) {
        if (QLatin1String(spec.name) == QLatin1String("Label7"))
            return spec;
    }
    Q_UNREACHABLE();
}

// A text too wide for the hint's line takes both hint lines, wrapped, and
// a smaller size when two lines are not enough.
void showHint(Form1 &form, const QString &text)
{
    QLabel *hint = form.Label7;
    const ControlSpec &spec = hintSpec();
    const QFont design = uiFont();
    const bool oneLine = nameFits(design, text, spec.geometry.width());
    hint->setGeometry(oneLine ? spec.geometry : form1::bothHintLines);
    hint->setWordWrap(!oneLine);
    hint->setFont(oneLine ? design : wrappedTextFont(design, text, form1::bothHintLines.size()));
    form.Label2->setVisible(oneLine);
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
    const std::optional<GeoPoint> centre = matches.place();
    if (!centre || matches.match(matches.index()).kind != MatchKind::Locator)
        return {};
    const QString locator = typed.trimmed().toUpper();
    const std::optional<GeoPoint> position = communePosition(records, matches.row());
    if (!position || maidenheadLocator8(position->latitude, position->longitude).startsWith(locator))
        return {};
    const double km = distanceKm(*centre, *position);
    return QStringLiteral("Aucune commune dans %1 · %2 à %3 km du centre")
        .arg(locator, records.fieldText(u"commune"), QString::number(std::lround(km)));
}

} // namespace

void showMatchCount(Form1 &form)
{
    endSearchRefusal(form);
    const SearchMatches &matches = form.matches;
    QStringList parts;
    // A commune found by another name says so while it is shown.
    if (matches.row() >= 0 && matches.row() == form.rstInfo.position()) {
        parts << otherNameText(form.rstInfo, matches, matches.index());
        parts << locatorFallbackText(form.rstInfo, matches, form.Text7->text());
    }
    // The count is of the matches: a record stepped to that is not one of
    // them shows none, and F3 brings it back.
    if (matches.count() > 1 && matches.row() == form.rstInfo.position())
        parts << matches.countText() + QStringLiteral(" · F3 suivante");
    parts.removeAll(QString());
    showHint(form, parts.isEmpty() ? QString::fromUtf8(hintSpec().text) : parts.join(QStringLiteral(" · ")));
}

void showMatchCountAfterStep(Form1 &form)
{
    SearchMatches &matches = form.matches;
    const std::vector<int> &rows = matches.rows();
    if (const auto at = std::find(rows.begin(), rows.end(), form.rstInfo.position()); at != rows.end())
        matches.select(int(at - rows.begin()));
    if (matches.count() > 0)
        showMatchCount(form);
}
