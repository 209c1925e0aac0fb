#include "app/Form1.h"

#include "about/frmAbout.h"
#include "app/Accessibility.h"
#include "app/Chrome.h"
#include "app/FittingLabel.h"
#include "app/Form1Layout.h"
#include "app/HistoryList.h"
#include "app/MatchCount.h"
#include "app/MatchList.h"
#include "app/RecordCopy.h"
#include "app/SearchRefusal.h"
#include "app/StartupFailure.h"
#include "app/SuggestionIndexBuild.h"
#include "app/SuggestionList.h"
#include "departements/Departement.h"
#include "departements/DepartementTable.h"
#include "geo/MaidenheadLocator.h"
#include "geometry/NearestCommunes.h"
#include "map/MapClick.h"
#include "map/MapProjection.h"
#include "names/CommuneSearch.h"
#include "names/Suggestions.h"
#include "search/FindCommunes.h"
#include "store/CommuneDatabase.h"
#include "store/DatabaseError.h"
#include "store/NumberText.h"
#include "weblink/OnlineMapAddress.h"
#include "widgets/Fonts.h"
#include "widgets/GraphicalButton.h"
#include "widgets/HandPointer.h"
#include "widgets/MapWidget.h"
#include "widgets/ScreenCentre.h"
#include "widgets/ShapeWidget.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QScopeGuard>
#include <QTimer>
#include <QWindow>

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

Form1Platform desktopPlatform()
{
    return {
        [] { QCoreApplication::exit(0); },
        [](QWidget *window) {
            if (QWindow *handle = window->windowHandle())
                handle->setFlag(Qt::WindowStaysOnTopHint, true);
        },
        [](QWidget *window) {
            if (QWindow *handle = window->windowHandle())
                handle->startSystemMove();
        },
        [] { return QDateTime::currentDateTime(); },
        [](QWidget *window, const QString &message) {
            // Not modal: the window stays usable while the message shows.
            auto *box = new QMessageBox(QMessageBox::Warning, QString::fromLatin1(form1::caption), message,
                                        QMessageBox::Ok, window);
            box->setAttribute(Qt::WA_DeleteOnClose);
            box->setWindowModality(Qt::NonModal);
            box->show();
        },
        [](QWidget *window, const QString &message) {
            window->hide();
            reportStartupFailure(message);
            QCoreApplication::exit(1);
        },
        &QDesktopServices::openUrl,
        &loadStartingPoint,
        &saveStartingPoint,
    };
}

const QColor searchRed(255, 0, 0);
const QColor searchGreen(0, 255, 0);

// Runs one statement of a record step; a statement that fails is skipped and
// its target keeps its value, so that the step goes on with the next one.
template <typename Statement>
void resumeNext(Statement &&statement)
{
    try {
        statement();
    } catch (const DatabaseError &) {
    }
}

// The label that shows each of the commune fields, in their order.
QLabel *Form1::*const fieldLabels[] = {&Form1::Label1, &Form1::Label11, &Form1::Label12, &Form1::Label10,
                                       &Form1::Label8};
static_assert(std::size(fieldLabels) == std::size(communeFields));

QString fieldName(size_t i)
{
    return QString::fromLatin1(communeFields[i]);
}

} // namespace

Form1::Form1(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), platform(desktopPlatform()),
      m_skin(QStringLiteral(":/skin.png"))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromLatin1(form1::caption));
    setWindowIcon(QIcon(QStringLiteral(":/icon.png")));
    setFixedSize(form1::width, form1::height);
    centreOnScreen(this);
    setFont(uiFont());
    buildControls();
    wireHandlers();
    setAccessibleTexts(*this, Label13, Picture1);
    // The rounded outline comes first, before the data is opened.
    setMask(form1Region());
    // Ready to type: the first key replaces the prompt, which a search
    // would otherwise take for a commune's name.
    Text7->setFocus();
    Text7->selectAll();
}

Form1::~Form1()
{
    closeDatabase(); // stops a background read first
    delete aboutWindow.data();
}

void Form1::buildControls()
{
    std::vector<QWidget *> tabOrder(form1Controls().size(), nullptr);
    for (const ControlSpec &spec : form1Controls()) {
        QWidget *control = nullptr;
        const QString text = QString::fromUtf8(spec.text);
        switch (spec.kind) {
        case ControlKind::Label: {
            auto *label = spec.wholeName ? new FittingLabel(text, this) : new QLabel(text, this);
            label->setAlignment(spec.alignment);
            setTextColor(label, QPalette::WindowText, spec.textColor.isValid() ? spec.textColor : QColor(Qt::black));
            control = label;
            break;
        }
        case ControlKind::TextBox:
        case ControlKind::HiddenTextBox: {
            auto *box = new QLineEdit(text, this);
            box->setFrame(false);
            setTextColor(box, QPalette::Text, spec.textColor);
            setTextColor(box, QPalette::Base, spec.backColor);
            control = box;
            break;
        }
        case ControlKind::SystemButton:
            control = new QPushButton(text, this);
            break;
        case ControlKind::GraphicalButton: {
            auto *button = new GraphicalButton(this);
            button->setText(text);
            if (spec.backColor.isValid())
                button->setBackColor(spec.backColor);
            control = button;
            break;
        }
        case ControlKind::Picture:
            control = new MapWidget(this);
            break;
        case ControlKind::OvalShape:
        case ControlKind::RectangleShape: {
            auto *shape = new ShapeWidget(
                spec.kind == ControlKind::OvalShape ? ShapeWidget::Form::Oval : ShapeWidget::Form::Rectangle, this);
            if (spec.textColor.isValid())
                shape->setBorderColor(spec.textColor);
            shape->setBackColor(spec.backColor);
            control = shape;
            break;
        }
        }
        control->setObjectName(QLatin1String(spec.name));
        control->setGeometry(spec.geometry);
        control->setFont(fontFor(spec.font));
        if (qobject_cast<QAbstractButton *>(control) || spec.kind == ControlKind::TextBox)
            control->setCursor(handPointer());
        if (!spec.visibleAtStart)
            control->hide();
        control->installEventFilter(this); // the window sees every key first
        if (spec.tabIndex >= 0)
            tabOrder[size_t(spec.tabIndex)] = control;
    }
    QWidget *previous = nullptr;
    for (QWidget *control : tabOrder) {
        if (!control || control->focusPolicy() == Qt::NoFocus)
            continue;
        if (previous)
            setTabOrder(previous, control);
        previous = control;
    }

    auto find = [this](auto *&member, const char *name) {
        member =
            findChild<std::remove_reference_t<decltype(*member)> *>(QLatin1String(name), Qt::FindDirectChildrenOnly);
        Q_ASSERT(member);
    };
    find(Label1, "Label1");
    find(Label2, "Label2");
    find(Label3, "Label3");
    find(Label4, "Label4");
    find(Label5, "Label5");
    find(Label6, "Label6");
    find(Label7, "Label7");
    find(Label8, "Label8");
    find(Label9, "Label9");
    find(Label10, "Label10");
    find(Label11, "Label11");
    find(Label12, "Label12");
    find(Label13, "Label13");
    find(Label14, "Label14");
    find(Label15, "Label15");
    find(Label16, "Label16");
    find(Label17, "Label17");
    find(Label18, "Label18");
    find(Label19, "Label19");
    find(Label20, "Label20");
    find(distanceLabel, "distanceLabel");
    find(postcodesMore, "postcodesMore");
    find(inseeCaption, "inseeCaption");
    find(inseeCode, "inseeCode");
    find(Text1, "Text1");
    find(Text6, "Text6");
    find(Text7, "Text7");
    find(Text8, "Text8");
    find(Text9, "Text9");
    find(listeIP, "listeIP");
    find(cherche, "cherche");
    find(avant, "avant");
    find(apres, "apres");
    find(Command1, "Command1");
    find(Command2, "Command2");
    find(CmdQuitte, "CmdQuitte");
    find(CmdMinimise, "CmdMinimise");
    find(Apropos, "Apropos");
    find(CmdCarte, "CmdCarte");
    find(Picture1, "Picture1");
    find(Shape2, "Shape2");
    find(Shape6, "Shape6");

    CmdQuitte->setPicture(QPixmap(QStringLiteral(":/quit.png")));
    CmdMinimise->setPicture(QPixmap(QStringLiteral(":/minimise.png")));
    Label1->setTextFormat(Qt::PlainText);
    Label8->setTextFormat(Qt::PlainText);
    postcodesMore->setTextFormat(Qt::PlainText);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    Timer1->start();
}

void Form1::wireHandlers()
{
    connect(cherche, &QPushButton::clicked, this, &Form1::cherche_Click);
    connect(apres, &QPushButton::clicked, this, &Form1::apres_Click);
    connect(avant, &QPushButton::clicked, this, &Form1::avant_Click);
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(CmdCarte, &QPushButton::clicked, this, &Form1::CmdCarte_Click);
    connect(CmdQuitte, &QPushButton::clicked, this, &Form1::CmdQuitte_Click);
    connect(CmdMinimise, &QPushButton::clicked, this, &Form1::CmdMinimise_Click);
    connect(Apropos, &QPushButton::clicked, this, &Form1::Apropos_Click);
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
    newSuggestionIndex();
    connect(Text7, &QLineEdit::textEdited, this, &Form1::Text7_Change);
    connect(Picture1, &MapWidget::mouseDown, this, &Form1::Picture1_MouseDown);
    // The keyboard's way to the département browser.
    connect(Picture1, &MapWidget::previousRequested, this, &Form1::Command1_Click);
    connect(Picture1, &MapWidget::nextRequested, this, &Form1::Command2_Click);
}

void Form1::Form_Load(const QString &dataPath)
{
    newSuggestionIndex();
    m_states.reset(); // read from the file it was made of
    db = openCommuneDatabase(dataPath);
    // The window needs only the first record to show; the whole table is
    // read in the background and taken up as soon as it is there.
    rstInfo = db->openFirstRecord(QStringLiteral("insee1"));
    m_wholeTable = false;
    rstInfo.moveFirst();
    showFieldsOfCurrentRecord();
    m_postcodes.reset();
    showCodes();
    Text9->setText(Departement::postcodePrefix(rstInfo.fieldText(u"codepos")));
    deptNumber = DeptNumber(0);
    startingPoint = platform.loadStartingPoint();
    showDistanceLine();
    showStartMark();
    // The locator beside the first commune is its own, not a caption that
    // would read as a wrong one; a position off the grid keeps the caption.
    try {
        showLocator();
    } catch (const DatabaseError &) {
    }
    // Started from the event loop, once the window is on its way: the read
    // then does not compete with the window's own first steps.
    QTimer::singleShot(0, this, [this] {
        if (m_wholeTable || !db || !db->isOpen())
            return;
        // The system may refuse the thread or the memory: that ends the
        // program as an unusable file does.
        try {
            db->startLoading(QStringLiteral("insee1"), [this] {
                QMetaObject::invokeMethod(
                    this, [this] { ensureWholeTable(); }, Qt::QueuedConnection);
            });
        } catch (const DatabaseError &error) {
            loadingFailed(error.message());
        } catch (const std::bad_alloc &) {
            loadingFailed(QStringLiteral("Mémoire insuffisante pour lire « %1 ».").arg(db->path()));
        }
    });
}

void Form1::loadingFailed(const QString &message)
{
    m_loadFailed = true;
    platform.failLoading(this, message);
}

// Puts rstInfo on the whole table, at the same record, waiting for the
// background read if it has not ended (with a busy pointer). A file found
// unusable then ends the program as at start; false when there is no table.
bool Form1::ensureWholeTable()
{
    if (m_wholeTable)
        return true;
    if (!db || !db->isOpen() || m_loadFailed)
        return false;
    const bool busy = db->isLoading();
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restoreCursor = qScopeGuard([busy] {
        if (busy)
            QApplication::restoreOverrideCursor();
    });
    try {
        Recordset whole = db->openRecordset(QStringLiteral("insee1"));
        whole.moveTo(rstInfo.position());
        rstInfo = whole;
        m_wholeTable = true;
        // Every postal code of every commune, now that all of them are there.
        m_postcodes.emplace(*db, rstInfo);
        if (rstInfo.hasCurrentRecord())
            showCodes();
        return true;
    } catch (const DatabaseError &error) {
        loadingFailed(error.message());
    } catch (const std::bad_alloc &) {
        loadingFailed(QStringLiteral("Mémoire insuffisante pour lire « %1 ».").arg(db->path()));
    }
    return false;
}

void Form1::showFieldsOfCurrentRecord()
{
    for (size_t i = 0; i < std::size(communeFields); ++i)
        (this->*fieldLabels[i])->setText(rstInfo.fieldText(fieldName(i)));
    showOfficialName();
}

// The name as INSEE writes it (« L'Haÿ-les-Roses »), where the table has
// one (the shipped store); a user's own file shows its stored names.
void Form1::showOfficialName()
{
    m_storedName = rstInfo.fieldText(u"commune"); // none past the ends: both stay as they are
    if (const QString official = officialName(rstInfo); !official.isEmpty())
        Label1->setText(official);
}

void Form1::closeDatabase()
{
    if (db)
        db->close();
}

// ---- chrome -------------------------------------------------------------

void Form1::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), form1::backColor);
    painter.drawPixmap(0, 0, m_skin);
}

void Form1::mousePressEvent(QMouseEvent *event)
{
    // Only the background reaches here: controls take their own presses,
    // and shapes let them through.
    if (childAt(event->position().toPoint()) == nullptr)
        Form_MouseDown(event->button());
}

void Form1::Form_MouseDown(Qt::MouseButton button)
{
    if (button != Qt::LeftButton)
        return;
    platform.makeTopmost(this);
    platform.startSystemMove(this);
}

void Form1::CmdQuitte_Click()
{
    platform.quit();
}

void Form1::CmdMinimise_Click()
{
    setWindowState(windowState() | Qt::WindowMinimized);
    if (aboutWindow && aboutWindow->isVisible())
        aboutWindow->hide();
}

void Form1::Apropos_Click()
{
    if (!aboutWindow) {
        aboutWindow = new frmAbout(this);
        // The link of the About window opens through this window's desktop.
        aboutWindow->platform.openUrl = platform.openUrl;
    }
    aboutWindow->show();
    aboutWindow->raise();
    aboutWindow->activateWindow();
}

void Form1::Timer1_Timer()
{
    const QDateTime now = platform.now();
    // French in every locale, as every other text of the window.
    const QLocale locale(QLocale::French, QLocale::France);
    Label9->setVisible(true);
    Label9->setText(locale.toString(now.date(), QStringLiteral("dd MMMM yyyy")) + QStringLiteral("  ")
                    + locale.toString(now.time(), QStringLiteral("HH:mm:ss")));
}

bool Form1::Form_KeyPress(int keyAscii, QObject *target)
{
    if (keyAscii == 27) {
        closeDatabase();
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
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (watched == Text7 && suggestionKey(key->key()))
            return true;
        int ascii = 0;
        if (key->key() == Qt::Key_Escape)
            ascii = 27;
        else if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            ascii = 13;
        if (ascii && Form_KeyPress(ascii, watched))
            return true;
        if (key->key() == Qt::Key_F3) {
            F3_Press();
            return true;
        }
        if (key->key() == Qt::Key_D && key->modifiers() == Qt::ControlModifier) {
            CtrlD_Press();
            return true;
        }
        if (key->key() == Qt::Key_H && key->modifiers() == Qt::ControlModifier) {
            CtrlH_Press();
            return true;
        }
        // The box keeps Ctrl+C for a text the user selected in it.
        if (key->matches(QKeySequence::Copy)
            && !(watched == Text7 && Text7->hasSelectedText()
                 && Text7->text() != QString::fromUtf8(form1Control("Text7").text))) {
            CtrlC_Press();
            return true;
        }
        if (key->key() == Qt::Key_Down && watched == Text7 && matches.count() > 1) {
            Text7_ShowMatches();
            return true;
        }
    } else if (event->type() == QEvent::MouseButtonPress && watched == Text7
               && static_cast<QMouseEvent *>(event)->button() != Qt::RightButton) {
        // A right click opens the list of matches over the text as it is.
        Text7_Click();
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::keyPressEvent(QKeyEvent *event)
{
    if (eventFilter(this, event))
        return;
    QWidget::keyPressEvent(event);
}

void Form1::closeEvent(QCloseEvent *event)
{
    // Closed by the desktop (task bar, window manager): as Esc does.
    closeDatabase();
    event->accept();
    platform.quit();
}

void Form1::Text7_Click()
{
    Text7->clear();
}

// ---- search, display and record steps ------------------------------------

void Form1::cherche_Click()
{
    if (!ensureWholeTable())
        return;
    if (suggestionList)
        suggestionList->hide();
    m_suggestAfterBuild = false;
    Text7->setText(Text7->text().toUpper());
    QString why;
    const std::optional<Query> query = Query::make(Text7->text(), {}, &why);
    if (!query) {
        showSearchRefusal(hintLines(), why);
        return;
    }
    try {
        Recordset records = db->openQuery(QStringLiteral("SELECT * FROM INSEE1"));
        records.moveFirst();
        SearchTables tables(*db, records);
        SearchMatches found = findCommunes(tables, *query);
        // Coordinates off the globe are refused as a malformed pattern is.
        if (!found.refusal().isEmpty()) {
            showSearchRefusal(hintLines(), found.refusal());
            return;
        }
        rstInfo = records;
        matches = std::move(found);
        m_searched = Text7->text();
        const bool anyFound = matches.count() > 0;
        rstInfo.moveTo(anyFound ? matches.row() : rstInfo.recordCount());
        // The scan holds the event loop, so one change of colour shows the
        // same as one per skipped record.
        if (rstInfo.position() > 0)
            cherche->setBackColor(searchRed);
        showMatchCount(hintLines(), rstInfo, matches);
        if (anyFound)
            showCurrentRecord();
        else
            showNoMatch();
    } catch (const DatabaseError &error) {
        platform.showMessage(this, error.message());
    }
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

// ---- suggestions ------------------------------------------------------------

// A new file, a new index: none is made until typing needs it.
void Form1::newSuggestionIndex()
{
    delete m_suggestionBuild;
    m_suggestionBuild = new SuggestionIndexBuild(this);
    m_suggestAfterBuild = false;
    connect(m_suggestionBuild, &SuggestionIndexBuild::built, this, [this] {
        if (m_suggestAfterBuild)
            Text7_Change();
    });
}

// Started on the first keystroke that needs it, from the whole table, and
// made on another thread; until it is there, and while the table is still
// being read, typing goes on without suggestions.
SuggestionIndex *Form1::suggestionIndex()
{
    if (!m_suggestionBuild->index() && !m_suggestionBuild->isBuilding()) {
        if (!db || !db->isOpen() || (!m_wholeTable && db->isLoading()) || !ensureWholeTable())
            return nullptr;
        m_suggestionBuild->start(rstInfo, SuggestionIndex::otherNamesIn(db.get()));
    }
    return m_suggestionBuild->index();
}

void Form1::openSuggestions(std::vector<Suggestion> suggestions)
{
    if (!suggestionList) {
        suggestionList = new SuggestionList(this);
        connect(suggestionList, &SuggestionList::chosen, this, &Form1::takeSuggestion);
    }
    suggestionList->open(rstInfo, std::move(suggestions), Text7);
}

void Form1::Text7_Change()
{
    SuggestionIndex *index = suggestionIndex();
    m_suggestAfterBuild = !index && m_suggestionBuild->isBuilding();
    openSuggestions(index ? index->whileTyping(Text7->text()) : std::vector<Suggestion>{});
}

// Keys of the search box that go to an open list of suggestions.
bool Form1::suggestionKey(int key)
{
    if (!suggestionList || !suggestionList->isVisible())
        return false;
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
        suggestionList->moveHighlight(key == Qt::Key_Down ? 1 : -1);
        return true;
    case Qt::Key_Escape:
        suggestionList->hide(); // and the window stays
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (suggestionList->chooseHighlighted())
            return true;
        suggestionList->hide(); // nothing highlighted: the search as typed
        return false;
    default:
        return false;
    }
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
void Form1::showNoMatch()
{
    // Asked for by Enter: worth waiting for an index being made.
    suggestionIndex();
    const bool busy = m_suggestionBuild->isBuilding();
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    SuggestionIndex *index = m_suggestionBuild->wait();
    if (busy)
        QApplication::restoreOverrideCursor();
    std::vector<Suggestion> near = index ? index->afterTypo(Text7->text()) : std::vector<Suggestion>{};
    // The hint has room for the best name; the list under the box has them all.
    QString message = noMatchMessage(Text7->text(), {near.begin(), near.begin() + std::min<qsizetype>(1, near.size())});
    if (!near.empty())
        message += QStringLiteral(" (F3)");
    showSearchRefusal(hintLines(), message);
    openSuggestions(std::move(near));
}

void Form1::showMatchRow(int row)
{
    rstInfo.moveTo(row);
    showMatchCount(hintLines(), rstInfo, matches);
    cherche->setBackColor(searchRed);
    try {
        showCurrentRecord();
    } catch (const DatabaseError &error) {
        platform.showMessage(this, error.message());
    }
}

void Form1::showCurrentRecord()
{
    showFieldsOfCurrentRecord();
    // A commune found by postal code shows the code that matched.
    if (const QString code = matches.postcode(matches.index()); !code.isEmpty() && matches.row() == rstInfo.position())
        Label10->setText(code);
    showCodes();
    Label20->setText(rstInfo.fieldText(u"Departement"));
    if (cherche->backColor() == searchRed) {
        cherche->setBackColor(searchGreen);
        Text9->setText(Departement::ofPostcode(Label10->text(), Label8->text()).mapNumber());
        showDepartementOfText9();
    }
    fillAtSeed();
    Shape6->setBackColor(QColor::fromRgb(Picture1->picture().fillColor()));
    showLocator();
    showCommuneMark();
    showDistanceLine();
}

void Form1::apres_Click()
{
    stepRecord(true);
}

void Form1::avant_Click()
{
    stepRecord(false);
}

void Form1::stepRecord(bool forward)
{
    if (!ensureWholeTable())
        return;
    resumeNext([&] { forward ? rstInfo.moveNext() : rstInfo.movePrevious(); });
    for (size_t i = 0; i < std::size(communeFields); ++i)
        resumeNext([&] { (this->*fieldLabels[i])->setText(rstInfo.fieldText(fieldName(i))); });
    resumeNext([&] { showOfficialName(); });
    resumeNext([&] { showCodes(); });
    resumeNext([&] { Label20->setText(rstInfo.fieldText(u"Departement")); });
    resumeNext([&] {
        // A NULL département leaves the number to the postal code alone.
        Text9->setText(Departement::ofPostcode(rstInfo.fieldText(u"codepos"), rstInfo.field(u"departement").toString())
                           .mapNumber());
    });
    showDepartementOfText9();
    fillAtSeed();
    resumeNext([&] { showLocator(); });
    resumeNext([&] { showCommuneMark(); });
    showDistanceLine();
    showMatchCountAfterStep(hintLines(), rstInfo, matches);
}

// The département number in Text9 becomes the current one: its number, its
// seed point (kept when the number has no row), the online map button, and a
// map cleared for the next fill.
void Form1::showDepartementOfText9()
{
    deptNumber = DeptNumber(Text9->text());
    Label5->setText(Text9->text());
    if (const auto row = LookupDepartement(Text9->text())) {
        seedX = float(row->x);
        seedY = float(row->y);
    }
    updateOnlineMapButton();
    Picture1->Refresh();
}

void Form1::updateOnlineMapButton()
{
    // The online map cannot place an overseas commune (97 and above), so the
    // button is off for those only; the next metropolitan commune, Val-d'Oise
    // included, brings it back.
    CmdCarte->setEnabled(!Departement::isOverseasMapNumber(deptNumber.toNumber()));
}

void Form1::fillAtSeed()
{
    Picture1->picture().fillAtPoint(QPointF(seedX, seedY), fillColors);
    Picture1->showChanges();
}

void Form1::showLocator()
{
    const std::optional<double> latitude = textToNumber(Label12->text());
    const std::optional<double> longitude = textToNumber(Label11->text());
    if (!latitude || !longitude)
        throw DatabaseError(QStringLiteral("Coordonnées illisibles : %1, %2.").arg(Label12->text(), Label11->text()));
    // A position off the grid (from a user's own file) has no square to
    // name: each letter shows a dash rather than a character of no meaning.
    const QString locator = maidenheadLocator(*latitude, *longitude);
    QLabel *const letters[] = {Label14, Label15, Label16, Label17, Label18, Label19};
    for (int i = 0; i < 6; ++i)
        letters[i]->setText(locator.size() == 6 ? locator.mid(i, 1) : QStringLiteral("-"));
}

// The commune's own point on the map, in the inset of its own département
// (the one the fill lights): none overseas, none for a
// position the map cannot show. A record that cannot be read keeps the
// mark of the commune still shown.
void Form1::showCommuneMark()
{
    const QString number =
        Departement::ofPostcode(rstInfo.fieldText(u"codepos"), rstInfo.field(u"departement").toString()).mapNumber();
    const QVariant longitude = rstInfo.field(u"longitude");
    const QVariant latitude = rstInfo.field(u"latitude");
    bool lonOk = false;
    bool latOk = false;
    const QPointF lonLat(longitude.toDouble(&lonOk), latitude.toDouble(&latOk));
    const std::optional<QPoint> point =
        lonOk && latOk ? communeMapPoint(Picture1->picture().stored(), number, lonLat) : std::optional<QPoint>();
    Picture1->setMark(point, Label1->text());
}

void Form1::markStartingPoint(QStringView deptNumberText, std::optional<QPointF> lonLat)
{
    Picture1->setStartMark(lonLat ? communeMapPoint(Picture1->picture().stored(), deptNumberText, *lonLat)
                                  : std::nullopt);
}

// ---- the starting point ----------------------------------------------------

std::optional<GeoPoint> Form1::shownPosition() const
{
    const std::optional<double> latitude = textToNumber(Label12->text());
    const std::optional<double> longitude = textToNumber(Label11->text());
    if (!latitude || !longitude || !isOnGlobe({*latitude, *longitude}))
        return std::nullopt;
    return GeoPoint{*latitude, *longitude};
}

// The place Ctrl+D takes: the square or the coordinates typed, while the
// commune shown is one they found, else the commune shown.
std::optional<StartingPoint> Form1::startingPointOfShown() const
{
    const std::optional<GeoPoint> shown = shownPosition();
    if (!shown)
        return std::nullopt;
    const QString number = Text9->text();
    const bool foundByTyping = matches.row() >= 0 && matches.row() == rstInfo.position();
    if (const std::optional<GeoPoint> typed = foundByTyping ? matches.place() : std::nullopt)
        return StartingPoint{m_searched.trimmed(), *typed, number};
    return StartingPoint{Label1->text(), *shown, number};
}

void Form1::CtrlD_Press()
{
    const std::optional<StartingPoint> shown = startingPointOfShown();
    if (startingPoint && shown && *startingPoint == *shown)
        clearStartingPoint();
    else
        takeStartingPoint();
}

void Form1::Label13_ContextMenu(QWidget *clicked, QPoint position)
{
    if (!locatorMenu) {
        locatorMenu = new QMenu(this);
        locatorMenu->setObjectName(QStringLiteral("locatorMenu"));
        locatorMenu->addAction(QStringLiteral("Prendre comme point de départ"), this, &Form1::takeStartingPoint);
        locatorMenu->addAction(QStringLiteral("Effacer le point de départ"), this, &Form1::clearStartingPoint);
    }
    const QList<QAction *> actions = locatorMenu->actions();
    actions[0]->setEnabled(shownPosition().has_value());
    actions[1]->setEnabled(startingPoint.has_value());
    locatorMenu->popup(clicked->mapToGlobal(position));
}

void Form1::takeStartingPoint()
{
    // A commune without a readable position has no distance to give.
    const std::optional<StartingPoint> shown = startingPointOfShown();
    if (!shown)
        return;
    startingPoint = shown;
    keepStartingPoint();
    showDistanceLine();
    showStartMark();
}

void Form1::clearStartingPoint()
{
    startingPoint.reset();
    keepStartingPoint();
    showDistanceLine();
    showStartMark();
}

// Saves the starting point, and tells the user when it cannot be kept.
void Form1::keepStartingPoint()
{
    if (const QString why = platform.saveStartingPoint(startingPoint); !why.isEmpty())
        platform.showMessage(this, why);
}

void Form1::showDistanceLine()
{
    ::showDistanceLine(distanceLabel, startingPoint, shownPosition());
}

// The ring on the starting point, in the inset of its département.
void Form1::showStartMark()
{
    if (!startingPoint) {
        Picture1->setStartMark(std::nullopt);
        return;
    }
    const GeoPoint at = startingPoint->position;
    markStartingPoint(startingPoint->mapNumber, QPointF(at.longitude, at.latitude));
}

// ---- the codes and the copy -------------------------------------------------

QStringList Form1::shownPostcodes() const
{
    const QString codepos = rstInfo.hasCurrentRecord() ? rstInfo.field(u"codepos").toString() : QString();
    QStringList codes = m_postcodes ? m_postcodes->codeposFirst(rstInfo.position()) : QStringList{codepos};
    // The code shown (the one that matched, or the commune's own) leads.
    if (const QString shown = Label10->text(); !shown.isEmpty()) {
        codes.removeAll(shown);
        codes.prepend(shown);
    }
    codes.removeAll(QString());
    return codes;
}

// The commune's other postal codes, beside the one shown, and its INSEE
// code; the codes are listed in full where there is no room on the line:
// the tool tip, what screen readers read, the copy.
void Form1::showCodes()
{
    const QStringList codes = shownPostcodes();
    const QString all = codes.join(QStringLiteral(", "));
    postcodesMore->setText(otherPostcodesText(codes));
    postcodesMore->setAccessibleName(codes.size() > 1 ? QStringLiteral("%1 autres codes postaux").arg(codes.size() - 1)
                                                      : QString());
    Label10->setToolTip(codes.size() > 1 ? QStringLiteral("Codes postaux : %1").arg(all) : QString());
    postcodesMore->setToolTip(Label10->toolTip());
    Label10->setAccessibleDescription(codes.size() > 1
                                          ? QStringLiteral("Codes postaux de la commune affichée : %1").arg(all)
                                          : QStringLiteral("Code postal de la commune affichée"));
    // A user's own file may have no INSEE code: the line is left out.
    const bool hasInsee = rstInfo.table() && rstInfo.table()->columnIndex(u"code_insee") >= 0;
    inseeCaption->setVisible(hasInsee);
    inseeCode->setVisible(hasInsee);
    inseeCode->setText(hasInsee ? rstInfo.field(u"code_insee").toString() : QString());
}

void Form1::CtrlC_Press()
{
    QString locator;
    for (const QLabel *letter : {Label14, Label15, Label16, Label17, Label18, Label19})
        locator += letter->text();
    copyText(recordLine({Label1->text(), shownPostcodes(), inseeCode->text(), Label8->text(), Label11->text(),
                         Label12->text(), locator, distanceLabel->isVisible() ? distanceLabel->text() : QString()}));
}

void Form1::CtrlH_Press()
{
    if (!db || !rstInfo.hasCurrentRecord())
        return;
    if (!historyList)
        historyList = new HistoryList(this);
    if (!m_states)
        m_states.emplace(*db);
    const qint64 rowid = rstInfo.rowidOf(rstInfo.position());
    historyList->open({rowid, Label1->text(), inseeCode->text()}, communeEvents(*db, rowid), &*m_states, Label1);
}

void Form1::Value_ContextMenu(QLabel *clicked, QPoint position)
{
    if (!m_copyMenu) {
        m_copyMenu = new QMenu(this);
        m_copyMenu->setObjectName(QStringLiteral("copyMenu"));
    }
    m_copyMenu->clear();
    const bool postcode = clicked == Label10 || clicked == postcodesMore;
    const QString value = postcode ? Label10->text() : clicked->text();
    m_copyMenu->addAction(QStringLiteral("Copier"), this, [value] { copyText(value); });
    if (clicked == Label1)
        m_copyMenu->addAction(QStringLiteral("Histoire de la commune"), QKeySequence(Qt::CTRL | Qt::Key_H), this,
                              &Form1::CtrlH_Press);
    if (const QStringList codes = shownPostcodes(); postcode && codes.size() > 1)
        m_copyMenu->addAction(QStringLiteral("Copier tous les codes postaux"), this,
                              [codes] { copyText(codes.join(QLatin1Char(' '))); });
    m_copyMenu->popup(clicked->mapToGlobal(position));
}

// ---- map, départements and the online map ---------------------------------

void Form1::Picture1_MouseDown(Qt::MouseButton, Qt::KeyboardModifiers shift, QPointF position)
{
    if (shift.testFlag(Qt::ControlModifier)) {
        Picture1_CtrlClick(position);
        return;
    }
    // A click shows a département, no commune.
    Picture1->setMark(std::nullopt);
    // Every button does the same; the département is named by the seed point
    // that the fill coloured.
    const ClickResult shown = clickMap(Picture1->picture(), fillColors, position);
    Picture1->showChanges();
    Label20->setText(shown.name);
    Label5->setText(shown.number);
    Text6->setText(shortestText(float(position.x())));
    Text8->setText(shortestText(float(position.y())));
}

// The point goes back to a position through the map of the inset it lies
// in; the communes around it are then shown as a search shows what it
// found, F3 stepping outwards.
void Form1::Picture1_CtrlClick(QPointF position)
{
    if (!ensureWholeTable())
        return;
    const QPointF lonLat = mapToPosition(insetAt(position), position);
    SearchTables tables(*db, rstInfo);
    SearchMatches found = findCommunes(tables, Query::near({lonLat.y(), lonLat.x()}, NearestListed));
    if (found.count() == 0)
        return;
    matches = std::move(found);
    m_searched.clear();
    showMatchRow(matches.row());
}

void Form1::Command1_Click()
{
    browseDepartement(BrowserDirection::Down);
}

void Form1::Command2_Click()
{
    browseDepartement(BrowserDirection::Up);
}

void Form1::browseDepartement(BrowserDirection direction)
{
    // A département shows no commune.
    Picture1->setMark(std::nullopt);
    BrowserState state{deptNumber, QPointF(seedX, seedY), deptName};
    const BrowserCaptions shown = browserPress(direction, state, Picture1->picture(), fillColors);
    deptNumber = state.deptNumber;
    seedX = float(state.seed.x());
    seedY = float(state.seed.y());
    deptName = state.deptName;
    Picture1->showChanges();
    Label5->setText(shown.label5);
    Label20->setText(shown.label20);
}

void Form1::CmdCarte_Click()
{
    // The online map knows the communes by their stored names.
    Text1->setText(onlineMapAddress(m_storedName));
    platform.openUrl(onlineMapUrl(Text1->text(), m_storedName));
}
