#include "app/Form1Layout.h"

#include <QByteArray>

const std::vector<ControlSpec> &form1Controls()
{
    using K = ControlKind;
    using F = FontStyle;
    const QColor blue = form1::darkBlue;
    const QColor none;
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignTop;
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignTop;
    const Qt::Alignment centre = Qt::AlignHCenter | Qt::AlignTop;
    const QColor grey224{224, 224, 224};

    static const std::vector<ControlSpec> controls{
        {"Shape2", K::RectangleShape, "", {32, 264, 209, 97}, F::Regular, QColor(0, 0, 128), none, left, -1},
        {"Shape6", K::OvalShape, "", {40, 272, 17, 17}, F::Regular, none, grey224, left, -1},
        {"Label3", K::Label, "Latitude  :", {72, 152, 63, 18}, F::Bold, none, none, right, 0},
        {"Label4", K::Label, "Longitude :", {56, 136, 79, 17}, F::Bold, none, none, right, 1},
        {"Label6", K::Label, " Code postal :", {40, 120, 95, 16}, F::Bold, Qt::black, none, right, 2},
        {"cherche", K::GraphicalButton, "Chercher", {96, 296, 81, 25}, F::Regular, none, QColor(0, 255, 0), centre, 3},
        {"Text7", K::TextBox, "Votre choix ?", {64, 272, 153, 19}, F::Bold, grey224, blue, left, 4},
        {"avant", K::GraphicalButton, "<<", {88, 192, 49, 17}, F::Bold, none, none, centre, 5},
        {"apres", K::GraphicalButton, ">>", {144, 192, 41, 17}, F::Bold, none, none, centre, 6},
        {"Label7",
         K::Label,
         "Nom, code postal, INSEE ou locator",
         {48, 328, 177, 17},
         F::Regular,
         none,
         none,
         centre,
         7},
        {"Picture1", K::Picture, "", {256, 64, 265, 297}, F::Regular, none, none, left, 8},
        {"Text6", K::HiddenTextBox, "Text6", {88, 368, 73, 19}, F::Regular, none, none, left, 9, false},
        {"Text8", K::HiddenTextBox, "Text8", {176, 368, 73, 19}, F::Regular, none, none, left, 10, false},
        {"Text9", K::HiddenTextBox, "Text9", {16, 368, 65, 19}, F::Regular, none, none, left, 11, false},
        {"Apropos", K::SystemButton, "A propos", {32, 24, 57, 17}, F::Regular, none, none, centre, 12},
        {"Label9", K::Label, "Label9", {296, 48, 185, 17}, F::Bold, none, none, centre, 13, false},
        {"Label1", K::Label, "Label1", {24, 80, 225, 25}, F::BoldUnderline, blue, none, centre, 14, true, true},
        {"Label8", K::Label, "Label8", {32, 96, 209, 17}, F::Regular, blue, none, centre, 15, true, true},
        {"Label10", K::Label, "Label10", {144, 120, 49, 17}, F::Bold, blue, none, centre, 16},
        {"Label11", K::Label, "Label11", {144, 136, 81, 17}, F::Bold, blue, none, left, 17},
        {"Label12", K::Label, "Label12", {144, 152, 73, 17}, F::Bold, blue, none, left, 18},
        {"Label13", K::Label, "Locator", {72, 168, 49, 17}, F::Bold, none, none, right, 19},
        {"Label14", K::Label, "I", {133, 168, 13, 17}, F::Bold, blue, none, centre, 20},
        {"Label15", K::Label, "N", {145, 168, 13, 17}, F::Bold, blue, none, centre, 21},
        {"Label16", K::Label, "9", {157, 168, 13, 17}, F::Bold, blue, none, centre, 22},
        {"Label17", K::Label, "3", {168, 168, 13, 17}, F::Bold, blue, none, centre, 23},
        {"Label18", K::Label, "W", {180, 168, 13, 17}, F::Bold, blue, none, centre, 24},
        {"Label19", K::Label, "G", {192, 168, 13, 17}, F::Bold, blue, none, centre, 25},
        {"Label2", K::Label, "Jokers *?#", {112, 344, 57, 17}, F::Regular, none, none, left, 26},
        {"Command1", K::GraphicalButton, "<<", {336, 384, 33, 13}, F::Bold, none, grey224, centre, 27},
        {"Command2", K::GraphicalButton, ">>", {408, 384, 33, 13}, F::Bold, none, grey224, centre, 28},
        {"Label5", K::Label, "", {376, 384, 25, 17}, F::Bold, blue, none, centre, 29},
        {"Label20", K::Label, "Départements", {256, 367, 265, 17}, F::Bold, blue, none, centre, 30, true, true},
        {"CmdCarte", K::SystemButton, "Carte  Michelin ©", {88, 216, 97, 17}, F::Regular, none, none, centre, 31},
        {"Text1", K::HiddenTextBox, "Text1", {264, 368, 33, 19}, F::Regular, none, none, left, 32, false},
        {"CmdQuitte", K::GraphicalButton, "", {496, 24, 17, 17}, F::Regular, none, none, centre, 33},
        {"CmdMinimise", K::GraphicalButton, "", {472, 24, 17, 17}, F::Regular, none, none, centre, 34},
        {"listeIP", K::HiddenTextBox, "Text2", {16, 384, 89, 19}, F::Regular, none, none, left, 35, false},
        // Between the online-map button and the search frame, where the
        // skin is bare: shown only once a starting point is taken.
        {"distanceLabel", K::Label, "", {24, 240, 225, 17}, F::Bold, blue, none, centre, 36, false, true},
        // Beside the postal code, on its line: « (+4) » when the commune has
        // more codes, listed in the code's tool tip.
        {"postcodesMore", K::Label, "", {195, 120, 46, 17}, F::Regular, blue, none, left, 37},
        // The INSEE code, which the search takes too, on a line of its own
        // above the name, where the skin is bare.
        {"inseeCaption", K::Label, "Code INSEE :", {40, 58, 95, 16}, F::Bold, Qt::black, none, right, 38},
        {"inseeCode", K::Label, "", {144, 58, 49, 17}, F::Bold, blue, none, centre, 39},
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
