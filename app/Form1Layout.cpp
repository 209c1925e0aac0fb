#include "app/Form1Layout.h"

#include "widgets/FittingLabel.h"
#include "widgets/Fonts.h"
#include "widgets/GraphicalButton.h"
#include "widgets/HandPointer.h"
#include "widgets/MapWidget.h"
#include "widgets/ShapeWidget.h"

#include <QByteArray>
#include <QLineEdit>
#include <QTimer>
#include <cmath>

namespace {

QFont fontFor(FontStyle style)
{
    switch (style) {
    case FontStyle::Bold:
        return uiFont(true);
    case FontStyle::BoldUnderline:
        return uiFont(true, true);
    case FontStyle::Regular:
        break;
    }
    return uiFont();
}

void setTextColor(QWidget *widget, QPalette::ColorRole role, const QColor &color)
{
    if (!color.isValid())
        return;
    QPalette palette = widget->palette();
    palette.setColor(role, color);
    widget->setPalette(palette);
}

QWidget *makeControl(const ControlSpec &spec, QWidget *window)
{
    const QString text = QString::fromUtf8(spec.text);
    switch (spec.kind) {
    case ControlKind::Label: {
        auto *label = spec.wholeName ? new FittingLabel(text, window) : new QLabel(text, window);
        label->setAlignment(spec.alignment);
        setTextColor(label, QPalette::WindowText, spec.textColor.isValid() ? spec.textColor : QColor(Qt::black));
        return label;
    }
    case ControlKind::TextBox:
    case ControlKind::HiddenTextBox: {
        auto *box = new QLineEdit(text, window);
        box->setFrame(false);
        setTextColor(box, QPalette::Text, spec.textColor);
        setTextColor(box, QPalette::Base, spec.backColor);
        return box;
    }
    case ControlKind::SystemButton:
        return new QPushButton(text, window);
    case ControlKind::GraphicalButton: {
        auto *button = new GraphicalButton(window);
        button->setText(text);
        if (spec.backColor.isValid())
            button->setBackColor(spec.backColor);
        return button;
    }
    case ControlKind::Picture:
        return new MapWidget(window);
    case ControlKind::OvalShape:
    case ControlKind::RectangleShape: {
        auto *shape = new ShapeWidget(
            spec.kind == ControlKind::OvalShape ? ShapeWidget::Form::Oval : ShapeWidget::Form::Rectangle, window);
        if (spec.textColor.isValid())
            shape->setBorderColor(spec.textColor);
        shape->setBackColor(spec.backColor);
        return shape;
    }
    }
    Q_UNREACHABLE();
}

} // namespace

const std::vector<ControlSpec> &form1Controls()
{
    using K = ControlKind;
    using C = Form1Controls;
    using F = FontStyle;
    const QColor blue = form1::darkBlue;
    const QColor none;
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignTop;
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignTop;
    const Qt::Alignment centre = Qt::AlignHCenter | Qt::AlignTop;
    const QColor grey224{224, 224, 224};

    static const std::vector<ControlSpec> controls{
        {&C::Shape2,
         "Shape2",
         K::RectangleShape,
         "",
         {32, 264, 209, 97},
         F::Regular,
         QColor(0, 0, 128),
         none,
         left,
         -1},
        {&C::Shape6, "Shape6", K::OvalShape, "", {40, 272, 17, 17}, F::Regular, none, grey224, left, -1},
        {&C::Label3, "Label3", K::Label, "Latitude  :", {72, 152, 63, 18}, F::Bold, none, none, right, 0},
        {&C::Label4, "Label4", K::Label, "Longitude :", {56, 136, 79, 17}, F::Bold, none, none, right, 1},
        {&C::Label6, "Label6", K::Label, " Code postal :", {40, 120, 95, 16}, F::Bold, Qt::black, none, right, 2},
        {&C::cherche,
         "cherche",
         K::GraphicalButton,
         "Chercher",
         {96, 296, 81, 25},
         F::Regular,
         none,
         QColor(0, 255, 0),
         centre,
         3},
        {&C::Text7, "Text7", K::TextBox, "Votre choix ?", {64, 272, 153, 19}, F::Bold, grey224, blue, left, 4},
        {&C::avant, "avant", K::GraphicalButton, "<<", {88, 192, 49, 17}, F::Bold, none, none, centre, 5},
        {&C::apres, "apres", K::GraphicalButton, ">>", {144, 192, 41, 17}, F::Bold, none, none, centre, 6},
        {&C::Label7,
         "Label7",
         K::Label,
         "Nom, code postal, INSEE ou locator",
         {48, 328, 177, 17},
         F::Regular,
         none,
         none,
         centre,
         7},
        {&C::Picture1, "Picture1", K::Picture, "", {256, 64, 265, 297}, F::Regular, none, none, left, 8},
        {&C::Text6, "Text6", K::HiddenTextBox, "Text6", {88, 368, 73, 19}, F::Regular, none, none, left, 9, false},
        {&C::Text8, "Text8", K::HiddenTextBox, "Text8", {176, 368, 73, 19}, F::Regular, none, none, left, 10, false},
        {&C::Text9, "Text9", K::HiddenTextBox, "Text9", {16, 368, 65, 19}, F::Regular, none, none, left, 11, false},
        {&C::Apropos, "Apropos", K::SystemButton, "A propos", {32, 24, 57, 17}, F::Regular, none, none, centre, 12},
        {&C::Label9, "Label9", K::Label, "Label9", {296, 48, 185, 17}, F::Bold, none, none, centre, 13, false},
        {&C::Label1,
         "Label1",
         K::Label,
         "Label1",
         {24, 80, 225, 25},
         F::BoldUnderline,
         blue,
         none,
         centre,
         14,
         true,
         true},
        {&C::Label8, "Label8", K::Label, "Label8", {32, 96, 209, 17}, F::Regular, blue, none, centre, 15, true, true},
        {&C::Label10, "Label10", K::Label, "Label10", {144, 120, 49, 17}, F::Bold, blue, none, centre, 16},
        {&C::Label11, "Label11", K::Label, "Label11", {144, 136, 81, 17}, F::Bold, blue, none, left, 17},
        {&C::Label12, "Label12", K::Label, "Label12", {144, 152, 73, 17}, F::Bold, blue, none, left, 18},
        {&C::Label13, "Label13", K::Label, "Locator", {72, 168, 49, 17}, F::Bold, none, none, right, 19},
        {&C::Label14, "Label14", K::Label, "I", {133, 168, 13, 17}, F::Bold, blue, none, centre, 20},
        {&C::Label15, "Label15", K::Label, "N", {145, 168, 13, 17}, F::Bold, blue, none, centre, 21},
        {&C::Label16, "Label16", K::Label, "9", {157, 168, 13, 17}, F::Bold, blue, none, centre, 22},
        {&C::Label17, "Label17", K::Label, "3", {168, 168, 13, 17}, F::Bold, blue, none, centre, 23},
        {&C::Label18, "Label18", K::Label, "W", {180, 168, 13, 17}, F::Bold, blue, none, centre, 24},
        {&C::Label19, "Label19", K::Label, "G", {192, 168, 13, 17}, F::Bold, blue, none, centre, 25},
        {&C::Label2, "Label2", K::Label, "Jokers *?#", {112, 344, 57, 17}, F::Regular, none, none, left, 26},
        {&C::Command1, "Command1", K::GraphicalButton, "<<", {336, 384, 33, 13}, F::Bold, none, grey224, centre, 27},
        {&C::Command2, "Command2", K::GraphicalButton, ">>", {408, 384, 33, 13}, F::Bold, none, grey224, centre, 28},
        {&C::Label5, "Label5", K::Label, "", {376, 384, 25, 17}, F::Bold, blue, none, centre, 29},
        {&C::Label20,
         "Label20",
         K::Label,
         "Départements",
         {256, 367, 265, 17},
         F::Bold,
         blue,
         none,
         centre,
         30,
         true,
         true},
        {&C::CmdCarte,
         "CmdCarte",
         K::SystemButton,
         "Carte  Michelin ©",
         {88, 216, 97, 17},
         F::Regular,
         none,
         none,
         centre,
         31},
        {&C::Text1, "Text1", K::HiddenTextBox, "Text1", {264, 368, 33, 19}, F::Regular, none, none, left, 32, false},
        {&C::CmdQuitte, "CmdQuitte", K::GraphicalButton, "", {496, 24, 17, 17}, F::Regular, none, none, centre, 33},
        {&C::CmdMinimise, "CmdMinimise", K::GraphicalButton, "", {472, 24, 17, 17}, F::Regular, none, none, centre, 34},
        {&C::listeIP, "listeIP", K::HiddenTextBox, "Text2", {16, 384, 89, 19}, F::Regular, none, none, left, 35, false},
        // Between the online-map button and the search frame, where the
        // skin is bare: shown only once a starting point is taken.
        {&C::distanceLabel,
         "distanceLabel",
         K::Label,
         "",
         {24, 240, 225, 17},
         F::Bold,
         blue,
         none,
         centre,
         36,
         false,
         true},
        // Beside the postal code, on its line: « (+4) » when the commune has
        // more codes, listed in the code's tool tip.
        {&C::postcodesMore, "postcodesMore", K::Label, "", {195, 120, 46, 17}, F::Regular, blue, none, left, 37},
        // The INSEE code, which the search takes too, on a line of its own
        // above the name, where the skin is bare.
        {&C::inseeCaption,
         "inseeCaption",
         K::Label,
         "Code INSEE :",
         {40, 58, 95, 16},
         F::Bold,
         Qt::black,
         none,
         right,
         38},
        {&C::inseeCode, "inseeCode", K::Label, "", {144, 58, 49, 17}, F::Bold, blue, none, centre, 39},
    };
    return controls;
}

const ControlSpec &form1Control(const char *name)
{
    for (const ControlSpec &spec : form1Controls()) {
        if (qstrcmp(spec.name, name) == 0)
            return spec;
    }
    Q_UNREACHABLE();
}

void buildForm1Controls(QWidget &window, Form1Controls &controls)
{
    std::vector<QWidget *> tabOrder(form1Controls().size(), nullptr);
    for (const ControlSpec &spec : form1Controls()) {
        QWidget *control = makeControl(spec, &window);
        std::visit(
            [&](auto member) {
                using Kind = std::remove_pointer_t<std::remove_reference_t<decltype(controls.*member)>>;
                controls.*member = qobject_cast<Kind *>(control);
                Q_ASSERT(controls.*member); // the row's kind makes its member's type
            },
            spec.member);
        control->setObjectName(QLatin1String(spec.name));
        control->setGeometry(spec.geometry);
        control->setFont(fontFor(spec.font));
        if (qobject_cast<QAbstractButton *>(control) || spec.kind == ControlKind::TextBox)
            control->setCursor(handPointer());
        if (!spec.visibleAtStart)
            control->hide();
        control->installEventFilter(&window); // the window sees every key first
        if (spec.tabIndex >= 0)
            tabOrder[size_t(spec.tabIndex)] = control;
    }
    QWidget *previous = nullptr;
    for (QWidget *control : tabOrder) {
        if (!control || control->focusPolicy() == Qt::NoFocus)
            continue;
        if (previous)
            QWidget::setTabOrder(previous, control);
        previous = control;
    }
    controls.CmdQuitte->setPicture(QPixmap(QStringLiteral(":/quit.png")));
    controls.CmdMinimise->setPicture(QPixmap(QStringLiteral(":/minimise.png")));
    controls.Label1->setTextFormat(Qt::PlainText);
    controls.Label8->setTextFormat(Qt::PlainText);
    controls.postcodesMore->setTextFormat(Qt::PlainText);
    controls.Timer1 = new QTimer(&window);
    controls.Timer1->setObjectName(QStringLiteral("Timer1"));
    controls.Timer1->setInterval(1000);
    controls.Timer1->start();
}

QRegion roundedRectRegion(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight)
{
    const double rx = ellipseWidth / 2.0;
    const double ry = ellipseHeight / 2.0;
    QRegion region;
    for (int y = top; y < bottom; ++y) {
        // Distance of this row's centre into the corner band, from the
        // ellipse's centre line; rows outside the bands are full width.
        const double yc = y + 0.5;
        double dy = 0;
        if (yc < top + ry)
            dy = top + ry - yc;
        else if (yc > bottom - ry)
            dy = yc - (bottom - ry);
        int inset = 0;
        if (dy > 0) {
            const double t = std::min(1.0, dy / ry);
            inset = int(std::lround(rx - rx * std::sqrt(1.0 - t * t)));
        }
        if (left + inset < right - inset)
            region += QRect(left + inset, y, right - left - 2 * inset, 1);
    }
    return region;
}

QRegion form1Region()
{
    return roundedRectRegion(1, 1, 545, 420, 30, 30);
}
