#pragma once

#include "app/Form1.h"
#include "widgets/GraphicalButton.h"
#include "widgets/MapWidget.h"
#include "widgets/ShapeWidget.h"

#include <QCryptographicHash>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <initializer_list>
#include <optional>

namespace form1test {

// The six locator letters, read as one text.
inline QString locatorShown(const Form1 &form)
{
    QString locator;
    for (const QLabel *letter : {form.Label14, form.Label15, form.Label16, form.Label17, form.Label18, form.Label19})
        locator += letter->text();
    return locator;
}

// Everything the window shows of a commune and of the map, and the state its
// handlers keep, as one value: the window tests compare two of them to show
// that an action changed nothing, or only what it should.
struct Shown
{
    // Label1, Label11, Label12, Label10, Label8, Label20, Text9, Label5 and
    // the locator, named in textNames.
    QStringList texts;
    QImage map;
    // The commune's and the starting point's marks drawn over the map.
    std::optional<QPoint> mark;
    std::optional<QPoint> startMark;
    QPointF seed;
    DeptNumber deptNumber;
    QColor cherche;
    QColor swatch;
    bool carte = false;
    int position = 0;

    static inline const QStringList textNames = {"Label1",  "Label11", "Label12", "Label10", "Label8",
                                                 "Label20", "Text9",   "Label5",  "locator"};

    explicit Shown(const Form1 &form)
        : texts{form.Label1->text(),  form.Label11->text(), form.Label12->text(),
                form.Label10->text(), form.Label8->text(),  form.Label20->text(),
                form.Text9->text(),   form.Label5->text(),  locatorShown(form)},
          map(form.Picture1->picture().image()), mark(form.Picture1->mark()), startMark(form.Picture1->startMark()),
          seed(form.state.seed), deptNumber(form.deptNumber), cherche(form.cherche->backColor()),
          swatch(form.Shape6->backColor()), carte(form.CmdCarte->isEnabled()), position(form.rstInfo.position())
    {
    }

    // The same with the named parts left out of comparisons: a text by its
    // control's name, or "map" (its marks too), "seed", "deptNumber", "cherche", "Shape6",
    // "CmdCarte", "rstInfo".
    Shown without(std::initializer_list<const char *> parts) const
    {
        Shown kept = *this;
        for (const char *part : parts) {
            const QLatin1String name(part);
            if (const qsizetype i = textNames.indexOf(name); i >= 0)
                kept.texts[i].clear();
            else if (name == QLatin1String("map")) {
                kept.map = QImage();
                kept.mark = kept.startMark = std::nullopt;
            } else if (name == QLatin1String("seed"))
                kept.seed = QPointF();
            else if (name == QLatin1String("deptNumber"))
                kept.deptNumber = DeptNumber();
            else if (name == QLatin1String("cherche"))
                kept.cherche = QColor();
            else if (name == QLatin1String("Shape6"))
                kept.swatch = QColor();
            else if (name == QLatin1String("CmdCarte"))
                kept.carte = false;
            else if (name == QLatin1String("rstInfo"))
                kept.position = 0;
            else
                qFatal("Shown has no part %s", part);
        }
        return kept;
    }

    bool operator==(const Shown &) const = default;
};

// The parts of two states that differ, by name; empty when they are alike.
inline QString differences(const Shown &a, const Shown &b)
{
    QStringList found;
    for (qsizetype i = 0; i < a.texts.size(); ++i) {
        if (a.texts[i] != b.texts[i])
            found << QStringLiteral("%1: %2 -> %3").arg(Shown::textNames[i], a.texts[i], b.texts[i]);
    }
    if (a.map != b.map)
        found << QStringLiteral("map");
    if (a.mark != b.mark || a.startMark != b.startMark)
        found << QStringLiteral("marks");
    if (a.seed != b.seed)
        found << QStringLiteral("seed");
    if (!(a.deptNumber == b.deptNumber))
        found << QStringLiteral("deptNumber %1 -> %2").arg(a.deptNumber.toText(), b.deptNumber.toText());
    if (a.cherche != b.cherche)
        found << QStringLiteral("cherche %1 -> %2").arg(a.cherche.name(), b.cherche.name());
    if (a.swatch != b.swatch)
        found << QStringLiteral("Shape6");
    if (a.carte != b.carte)
        found << QStringLiteral("CmdCarte");
    if (a.position != b.position)
        found << QStringLiteral("rstInfo %1 -> %2").arg(a.position).arg(b.position);
    return found.join(QStringLiteral("; "));
}

// How QCOMPARE prints a Shown: every part, the map by a short digest.
inline char *toString(const Shown &s)
{
    QStringList parts;
    for (qsizetype i = 0; i < s.texts.size(); ++i)
        parts << Shown::textNames[i] + '=' + s.texts[i];
    const QByteArray pixels(reinterpret_cast<const char *>(s.map.constBits()), s.map.sizeInBytes());
    parts << QStringLiteral("map=%1").arg(
        QString::fromLatin1(QCryptographicHash::hash(pixels, QCryptographicHash::Sha1).toHex().left(8)))
          << QStringLiteral("mark=%1").arg(s.mark ? QStringLiteral("(%1,%2)").arg(s.mark->x()).arg(s.mark->y())
                                                  : "none")
          << QStringLiteral("seed=(%1,%2)").arg(s.seed.x()).arg(s.seed.y())
          << QStringLiteral("deptNumber=%1").arg(s.deptNumber.toText())
          << QStringLiteral("cherche=%1").arg(s.cherche.name()) << QStringLiteral("Shape6=%1").arg(s.swatch.name())
          << QStringLiteral("CmdCarte=%1").arg(s.carte ? "on" : "off") << QStringLiteral("rstInfo=%1").arg(s.position);
    return QTest::toString(parts.join(QStringLiteral("; ")));
}

} // namespace form1test
