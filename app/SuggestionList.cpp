#include "app/SuggestionList.h"

#include "app/Accessibility.h"
#include "store/DatabaseError.h"
#include "store/Recordset.h"
#include "widgets/Fonts.h"

#include <QAccessible>

namespace {

constexpr int ListWidth = 340;

QString fieldOf(const Recordset &records, int row, QStringView field)
{
    try {
        return records.column(records.fieldIndex(field)).value(size_t(row)).toString();
    } catch (const DatabaseError &) {
        return {};
    }
}

} // namespace

SuggestionList::SuggestionList(QWidget *owner) : QListWidget(owner)
{
    setObjectName(QStringLiteral("suggestionList"));
    // A tool tip's window is never activated: the box keeps the keys.
    setWindowFlags(Qt::ToolTip);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setAccessibleName(QStringLiteral("Suggestions"));
    setAccessibleDescription(QStringLiteral("Des communes proposées pour le texte tapé ; Haut et Bas pour choisir, "
                                            "Entrée pour la montrer, Échap pour fermer la liste."));
    setUniformItemSizes(true);
    setFont(uiFont());
    connect(this, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) {
        const int index = row(item);
        hide();
        if (index >= 0 && size_t(index) < m_suggestions.size())
            emit chosen(m_suggestions[size_t(index)]);
    });
}

void SuggestionList::open(const Recordset &records, std::vector<Suggestion> suggestions, QWidget *anchor)
{
    m_suggestions = std::move(suggestions);
    clear();
    if (m_suggestions.empty()) {
        hide();
        return;
    }
    for (const Suggestion &suggestion : m_suggestions)
        addItem(QStringLiteral("%1 — %2 — %3")
                    .arg(suggestion.name, fieldOf(records, suggestion.row, u"departement"),
                         fieldOf(records, suggestion.row, u"codepos")));
    setCurrentRow(-1);
    const int lineHeight = std::max(sizeHintForRow(0), 1);
    resize(ListWidth, lineHeight * count() + 2 * frameWidth());
    move(anchor->mapToGlobal(QPoint(0, anchor->height())));
    show();
}

void SuggestionList::moveHighlight(int step)
{
    if (count() == 0)
        return;
    const int next = currentRow() < 0 ? (step > 0 ? 0 : count() - 1) : (currentRow() + step + count()) % count();
    setCurrentRow(next);
    QAccessibleEvent focus(this, QAccessible::Focus);
    focus.setChild(next);
    QAccessible::updateAccessibility(&focus);
}

bool SuggestionList::chooseHighlighted()
{
    const int index = currentRow();
    if (index < 0 || size_t(index) >= m_suggestions.size())
        return false;
    hide();
    emit chosen(m_suggestions[size_t(index)]);
    return true;
}

void SuggestionList::hideEvent(QHideEvent *event)
{
    forgetLinesOfClosedList(this);
    QListWidget::hideEvent(event);
}

bool SuggestionList::takeKey(int key)
{
    if (!isVisible())
        return false;
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
        moveHighlight(key == Qt::Key_Down ? 1 : -1);
        return true;
    case Qt::Key_Escape:
        hide();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (chooseHighlighted())
            return true;
        hide(); // nothing highlighted: the search as typed
        return false;
    default:
        return false;
    }
}
