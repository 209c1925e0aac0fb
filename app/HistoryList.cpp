#include "app/HistoryList.h"

#include <algorithm>

namespace {

constexpr int VisibleLines = 12;
constexpr int Margin = 12;

void addNote(QListWidget *list, const QString &text)
{
    auto *note = new QListWidgetItem(text, list);
    note->setFlags(Qt::ItemIsEnabled);
}

} // namespace

HistoryList::HistoryList(QWidget *owner) : ListWindow(owner)
{
    setObjectName(QStringLiteral("historyList"));
    setAccessibleName(QStringLiteral("Histoire de la commune"));
    setWordWrap(true);
    setTextElideMode(Qt::ElideNone);
}

void HistoryList::open(const QString &commune, const std::optional<std::vector<CommuneEvent>> &events, QWidget *anchor)
{
    clear();
    setAccessibleDescription(
        QStringLiteral("Les changements de %1 depuis 1943, du plus ancien au plus récent ; Échap ferme la liste.")
            .arg(commune));
    if (!events)
        addNote(this, QStringLiteral("Ce fichier de données ne dit pas l'histoire des communes."));
    else if (events->empty())
        addNote(this, QStringLiteral("%1 : aucun changement depuis 1943.").arg(commune));
    for (const CommuneEvent &event : events ? *events : std::vector<CommuneEvent>{}) {
        auto *line = new QListWidgetItem(eventText(event), this);
        line->setToolTip(line->text());
    }
    setCurrentRow(0);
    QWidget *window = anchor->window();
    const int width = window->width() - 2 * Margin;
    resize(width, 10);
    int height = 2 * frameWidth();
    for (int i = 0; i < std::min(count(), VisibleLines); ++i)
        height += std::max(sizeHintForRow(i), 1);
    resize(width, height);
    showAt(window->mapToGlobal(QPoint(Margin, anchor->mapTo(window, QPoint(0, anchor->height())).y())));
}
