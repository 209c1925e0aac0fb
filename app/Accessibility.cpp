#include "app/Accessibility.h"

#include "app/Form1.h"
#include "widgets/MapWidget.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>

namespace {

// Which of the program's own accessible objects a widget is given; set as a
// property so that the factory below recognises the widget.
constexpr const char *kindProperty = "topovilAccessibleKind";
enum class Kind { Hidden = 1, Locator, Map };

struct AccessibleText
{
    const char *control;
    const char *name;        // UTF-8; nullptr keeps the control's own caption
    const char *description; // UTF-8
};

const AccessibleText form1Texts[] = {
    {"CmdMinimise", "Réduire", "Réduire la fenêtre dans la barre des tâches"},
    {"CmdQuitte", "Quitter", "Fermer Topovil"},
    {"Apropos", "À propos", "Ouvrir la fenêtre À propos de Topovil"},
    {"Text7", "Commune à chercher",
     "Nom de la commune en majuscules, sans tiret, accent ni apostrophe ; Saint s'écrit ST. "
     "Jokers : ? un caractère, * une suite, # un chiffre, [AB] un caractère de la liste"},
    {"cherche", "Chercher", "Chercher la première commune dont le nom correspond (touche Entrée)"},
    {"avant", "Commune précédente", "Afficher la commune précédente du fichier"},
    {"apres", "Commune suivante", "Afficher la commune suivante du fichier"},
    {"CmdCarte", "Ouvrir la carte en ligne", "Ouvrir la commune affichée dans un service de cartes en ligne"},
    {"Command1", "Département précédent", "Colorer sur la carte le département de numéro précédent"},
    {"Command2", "Département suivant", "Colorer sur la carte le département de numéro suivant"},
    {"Label1", nullptr, "Nom de la commune affichée"},
    {"Label8", nullptr, "Département de la commune affichée"},
    {"Label10", nullptr, "Code postal de la commune affichée"},
    {"Label11", nullptr, "Longitude de la commune affichée, en degrés décimaux"},
    {"Label12", nullptr, "Latitude de la commune affichée, en degrés décimaux"},
    {"Label5", nullptr, "Numéro du département affiché sur la carte"},
    {"Label20", nullptr, "Nom du département affiché sur la carte"},
    {"Label9", nullptr, "Date et heure"},
    {"Label7", nullptr, "Conseil de saisie"},
    {"Label2", "Saint s'écrit ST", "Conseil de saisie"},
    {"Shape6", "Couleur du département", "Couleur donnée sur la carte au département de la commune affichée"},
};
const char *const form1Hidden[] = {"Label14", "Label15", "Label16", "Label17", "Label18", "Label19",
                                   "Shape2", "Line1", "Line2", "Line3"};

const AccessibleText aboutTexts[] = {
    {"picIcon", "Icône de Topovil", ""},
    {"cmdOK", "OK", "Fermer la fenêtre À propos (Entrée ou Échap)"},
    {"Label1", "Version 4.01", ""},
    {"Lblwebln", nullptr, "Adresse du site, ouverte dans le navigateur par un clic"},
};
const char *const aboutHidden[] = {"Line1_0", "Line1_1", "Shape2", "lblDisclaimer", "Label7", "Label8"};

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

Form1 *form1Of(const QWidget *widget)
{
    return qobject_cast<Form1 *>(widget->window());
}

// The "Locator" caption reads as the caption and the six letters beside it,
// so that the locator is one text rather than six one-letter labels.
class LocatorAccessible : public QAccessibleWidget
{
public:
    explicit LocatorAccessible(QWidget *caption) : QAccessibleWidget(caption, QAccessible::StaticText) {}

    QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Name:
            return QStringLiteral("Locator : %1").arg(letters());
        case QAccessible::Value:
            return letters();
        case QAccessible::Description:
            return QStringLiteral("Carré Maidenhead (locator des radioamateurs) de la commune affichée");
        default:
            return QAccessibleWidget::text(t);
        }
    }

private:
    QString letters() const
    {
        const Form1 *form = form1Of(widget());
        if (!form)
            return {};
        QString shown;
        for (const QLabel *letter : {form->Label14, form->Label15, form->Label16, form->Label17, form->Label18,
                                     form->Label19})
            shown += letter->text();
        return shown;
    }
};

// The map names the département it shows, as the labels under it do.
class MapAccessible : public QAccessibleWidget
{
public:
    explicit MapAccessible(QWidget *map) : QAccessibleWidget(map, QAccessible::Graphic) {}

    QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Name:
            return QStringLiteral("Carte des départements");
        case QAccessible::Value:
            return shown();
        case QAccessible::Description:
            return shown().isEmpty() ? QStringLiteral("Aucun département affiché")
                                     : QStringLiteral("Département affiché : %1").arg(shown());
        case QAccessible::Help:
            return QStringLiteral("Flèches, plus ou moins : département suivant ou précédent. "
                                  "Clic : colorer et nommer le département sous le pointeur");
        default:
            return QAccessibleWidget::text(t);
        }
    }

private:
    // "PARIS (75)"; empty before the first département and after a click
    // that named none.
    QString shown() const
    {
        const Form1 *form = form1Of(widget());
        if (!form || form->Label5->text().isEmpty())
            return {};
        return QStringLiteral("%1 (%2)").arg(form->Label20->text(), form->Label5->text());
    }
};

QAccessibleInterface *accessibleFactory(const QString &, QObject *object)
{
    auto *widget = qobject_cast<QWidget *>(object);
    if (!widget)
        return nullptr;
    const QVariant kind = widget->property(kindProperty);
    if (!kind.isValid())
        return nullptr;
    switch (Kind(kind.toInt())) {
    case Kind::Hidden:
        return new HiddenAccessible(widget);
    case Kind::Locator:
        return new LocatorAccessible(widget);
    case Kind::Map:
        return new MapAccessible(widget);
    }
    return nullptr;
}

void installFactoryOnce()
{
    static const bool installed = [] {
        QAccessible::installFactory(accessibleFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

void setKind(QWidget *widget, Kind kind)
{
    if (!widget)
        return;
    widget->setProperty(kindProperty, int(kind));
    // A label announces its first text while it is built, which makes and
    // keeps a plain interface for it; dropping that one lets the factory
    // above make the next.
    if (QAccessibleInterface *made = QAccessible::queryAccessibleInterface(widget))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
}

template <size_t textCount, size_t hiddenCount>
void applyTable(QWidget &window, const AccessibleText (&texts)[textCount], const char *const (&hidden)[hiddenCount])
{
    installFactoryOnce();
    for (const AccessibleText &entry : texts) {
        auto *control = window.findChild<QWidget *>(QLatin1String(entry.control));
        if (!control)
            continue;
        if (entry.name)
            control->setAccessibleName(QString::fromUtf8(entry.name));
        control->setAccessibleDescription(QString::fromUtf8(entry.description));
    }
    for (const char *name : hidden)
        setKind(window.findChild<QWidget *>(QLatin1String(name)), Kind::Hidden);
}

} // namespace

void setAccessibleTexts(Form1 &form)
{
    applyTable(form, form1Texts, form1Hidden);
    setKind(form.Label13, Kind::Locator);
    setKind(form.Picture1, Kind::Map);
}

void setAboutAccessibleTexts(QWidget &about)
{
    applyTable(about, aboutTexts, aboutHidden);
}
