#include "app/HistoryList.h"

#include "history/CommuneStates.h"
#include "history/DateAnswer.h"

#include <QAccessible>
#include <QKeyEvent>
#include <algorithm>

namespace {

constexpr int VisibleLines = 12;
constexpr int Margin = 12;
constexpr int LongestDate = 10; // AAAA-MM-JJ

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

void HistoryList::open(const TodayCommune &commune, const std::optional<std::vector<CommuneEvent>> &events,
                       const CommuneStates *states, QWidget *anchor)
{
    clear();
    m_commune = commune;
    m_states = states && states->available() ? states : nullptr;
    m_typed.clear();
    m_dateLines = 0;
    const QString date =
        m_states ? QStringLiteral("Tapez une date pour entendre ce qu'était la commune ce jour-là. ") : QString();
    setAccessibleDescription(
        date
        + QStringLiteral("Les changements de %1 depuis 1943, du plus ancien au plus récent ; Échap ferme la liste.")
              .arg(commune.name));
    if (!events)
        addNote(this, noHistorySentence());
    else if (events->empty())
        addNote(this, QStringLiteral("%1 : aucun changement depuis 1943.").arg(commune.name));
    for (const CommuneEvent &event : events ? *events : std::vector<CommuneEvent>{}) {
        auto *line = new QListWidgetItem(eventText(event), this);
        line->setToolTip(line->text());
    }
    if (m_states)
        showDate();
    setCurrentRow(0);
    QWidget *window = anchor->window();
    resize(window->width() - 2 * Margin, 10);
    move(window->mapToGlobal(QPoint(Margin, anchor->mapTo(window, QPoint(0, anchor->height())).y())));
    fitHeight();
    showAt(pos());
}

void HistoryList::showDate()
{
    const QStringList lines = dateAnswerLines(m_typed, *m_states, m_commune);
    // The first line stays the same item, changed in place: the one a
    // screen reader is on, it reads the whole answer.
    if (m_dateLines == 0) {
        insertItem(0, QString());
        m_dateLines = 1;
    }
    item(0)->setText(lines.first());
    item(0)->setData(Qt::AccessibleTextRole, lines.join(QStringLiteral(" ; ")));
    for (; m_dateLines > 1; --m_dateLines)
        delete takeItem(1);
    for (; m_dateLines < lines.size(); ++m_dateLines)
        insertItem(m_dateLines, lines[m_dateLines]);
    // A shade of the selection's colour sets the answer apart from the events under it.
    QColor shade = palette().highlight().color();
    shade.setAlpha(40);
    for (int i = 0; i < m_dateLines; ++i)
        item(i)->setBackground(shade);
}

void HistoryList::fitHeight()
{
    int height = 2 * frameWidth();
    for (int i = 0; i < std::min(count(), VisibleLines); ++i)
        height += std::max(sizeHintForRow(i), 1);
    // Lines that wrap stay within the window; the rest scrolls.
    const QWidget *window = parentWidget()->window();
    const int room = window->mapToGlobal(QPoint(0, window->height())).y() - Margin - y();
    resize(width(), std::max(std::min(height, room), sizeHintForRow(0) + 2 * frameWidth()));
}

void HistoryList::keyPressEvent(QKeyEvent *event)
{
    const QString typed = event->text();
    const bool dateKey = typed.size() == 1 && ((typed[0] >= u'0' && typed[0] <= u'9') || typed[0] == u'-');
    const bool erase = event->key() == Qt::Key_Backspace && !m_typed.isEmpty();
    if (!m_states || (!dateKey && !erase)) {
        ListWindow::keyPressEvent(event);
        return;
    }
    if (erase)
        m_typed.chop(1);
    else if (m_typed.size() < LongestDate)
        m_typed += typed;
    showDate();
    setCurrentRow(0);
    fitHeight();
    // The reader is told that the line it is on says something else.
    for (const QAccessible::Event told : {QAccessible::NameChanged, QAccessible::Focus}) {
        QAccessibleEvent change(this, told);
        change.setChild(0);
        QAccessible::updateAccessibility(&change);
    }
}
