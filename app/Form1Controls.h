#pragma once

class GraphicalButton;
class MapWidget;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class ShapeWidget;

// The controls of the main window, by the names the window has always used;
// made from the layout table (form1Controls), where each row names its member.
struct Form1Controls
{
    QLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label7, *Label8, *Label9;
    QLabel *Label10, *Label11, *Label12, *Label13, *Label14, *Label15, *Label16, *Label17;
    QLabel *Label18, *Label19, *Label20;
    QLabel *distanceLabel; // distance and bearing from the starting point
    QLabel *postcodesMore; // « (+4) » beside the postal code: the commune has more codes
    QLabel *inseeCaption, *inseeCode;
    QLineEdit *Text1, *Text6, *Text7, *Text8, *Text9, *listeIP;
    GraphicalButton *cherche, *avant, *apres, *Command1, *Command2, *CmdQuitte, *CmdMinimise;
    QPushButton *Apropos, *CmdCarte;
    MapWidget *Picture1;
    ShapeWidget *Shape2, *Shape6;
    QTimer *Timer1;
};
