#include "about/frmAbout.h"

#include "widgets/AccessibleTexts.h"
#include "widgets/Fonts.h"
#include "widgets/HandPointer.h"
#include "widgets/ScreenCentre.h"

#include <QDesktopServices>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QUrl>

namespace {

const QColor windowColor(0, 0, 64);
const QColor paleYellow(255, 255, 192);
const QColor lightCyan(192, 255, 255);
const QColor paleGreen(192, 255, 192);
const QColor green(0, 255, 0);
const QColor darkBlue(0, 0, 192);

void setColor(QWidget *widget, QPalette::ColorRole role, const QColor &color)
{
    QPalette palette = widget->palette();
    palette.setColor(role, color);
    widget->setPalette(palette);
}

QFrame *makeLine(QWidget *parent, const char *name, const QRect &geometry, const QColor &color)
{
    auto *line = new QFrame(parent);
    line->setObjectName(QLatin1String(name));
    line->setGeometry(geometry);
    line->setFrameShape(QFrame::NoFrame);
    line->setAutoFillBackground(true);
    setColor(line, QPalette::Window, color);
    return line;
}

// What a screen reader hears of the window.
const AccessibleText aboutAccessibleTexts[] = {
    {"picIcon", "Icône de Topovil", ""},
    {"cmdOK", "OK", "Fermer la fenêtre À propos (Entrée ou Échap)"},
    {"Label1", "Version 4.01", ""},
    {"Lblwebln", nullptr, "Adresse du site, ouverte dans le navigateur par un clic"},
};
const char *const aboutHiddenFromScreenReaders[] = {"Line1_0",       "Line1_1", "Shape2",
                                                    "lblDisclaimer", "Label7",  "Label8"};

} // namespace

frmAbout::frmAbout(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      platform{&QDesktopServices::openUrl}
{
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("À propos"));
    setFixedSize(clientWidth, clientHeight);
    setAutoFillBackground(true);
    setColor(this, QPalette::Window, windowColor);
    setMouseTracking(true);

    buildControls();
    applyAccessibleTexts(*this, aboutAccessibleTexts, aboutHiddenFromScreenReaders);
    setLinkLook(QGuiApplication::palette().color(QPalette::Button), green);

    centreOnScreen(this);
}

QString frmAbout::authorAddress()
{
    return QStringLiteral("https://www.insee.fr/fr/information/2560452");
}

void frmAbout::buildControls()
{
    picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setGeometry(16, 16, 34, 33);
    picIcon->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    picIcon->setPixmap(QPixmap(QStringLiteral(":/icon.png")));

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(376, 16, 36, 23);
    cmdOK->setFont(uiFont());
    cmdOK->setCursor(handPointer());
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);

    enum class Style { Text, Title, Link };
    struct LabelSpec
    {
        QLabel *frmAbout::*member;
        const char *name;
        const char *text; // UTF-8
        QRect geometry;
        Style style = Style::Text;
    };
    // In creation order: a later label lies above an earlier one it overlaps.
    const LabelSpec labels[] = {
        {&frmAbout::Label9, "Label9", "Topovil", {144, 8, 105, 33}, Style::Title},
        {&frmAbout::Label1, "Label1", "4.01", {256, 16, 32, 13}},
        {&frmAbout::lblDescription,
         "lblDescription",
         "Exploitation d'une base de donées INSEE listant toutes les communes de France",
         {16, 56, 387, 14}},
        {&frmAbout::Label10, "Label10", "Ecrire dans la case bleue le nom de la commune recherchée", {56, 80, 297, 25}},
        {&frmAbout::Label4,
         "Label4",
         "Nom comme on l'écrit, code postal ou INSEE, locator ou coordonnées, jokers * ? #. ",
         {8, 96, 401, 33}},
        {&frmAbout::Label6,
         "Label6",
         "Une fois la localité choisie, cliquer sur le bouton \"Chercher\" ou sur la touche \"Enter\" pour "
         "valider votre choix.",
         {8, 112, 401, 33}},
        {&frmAbout::Label5,
         "Label5",
         "Il est possible de naviguer dans le fichier à l'aide des touches  <<  et  >>",
         {32, 144, 353, 17}},
        {&frmAbout::Label2,
         "Label2",
         "Si vous êtes connecté à Internet , la touche \"Carte Michelin\" vous permet de situer précisément  la "
         "localité choisie en bénéficiant de toutes les options offertes par le site.  (Pour la France "
         "métropolitaine uniquement)",
         {8, 168, 393, 41}},
        {&frmAbout::lblDisclaimer, "lblDisclaimer", "", {144, 224, 122, 23}},
        {&frmAbout::Label7, "Label7", " ", {96, 240, 161, 25}},
        {&frmAbout::Lblwebln, "Lblwebln", "www.insee.fr", {256, 240, 81, 17}, Style::Link},
        {&frmAbout::Label8, "Label8", "", {168, 256, 65, 17}},
    };
    for (const LabelSpec &spec : labels) {
        auto *label = new QLabel(QString::fromUtf8(spec.text), this);
        label->setObjectName(QLatin1String(spec.name));
        label->setGeometry(spec.geometry);
        label->setTextFormat(Qt::PlainText);
        label->setFont(spec.style == Style::Title ? titleFont() : uiFont(spec.style == Style::Link));
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setWordWrap(true);
        setColor(label, QPalette::WindowText, spec.style == Style::Title ? lightCyan : paleYellow);
        this->*spec.member = label;
    }

    // The link sits on its own background, light in both hover looks, so it
    // is written in black rather than in the pale yellow of the other texts.
    Lblwebln->setAlignment(Qt::AlignCenter);
    Lblwebln->setWordWrap(false);
    Lblwebln->setAutoFillBackground(true);
    setColor(Lblwebln, QPalette::WindowText, Qt::black);
    Lblwebln->setToolTip(QStringLiteral(" Bienvenu ! "));
    Lblwebln->setCursor(handPointer());
    Lblwebln->setMouseTracking(true);
    Lblwebln->installEventFilter(this);

    // An etched separator: a grey line over the top of a white one.
    Line1[0] = makeLine(this, "Line1_0", QRect(32, 216, 371, 2), Qt::white);
    Line1[1] = makeLine(this, "Line1_1", QRect(32, 216, 372, 1), QColor(128, 128, 128));

    // The 3-px outline is centred on the link's rectangle, as a wide pen is,
    // and drawn over the link's edge; it lets every mouse event through to
    // the link or the window beneath.
    Shape2 = new QFrame(this);
    Shape2->setObjectName(QStringLiteral("Shape2"));
    Shape2->setGeometry(Lblwebln->geometry().adjusted(-1, -1, 1, 1));
    Shape2->setFrameStyle(QFrame::Box | QFrame::Plain);
    Shape2->setLineWidth(3);
    Shape2->setAttribute(Qt::WA_TransparentForMouseEvents);
    Shape2->raise();
}

void frmAbout::mouseMoveEvent(QMouseEvent *event)
{
    Form_MouseMove();
    event->accept();
}

bool frmAbout::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != Lblwebln)
        return QDialog::eventFilter(watched, event);
    // The link's own mouse events stop here: a move over it must not reach
    // the window's background handler as well.
    switch (event->type()) {
    case QEvent::MouseMove:
        Lblwebln_MouseMove();
        event->accept();
        return true;
    case QEvent::MouseButtonPress:
        event->accept();
        return true;
    case QEvent::MouseButtonRelease: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton && Lblwebln->rect().contains(mouse->position().toPoint()))
            Lblwebln_Click();
        event->accept();
        return true;
    }
    default:
        return QDialog::eventFilter(watched, event);
    }
}

void frmAbout::cmdOK_Click()
{
    close();
}

void frmAbout::Form_MouseMove()
{
    setLinkLook(lightCyan, green);
}

void frmAbout::Lblwebln_MouseMove()
{
    setLinkLook(paleGreen, darkBlue);
}

void frmAbout::Lblwebln_Click()
{
    platform.openUrl(QUrl(authorAddress()));
}

void frmAbout::setLinkLook(const QColor &background, const QColor &frame)
{
    m_linkBackground = background;
    m_frameColor = frame;
    setColor(Lblwebln, QPalette::Window, background);
    setColor(Shape2, QPalette::WindowText, frame);
}
