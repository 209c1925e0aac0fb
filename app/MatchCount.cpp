#include "app/MatchCount.h"

#include "app/Form1.h"
#include "app/Form1Layout.h"
#include "app/SearchRefusal.h"

#include <QAccessible>
#include <QLabel>

namespace {

QString hintCaption()
{
    for (const ControlSpec &spec : form1Controls()) {
        if (QLatin1String(spec.name) == QLatin1String("Label7"))
            return QString::fromUtf8(spec.text);
    }
    return {};
}

} // namespace

void showMatchCount(Form1 &form)
{
    endSearchRefusal(form);
    const QString text =
        form.matches.count() > 1 ? form.matches.countText() + QStringLiteral(" · F3 suivante") : hintCaption();
    if (form.Label7->text() == text)
        return;
    form.Label7->setText(text);
    QAccessibleEvent changed(form.Label7, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
}
