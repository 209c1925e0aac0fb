#pragma once

#include "app/Form1Controls.h"
#include "app/Form1Frame.h"
#include "app/Form1View.h"
#include "app/HintLines.h"
#include "app/OpenData.h"
#include "app/ShownCommune.h"
#include "app/WindowState.h"
#include "map/DepartementBrowser.h"
#include "map/FillColorGenerator.h"
#include "search/SearchMatches.h"
#include "store/Recordset.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QWidget>
#include <optional>
#include <vector>

class HistoryList;
class MatchList;
class SuggestionList;
struct Suggestion;
class QMenu;

// How many communes a Ctrl+click on the map finds around its point, for F3
// and the list of matches to step outwards through.
inline constexpr int NearestListed = 20;

// The main window. Its handlers are named after their control and event:
// each reads the state, asks the core library, and has render() show the
// commune and the state in the controls, as a calculator's display pulls
// the engine's result. The controls are its Form1Controls, made from the
// layout table.
class Form1 : public Form1Frame, public Form1Controls
{
    Q_OBJECT
public:
    explicit Form1(QWidget *parent = nullptr);

    // Opens the data file and shows its first record; throws DatabaseError.
    // The rest of the table is read in the background.
    void Form_Load(const QString &dataPath);

    OpenData data;      // the data file and what is made of it; closed (its read stopped) with the window
    Recordset rstInfo;  // the current record is the commune shown
    ShownCommune shown; // what the window shows of it
    WindowState state;  // what lives between events
    const DeptNumber &deptNumber = state.deptNumber;
    FillColorGenerator fillColors;
    // The communes the last search found; F3 and the list of matches step
    // through them.
    SearchMatches matches;
    MatchList *matchList = nullptr;     // made when first opened
    HistoryList *historyList = nullptr; // made when first opened
    QMenu *locatorMenu = nullptr;       // made when first opened
    // The names proposed while typing and after a search that found nothing.
    SuggestionList *suggestionList = nullptr; // made when first needed

    // Handlers.
    void cherche_Click();
    void apres_Click() { stepRecord(true); }
    void avant_Click() { stepRecord(false); }
    void Command1_Click() { browseDepartement(BrowserDirection::Down); }
    void Command2_Click() { browseDepartement(BrowserDirection::Up); }
    void CmdCarte_Click();
    void Timer1_Timer();
    void Text7_Click() { Text7->clear(); }
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
    void CtrlC_Press() { copyText(recordLine(shown)); }
    // A right click on a value of the record: a menu that copies it.
    void Value_ContextMenu(QLabel *clicked, QPoint position);
    // Every postal code of the shown commune, the one shown first.
    QStringList shownPostcodes() const { return shown.postcodes; }
    // A right click on the locator: a menu to take or clear the starting point.
    void Label13_ContextMenu(QWidget *clicked, QPoint position);
    void takeStartingPoint();
    void clearStartingPoint() { setStartingPoint(std::nullopt); }
    // Suggestions while typing, and taking one.
    void Text7_Change();
    void takeSuggestion(const Suggestion &suggestion);
    void Picture1_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, QPointF position);
    // Ctrl and a click on the map: the communes nearest to the point.
    void Picture1_CtrlClick(QPointF position);
    // Returns true when the key was handled here and must not reach the control.
    bool Form_KeyPress(int keyAscii, QObject *target);

    // Shows the record rstInfo stands on, as the search found it; throws
    // DatabaseError, once shown, when a field could not be read.
    void showCurrentRecord();
    // Writes the shown commune and the state into the controls.
    void render()
    {
        ::render(*this, shown, state, m_renderedStand);
        m_renderedStand = state.search;
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override
    {
        if (!eventFilter(this, event))
            QWidget::keyPressEvent(event);
    }
    void closeEvent(QCloseEvent *event) override;

private:
    void wireHandlers();
    // Waits for the whole table if it is still being read; false when there
    // is none, or when the file turned out unusable, which ends the program.
    bool ensureWholeTable() { return data.loadWholeTable(); }
    void takeWholeTable();
    void showMatchRow(int row);
    void stepRecord(bool forward);
    void browseDepartement(BrowserDirection direction);
    void fillAtSeed();
    void openSuggestions(std::vector<Suggestion> suggestions);
    void showNoMatch(std::vector<Suggestion> near);
    void setStartingPoint(std::optional<StartingPoint> point);
    std::optional<StartingPoint> startingPointOfShown() const;
    HintLines hintLines() const { return {Label7, Label2, Text7}; }

    QMenu *m_copyMenu = nullptr;                       // made when first opened
    SearchStand m_renderedStand = SearchStand::AtRest; // the layout's green
};
