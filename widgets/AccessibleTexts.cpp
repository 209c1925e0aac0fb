#include "widgets/AccessibleTexts.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>

namespace {

// The maker of a widget's accessible object is kept as a property, which the
// one factory below reads.
constexpr const char *makerProperty = "topovilAccessibleMaker";

// A widget the screen reader should pass over: it says nothing and counts
// as not shown.
class HiddenAccessible : public QAccessibleWidget
{
public:
    using QAccessibleWidget::QAccessibleWidget;
    QString text(QAccessible::Text) const override { return {}; }
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.invisible = true;
        return state;
    }
};

QAccessibleInterface *makeHidden(QWidget *widget)
{
    return new HiddenAccessible(widget);
}

QAccessibleInterface *accessibleFactory(const QString &, QObject *object)
{
    auto *widget = qobject_cast<QWidget *>(object);
    if (!widget)
        return nullptr;
    const QVariant maker = widget->property(makerProperty);
    if (!maker.isValid())
        return nullptr;
    return reinterpret_cast<AccessibleMaker>(maker.value<quintptr>())(widget);
}

} // namespace

void setAccessibleMaker(QWidget *widget, AccessibleMaker maker)
{
    static const bool installed = [] {
        QAccessible::installFactory(accessibleFactory);
        return true;
    }();
    Q_UNUSED(installed);
    if (!widget)
        return;
    widget->setProperty(makerProperty, QVariant::fromValue(reinterpret_cast<quintptr>(maker)));
    // A label announces its first text while it is built, which makes and
    // keeps a plain interface for it; dropping that one lets the factory
    // above make the next.
    if (QAccessibleInterface *made = QAccessible::queryAccessibleInterface(widget))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
}

void applyAccessibleTexts(QWidget &window, std::span<const AccessibleText> texts, std::span<const char *const> hidden)
{
    for (const AccessibleText &entry : texts) {
        auto *control = window.findChild<QWidget *>(QLatin1String(entry.control));
        if (!control)
            continue;
        if (entry.name)
            control->setAccessibleName(QString::fromUtf8(entry.name));
        control->setAccessibleDescription(QString::fromUtf8(entry.description));
    }
    for (const char *name : hidden)
        setAccessibleMaker(window.findChild<QWidget *>(QLatin1String(name)), makeHidden);
}
