#pragma once

#include "app/SearchRefusal.h"
#include "app/StartingPoint.h"
#include "history/CommuneStates.h"
#include "map/DepartementBrowser.h"
#include "map/FillColorGenerator.h"
#include "search/SearchMatches.h"
#include "store/Database.h"
#include "store/PostalCodes.h"
#include "store/Recordset.h"

#include <QDateTime>
#include <QPointer>
#include <QUrl>
#include <QVariant>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class GraphicalButton;
class HistoryList;
class MatchList;
class SuggestionIndex;
class SuggestionIndexBuild;
class SuggestionList;
struct Suggestion;
class MapWidget;
class ShapeWidget;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTimer;
class frmAbout;

// What the window asks of the desktop, replaceable so that tests can watch
// it without ending the test, moving a real window or waiting on the clock.
struct Form1Platform
{
    std::function<void()> quit;
    std::function<void(QWidget *)> makeTopmost;
    std::function<void(QWidget *)> startSystemMove;
    std::function<QDateTime()> now;
    std::function<void(QWidget *, const QString &)> showMessage;
    // The data file turned out unusable after the window was shown: the
    // message, then the program ends with status 1, as at start.
    std::function<void(QWidget *, const QString &)> failLoading;
    // Opens a web address in the user's browser; says whether it was taken.
    std::function<bool(const QUrl &)> openUrl;
    // The starting point kept across runs (the user's Qt settings).
    std::function<std::optional<StartingPoint>()> loadStartingPoint;
    std::function<QString(const std::optional<StartingPoint> &)> saveStartingPoint; // why it failed, or ""
};

// The main window. Its handlers are named after their control and event and
// read like the steps of the behaviour; the work is done by the core library.
// How many communes a Ctrl+click on the map finds around its point, for F3
// and the list of matches to step outwards through.
inline constexpr int NearestListed = 20;

class Form1 : public QWidget
{
    Q_OBJECT
public:
    explicit Form1(QWidget *parent = nullptr);
    ~Form1() override;

    // Opens the data file and shows its first record; throws DatabaseError.
    // The rest of the table is read in the background.
    void Form_Load(const QString &dataPath);

    Form1Platform platform;

    // The controls, by the names the window has always used.
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

    // State shared by the handlers.
    std::unique_ptr<Database> db;
    Recordset rstInfo;
    DeptNumber deptNumber{0}; // the integer 0 at start, then a number text or a number
    float seedX = 0;
    float seedY = 0;
    QString deptName;
    FillColorGenerator fillColors;
    QPointer<frmAbout> aboutWindow;
    // The communes the last search found; F3 and the list of matches step
    // through them.
    SearchMatches matches;
    MatchList *matchList = nullptr;     // made when first opened
    HistoryList *historyList = nullptr; // made when first opened
    // Where distances are told from; none until the user takes one.
    std::optional<StartingPoint> startingPoint;
    QMenu *locatorMenu = nullptr; // made when first opened
    // The names proposed while typing and after a search that found nothing.
    SuggestionList *suggestionList = nullptr; // made when first needed

    // Handlers.
    void cherche_Click();
    void apres_Click();
    void avant_Click();
    void Command1_Click();
    void Command2_Click();
    void CmdCarte_Click();
    void CmdQuitte_Click();
    void CmdMinimise_Click();
    void Apropos_Click();
    void Timer1_Timer();
    void Text7_Click();
    void F3_Press();
    // The list of matches, from the search box (Down arrow, right click).
    void Text7_ShowMatches();
    // Ctrl+D takes the shown commune as the starting point (the square or the
    // coordinates typed, when they found it), or clears the starting point
    // when it is that place.
    void CtrlD_Press();
    // Ctrl+H, or the menu of the name: the shown commune's history since 1943.
    void CtrlH_Press();
    // Ctrl+C copies the shown record as one line of text.
    void CtrlC_Press();
    // A right click on a value of the record: a menu that copies it.
    void Value_ContextMenu(QLabel *clicked, QPoint position);
    // Every postal code of the shown commune, the one shown first.
    QStringList shownPostcodes() const;
    // A right click on the locator: a menu to take or clear the starting point.
    void Label13_ContextMenu(QWidget *clicked, QPoint position);
    void takeStartingPoint();
    void clearStartingPoint();
    // The position the labels show, read back in the user's locale.
    std::optional<GeoPoint> shownPosition() const;
    // Suggestions while typing, and taking one.
    void Text7_Change();
    void takeSuggestion(const Suggestion &suggestion);
    void Picture1_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, QPointF position);
    // Ctrl and a click on the map: the communes nearest to the point.
    void Picture1_CtrlClick(QPointF position);
    // The starting point of distances, marked on the map too: its
    // département number and (longitude, latitude); nothing clears it.
    void markStartingPoint(QStringView deptNumberText, std::optional<QPointF> lonLat);
    void Form_MouseDown(Qt::MouseButton button);
    // Returns true when the key was handled here and must not reach the control.
    bool Form_KeyPress(int keyAscii, QObject *target);

    void showCurrentRecord();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void wireHandlers();
    void closeDatabase();
    bool ensureWholeTable();
    void loadingFailed(const QString &message);
    void showFieldsOfCurrentRecord();
    void showOfficialName();
    void showMatchRow(int row);
    void stepRecord(bool forward);
    void browseDepartement(BrowserDirection direction);
    void fillAtSeed();
    void showLocator();
    void showCommuneMark();
    void showDepartementOfText9();
    void updateOnlineMapButton();
    void newSuggestionIndex();
    SuggestionIndex *suggestionIndex();
    void openSuggestions(std::vector<Suggestion> suggestions);
    bool suggestionKey(int key);
    void showNoMatch();
    void showCodes();
    void keepStartingPoint();
    void showDistanceLine();
    void showStartMark();
    std::optional<StartingPoint> startingPointOfShown() const;
    HintLines hintLines() const { return {Label7, Label2, Text7}; }

    QPixmap m_skin;
    bool m_wholeTable = false; // rstInfo runs over the whole table, not the first record alone
    bool m_loadFailed = false;
    SuggestionIndexBuild *m_suggestionBuild = nullptr; // started on the first keystroke that needs it
    bool m_suggestAfterBuild = false;                  // typed while the index was being made
    std::optional<PostalCodes> m_postcodes;            // read with the whole table
    std::optional<CommuneStates> m_states;             // read when the history list first asks
    QString m_searched;                                // the text the shown matches were found by
    QMenu *m_copyMenu = nullptr;                       // made when first opened
    QString m_storedName; // the shown commune's name as the table stores it, which the online map knows
};
