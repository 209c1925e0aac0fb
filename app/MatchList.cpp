#include "app/MatchList.h"

#include "search/SearchMatches.h"

#include <QLocale>
#include <algorithm>

namespace {

constexpr int VisibleLines = 12;
constexpr int ListWidth = 340;

} // namespace

MatchList::MatchList(QWidget *owner) : ListWindow(owner)
{
    setObjectName(QStringLiteral("matchList"));
    setAccessibleName(QStringLiteral("Communes trouvées"));
    setAccessibleDescription(QStringLiteral("Les communes qui répondent à la recherche ; Entrée montre la commune "
                                            "choisie, Échap ferme la liste."));
    setUniformItemSizes(true);
    const auto choose = [this](QListWidgetItem *item) {
        if (!item || !isVisible() || !item->flags().testFlag(Qt::ItemIsEnabled))
            return; // chosen already (a click also activates), or the line that counts the matches left out
        const int index = row(item);
        hide();
        emit chosen(index);
    };
    connect(this, &QListWidget::itemActivated, this, choose);
    connect(this, &QListWidget::itemClicked, this, choose);
}

void MatchList::open(const Recordset &records, const SearchMatches &matches, QWidget *anchor)
{
    clear();
    const int listed = std::min(matches.count(), MaxListedMatches);
    // A long way to the commune is shortened on its line, and read whole.
    for (int i = 0; i < listed; ++i) {
        auto *line = new QListWidgetItem(matchLine(records, matches, i, WayLength::Short), this);
        if (const QString whole = matchLine(records, matches, i); whole != line->text()) {
            line->setData(Qt::AccessibleTextRole, whole);
            line->setToolTip(whole);
        }
    }
    if (matches.count() > listed) {
        auto *more = new QListWidgetItem(QStringLiteral("%1 premières sur %2 · F3 les montre toutes")
                                             .arg(listed)
                                             .arg(QLocale(QLocale::French, QLocale::France).toString(matches.count())),
                                         this);
        more->setFlags(Qt::NoItemFlags);
    }
    setCurrentRow(std::min(matches.index(), listed - 1));
    const int lineHeight = std::max(sizeHintForRow(0), 1);
    resize(ListWidth, lineHeight * std::min(count(), VisibleLines) + 2 * frameWidth());
    showAt(anchor->mapToGlobal(QPoint(0, anchor->height())));
}
