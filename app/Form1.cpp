#include "app/Form1.h"

#include "app/Accessibility.h"
#include "app/Form1Layout.h"
#include "app/Form1View.h"
#include "app/HistoryList.h"
#include "app/MatchList.h"
#include "app/SuggestionList.h"
#include "departements/Departement.h"
#include "map/MapProjection.h"
#include "names/Suggestions.h"
#include "search/Query.h"
#include "store/DatabaseError.h"
#include "weblink/OnlineMapAddress.h"
#include "widgets/GraphicalButton.h"
#include "widgets/MapWidget.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

Form1::Form1(QWidget *parent) : Form1Frame(parent)
{
    buildForm1Controls(*this, *this);
    state.mapCaption = {QString::fromUtf8(form1Control("Label5").text),
                        QString::fromUtf8(form1Control("Label20").text)};
    wireHandlers();
    setAccessibleTexts(*this, Label13, Picture1, shown, state);
    // Ready to type: the first key replaces the prompt, which a search
    // would otherwise take for a commune's name.
    Text7->setFocus();
    Text7->selectAll();
}

void Form1::wireHandlers()
{
    const std::pair<QAbstractButton *, void (Form1::*)()> buttons[] = {
        {cherche, &Form1::cherche_Click},     {apres, &Form1::apres_Click},
        {avant, &Form1::avant_Click},         {Command1, &Form1::Command1_Click},
        {Command2, &Form1::Command2_Click},   {CmdCarte, &Form1::CmdCarte_Click},
        {CmdQuitte, &Form1::CmdQuitte_Click}, {CmdMinimise, &Form1::CmdMinimise_Click},
        {Apropos, &Form1::Apropos_Click}};
    for (const auto &[button, handler] : buttons)
        connect(button, &QAbstractButton::clicked, this, handler);
    connect(Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
    Text7->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Text7, &QLineEdit::customContextMenuRequested, this, &Form1::Text7_ShowMatches);
    // The locator reads as one control: its caption and its six letters.
    for (QLabel *part : {Label13, Label14, Label15, Label16, Label17, Label18, Label19}) {
        part->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(part, &QLabel::customContextMenuRequested, this,
                [this, part](QPoint position) { Label13_ContextMenu(part, position); });
    }
    for (QLabel *value : {Label1, Label8, Label10, postcodesMore, Label11, Label12, inseeCode, distanceLabel}) {
        value->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(value, &QLabel::customContextMenuRequested, this,
                [this, value](QPoint position) { Value_ContextMenu(value, position); });
    }
    connect(Text7, &QLineEdit::textEdited, this, &Form1::Text7_Change);
    connect(Picture1, &MapWidget::mouseDown, this, &Form1::Picture1_MouseDown);
    // The keyboard's way to the département browser.
    connect(Picture1, &MapWidget::previousRequested, this, &Form1::Command1_Click);
    connect(Picture1, &MapWidget::nextRequested, this, &Form1::Command2_Click);
    connect(&data, &OpenData::tableRead, this, &Form1::takeWholeTable);
    connect(&data, &OpenData::failed, this, [this](const QString &message) { platform.failLoading(this, message); });
    connect(&data, &OpenData::suggestionsBuilt, this, [this] {
        if (state.suggestAfterBuild)
            Text7_Change();
    });
}

void Form1::Form_Load(const QString &dataPath)
{
    state.suggestAfterBuild = false;
    // The window needs only the first record to show; the whole table is
    // read in the background and taken up as soon as it is there.
    rstInfo = data.open(dataPath);
    rstInfo.moveFirst();
    state.startingPoint = platform.loadStartingPoint();
    shown = present(rstInfo, nullptr, nullptr, state.startingPoint, shown);
    if (!shown.unreadableField.isEmpty())
        throw DatabaseError(shown.unreadableField);
    // The first two characters of the code as they are: 01 keeps its zero.
    state.deptText = Departement::postcodePrefix(rstInfo.fieldText(u"codepos"));
    state.deptNumber = DeptNumber(0);
    render();
}

// Puts rstInfo on the whole table, at the same record, once it is read.
void Form1::takeWholeTable()
{
    Recordset whole = data.wholeTable();
    whole.moveTo(rstInfo.position());
    rstInfo = whole;
    if (!rstInfo.hasCurrentRecord())
        return;
    shown.postcodes = postcodesOf(rstInfo, data.postcodes(), shown.postcode);
    render();
}

void Form1::Timer1_Timer()
{
    Label9->setVisible(true);
    Label9->setText(clockText(platform.now()));
}

bool Form1::Form_KeyPress(int keyAscii, QObject *target)
{
    if (keyAscii == 27) {
        data.close();
        platform.quit();
        return true;
    }
    if (keyAscii == 13) {
        // A focused button takes Enter for itself, as a default button
        // leaves it; everywhere else Enter runs the search.
        if (auto *button = qobject_cast<QAbstractButton *>(target)) {
            button->click();
            return true;
        }
        cherche_Click();
        return true;
    }
    return false;
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress && watched == Text7
        && static_cast<QMouseEvent *>(event)->button() != Qt::RightButton)
        Text7_Click(); // a right click opens the list of matches over the text as it is
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    if (watched == Text7 && suggestionList && suggestionList->takeKey(key->key()))
        return true;
    const int ascii = key->key() == Qt::Key_Escape                                  ? 27
                      : key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter ? 13
                                                                                    : 0;
    if (ascii && Form_KeyPress(ascii, watched))
        return true;
    // The box keeps Ctrl+C for a text the user selected in it; the prompt,
    // selected at start, is no text of the user's.
    const bool boxCopies =
        watched == Text7 && Text7->hasSelectedText() && Text7->text() != QString::fromUtf8(form1Control("Text7").text);
    const bool ctrl = key->modifiers() == Qt::ControlModifier;
    const std::pair<bool, void (Form1::*)()> keys[] = {
        {key->key() == Qt::Key_F3, &Form1::F3_Press},
        {key->key() == Qt::Key_D && ctrl, &Form1::CtrlD_Press},
        {key->key() == Qt::Key_H && ctrl, &Form1::CtrlH_Press},
        {key->matches(QKeySequence::Copy) && !boxCopies, &Form1::CtrlC_Press},
        {key->key() == Qt::Key_Down && watched == Text7 && matches.count() > 1, &Form1::Text7_ShowMatches}};
    for (const auto &[pressed, handler] : keys) {
        if (pressed) {
            (this->*handler)();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::closeEvent(QCloseEvent *event)
{
    // Closed by the desktop (task bar, window manager): as Esc does.
    data.close();
    event->accept();
    platform.quit();
}

void Form1::cherche_Click()
{
    if (!ensureWholeTable())
        return;
    if (suggestionList)
        suggestionList->hide();
    state.suggestAfterBuild = false;
    Text7->setText(Text7->text().toUpper());
    try {
        Recordset records;
        Lookup answer = data.search(Text7->text(), records);
        // A malformed pattern, coordinates off the globe: said under the box.
        if (answer.outcome == Outcome::Refused) {
            showSearchRefusal(hintLines(), answer.why);
            return;
        }
        rstInfo = records;
        matches = std::move(answer.matches);
        state.searched = Text7->text();
        const bool anyFound = matches.count() > 0;
        rstInfo.moveTo(anyFound ? matches.row() : rstInfo.recordCount());
        // The scan holds the event loop, so one change of colour shows the
        // same as one per skipped record.
        if (rstInfo.position() > 0)
            state.search = SearchStand::Skipped;
        showMatchCount(hintLines(), rstInfo, matches);
        if (anyFound)
            showCurrentRecord();
        else
            showNoMatch(std::move(answer.suggestions));
    } catch (const DatabaseError &error) {
        platform.showMessage(this, error.message());
    }
}

void Form1::showMatchRow(int row)
{
    rstInfo.moveTo(row);
    showMatchCount(hintLines(), rstInfo, matches);
    state.search = SearchStand::Skipped;
    try {
        showCurrentRecord();
    } catch (const DatabaseError &error) {
        platform.showMessage(this, error.message());
    }
}

void Form1::showCurrentRecord()
{
    const ShownCommune read = present(rstInfo, &matches, data.postcodes(), state.startingPoint, shown);
    // The display stops at a field it cannot read, and says so.
    if (read.fieldsRead < 5) {
        shown = firstFieldsOf(read, shown);
        render();
        throw DatabaseError(read.unreadableField);
    }
    shown = read;
    state.mapCaption.name = shown.departement;
    // A search that skipped records takes the found commune's département.
    if (state.search == SearchStand::Skipped) {
        state.search = SearchStand::AtRest;
        takeDepartement(state, shown.mapNumber);
        Picture1->Refresh();
    }
    fillAtSeed();
    state.swatch = QColor::fromRgb(Picture1->picture().fillColor());
    state.communeMark = CommuneMark{shown.mapNumber, shown.lonLat(), shown.name};
    render();
    if (!shown.unreadablePosition.isEmpty())
        throw DatabaseError(shown.unreadablePosition);
}

void Form1::stepRecord(bool forward)
{
    if (!ensureWholeTable())
        return;
    // A move that fails (past either end) is skipped: the step goes on, every
    // field keeping its value.
    try {
        forward ? rstInfo.moveNext() : rstInfo.movePrevious();
    } catch (const DatabaseError &) {
    }
    shown = present(rstInfo, nullptr, data.postcodes(), state.startingPoint, shown);
    if (rstInfo.hasCurrentRecord()) {
        state.mapCaption.name = shown.departement;
        state.deptText = shown.mapNumber;
        state.communeMark = CommuneMark{shown.mapNumber, shown.lonLat(), shown.name};
    }
    takeDepartement(state, state.deptText);
    Picture1->Refresh();
    fillAtSeed();
    render();
    showMatchCountAfterStep(hintLines(), rstInfo, matches);
}

void Form1::fillAtSeed()
{
    Picture1->picture().fillAtPoint(state.seed, fillColors);
    Picture1->showChanges();
}

// The next commune the last search found, shown as if the search had
// found it after skipping records: its département too.
void Form1::F3_Press()
{
    // After a search that found nothing, F3 takes the first suggestion.
    if (matches.count() == 0 && suggestionList && suggestionList->isVisible()
        && !suggestionList->suggestions().empty()) {
        takeSuggestion(suggestionList->suggestions().front());
        return;
    }
    if (matches.count() > 1)
        showMatchRow(matches.next());
}

void Form1::Text7_ShowMatches()
{
    if (matches.count() < 2)
        return;
    if (!matchList) {
        matchList = new MatchList(this);
        connect(matchList, &MatchList::chosen, this, [this](int index) { showMatchRow(matches.select(index)); });
    }
    matchList->open(rstInfo, matches, Text7);
}

void Form1::openSuggestions(std::vector<Suggestion> suggestions)
{
    if (!suggestionList) {
        suggestionList = new SuggestionList(this);
        connect(suggestionList, &SuggestionList::chosen, this, &Form1::takeSuggestion);
    }
    suggestionList->open(rstInfo, std::move(suggestions), Text7);
}

// Until the index is made, and while the table is still being read, typing
// goes on without suggestions.
void Form1::Text7_Change()
{
    SuggestionIndex *index = data.suggestionIndex();
    state.suggestAfterBuild = !index && data.isBuildingSuggestions();
    openSuggestions(index ? index->whileTyping(Text7->text()) : std::vector<Suggestion>{});
}

void Form1::takeSuggestion(const Suggestion &suggestion)
{
    Text7->setText(suggestion.name);
    cherche_Click();
    // Among homonyms, the one chosen.
    const std::vector<int> &rows = matches.rows();
    if (const auto at = std::find(rows.begin(), rows.end(), suggestion.row);
        at != rows.end() && int(at - rows.begin()) != matches.index())
        showMatchRow(matches.select(int(at - rows.begin())));
}

// Nothing matched: the hint says so, with the names within two edits.
void Form1::showNoMatch(std::vector<Suggestion> near)
{
    render();
    // The hint has room for the best name; the list under the box has them all.
    const QString message =
        noMatchMessage(Text7->text(), {near.begin(), near.begin() + std::min<qsizetype>(1, near.size())});
    showSearchRefusal(hintLines(), near.empty() ? message : message + QStringLiteral(" (F3)"));
    openSuggestions(std::move(near));
}

void Form1::CtrlD_Press()
{
    const std::optional<StartingPoint> here = startingPointOfShown();
    setStartingPoint(state.startingPoint && here && *state.startingPoint == *here ? std::nullopt : here);
}

// The place Ctrl+D takes: the square or the coordinates typed, while the
// commune shown is one they found, else the commune shown.
std::optional<StartingPoint> Form1::startingPointOfShown() const
{
    const bool foundByTyping = matches.row() >= 0 && matches.row() == rstInfo.position();
    return startingPointOf(shown, foundByTyping ? matches.place() : std::nullopt, state.searched);
}

void Form1::Label13_ContextMenu(QWidget *clicked, QPoint position)
{
    popupLocatorMenu(
        locatorMenu, this, [this] { takeStartingPoint(); }, [this] { clearStartingPoint(); },
        shown.position().has_value(), state.startingPoint.has_value(), clicked->mapToGlobal(position));
}

void Form1::takeStartingPoint()
{
    // A commune without a readable position has no distance to give.
    if (const std::optional<StartingPoint> here = startingPointOfShown())
        setStartingPoint(here);
}

// Keeps the starting point across runs, and tells the user when it cannot.
void Form1::setStartingPoint(std::optional<StartingPoint> point)
{
    state.startingPoint = std::move(point);
    if (const QString why = platform.saveStartingPoint(state.startingPoint); !why.isEmpty())
        platform.showMessage(this, why);
    shown.distanceLine = distanceLine(state.startingPoint, shown.position());
    render();
}

void Form1::CtrlH_Press()
{
    if (!data.isOpen() || !rstInfo.hasCurrentRecord())
        return;
    if (!historyList)
        historyList = new HistoryList(this);
    const qint64 rowid = rstInfo.rowidOf(rstInfo.position());
    historyList->open({rowid, shown.name, shown.insee.value_or(QString())}, communeEvents(*data.database(), rowid),
                      &data.states(), Label1);
}

void Form1::Value_ContextMenu(QLabel *clicked, QPoint position)
{
    const bool postcode = clicked == Label10 || clicked == postcodesMore;
    popupValueMenu(m_copyMenu, this, copiedValue(*this, clicked, shown), postcode ? shown.postcodes : QStringList(),
                   clicked == Label1 ? std::function<void()>([this] { CtrlH_Press(); }) : nullptr,
                   clicked->mapToGlobal(position));
}

void Form1::Picture1_MouseDown(Qt::MouseButton, Qt::KeyboardModifiers shift, QPointF position)
{
    if (shift.testFlag(Qt::ControlModifier)) {
        Picture1_CtrlClick(position);
        return;
    }
    // A click shows a département, no commune.
    clickDepartement(state, Picture1->picture(), fillColors, position);
    Picture1->showChanges();
    render();
}

// The point goes back to a position through the map of the inset it lies
// in; the communes around it are then shown as a search shows what it
// found, F3 stepping outwards.
void Form1::Picture1_CtrlClick(QPointF position)
{
    if (!ensureWholeTable())
        return;
    const QPointF lonLat = mapToPosition(insetAt(position), position);
    SearchMatches found = data.nearest({lonLat.y(), lonLat.x()}, NearestListed);
    if (found.count() == 0)
        return;
    matches = std::move(found);
    state.searched.clear();
    showMatchRow(matches.row());
}

void Form1::browseDepartement(BrowserDirection direction)
{
    // A département shows no commune.
    pressBrowser(state, direction, Picture1->picture(), fillColors);
    Picture1->showChanges();
    render();
}

void Form1::CmdCarte_Click()
{
    // The online map knows the communes by their stored names.
    state.onlineMap = onlineMapAddress(shown.storedName);
    render();
    platform.openUrl(onlineMapUrl(Text1->text(), shown.storedName));
}
