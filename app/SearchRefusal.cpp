#include "app/SearchRefusal.h"

#include "app/Form1Layout.h"

#include <QAccessible>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>

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
