#include "app/Accessibility.h"

#include "app/Form1Layout.h"
#include "app/ShownCommune.h"
#include "app/WindowState.h"

#include "widgets/AccessibleTexts.h"
#include "widgets/MapWidget.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>
#include <QListWidget>
#include <functional>

namespace {

const AccessibleText form1Texts[] = {
    {"CmdMinimise", "Réduire", "Réduire la fenêtre dans la barre des tâches"},
    {"CmdQuitte", "Quitter", "Fermer Topovil"},
    {"Apropos", "À propos", "Ouvrir la fenêtre À propos de Topovil"},
    {"Text7", "Commune à chercher",
     "Nom de la commune comme on l'écrit, code postal ou INSEE, locator ou coordonnées. "
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
    {"postcodesMore", nullptr, "Codes postaux de la commune affichée, outre celui montré"},
    {"inseeCode", nullptr, "Code INSEE de la commune affichée"},
    {"Label11", nullptr, "Longitude de la commune affichée, en degrés décimaux"},
    {"Label12", nullptr, "Latitude de la commune affichée, en degrés décimaux"},
    {"Label5", nullptr, "Numéro du département affiché sur la carte"},
    {"Label20", nullptr, "Nom du département affiché sur la carte"},
    {"Label9", nullptr, "Date et heure"},
    {"distanceLabel", nullptr,
     "Distance en kilomètres et azimut en degrés de la commune affichée depuis le point de départ (Ctrl+D)"},
    {"Label7", nullptr, "Conseil de saisie"},
    {"Label2", "Saint s'écrit ST", "Conseil de saisie"},
    {"Shape6", "Couleur du département", "Couleur donnée sur la carte au département de la commune affichée"},
};
const char *const form1Hidden[] = {"Label14", "Label15", "Label16", "Label17", "Label18",
                                   "Label19", "Shape2",  "Line1",   "Line2",   "Line3"};

// Where an accessible object of the window's own making reads what it tells:
// a child of its widget, so that it goes with it.
class ShownText : public QObject
{
public:
    ShownText(QWidget *widget, std::function<QString()> text) : QObject(widget), text(std::move(text))
    {
        setObjectName(QStringLiteral("shownText"));
    }

    static QString of(const QWidget *widget)
    {
        const auto *source = widget->findChild<ShownText *>(QStringLiteral("shownText"), Qt::FindDirectChildrenOnly);
        return source ? source->text() : QString();
    }

private:
    std::function<QString()> text;
};

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
    QString letters() const { return ShownText::of(widget()); }
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
            return description();
        case QAccessible::Help:
            return QStringLiteral("Flèches, plus ou moins : département suivant ou précédent. "
                                  "Clic : colorer et nommer le département sous le pointeur. "
                                  "Ctrl et clic : la commune la plus proche du point");
        default:
            return QAccessibleWidget::text(t);
        }
    }

private:
    // « Département affiché : FINISTERE (29) ; commune marquée : BREST ».
    QString description() const
    {
        QString text = shown().isEmpty() ? QStringLiteral("Aucun département affiché")
                                         : QStringLiteral("Département affiché : %1").arg(shown());
        const auto *map = qobject_cast<const MapWidget *>(widget());
        if (map && map->mark())
            text += QStringLiteral(" ; commune marquée : %1").arg(map->markName());
        return text;
    }

    // "PARIS (75)"; empty before the first département and after a click
    // that named none.
    QString shown() const { return ShownText::of(widget()); }
};

QAccessibleInterface *makeLocator(QWidget *caption)
{
    return new LocatorAccessible(caption);
}

QAccessibleInterface *makeMap(QWidget *map)
{
    return new MapAccessible(map);
}

} // namespace

void setAccessibleTexts(QWidget &window, QWidget *locatorCaption, QWidget *map, const ShownCommune &shown,
                        const WindowState &state)
{
    applyAccessibleTexts(window, form1Texts, form1Hidden);
    new ShownText(locatorCaption, [&shown] {
        if (!shown.locator.isEmpty())
            return shown.locator;
        QString letters;
        for (const char *letter : {"Label14", "Label15", "Label16", "Label17", "Label18", "Label19"})
            letters += QString::fromUtf8(form1Control(letter).text);
        return letters;
    });
    new ShownText(map, [&state] { return mapDepartementText(state); });
    setAccessibleMaker(locatorCaption, makeLocator);
    setAccessibleMaker(map, makeMap);
}

void forgetLinesOfClosedList(QListWidget *list)
{
    QMetaObject::invokeMethod(
        list,
        [list] {
            if (!list->isVisible())
                list->clear();
        },
        Qt::QueuedConnection);
}
