#pragma once

#include <QColor>
#include <QDialog>
#include <QString>
#include <QUrl>
#include <functional>

class QFrame;
class QLabel;
class QPushButton;

// What the About window asks of the desktop, replaceable so that tests can
// record the address its link opens instead of starting a browser.
struct AboutPlatform
{
    std::function<bool(const QUrl &)> openUrl;
};

// The About window: the program's name, version, a short guide and a link to
// the author's site. Shown without being modal; closing it destroys it, so
// the next "A propos" builds it afresh with the link's first look.
class frmAbout : public QDialog
{
    Q_OBJECT
public:
    explicit frmAbout(QWidget *parent = nullptr);

    AboutPlatform platform;

    // The address the link label shows and opens.
    static QString authorAddress();

    QColor linkBackground() const { return m_linkBackground; }
    QColor frameColor() const { return m_frameColor; }

    static constexpr int clientWidth = 418;
    static constexpr int clientHeight = 278;

protected:
    void mouseMoveEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void cmdOK_Click();
    void Form_MouseMove();
    void Lblwebln_MouseMove();
    void Lblwebln_Click();
    void setLinkLook(const QColor &background, const QColor &frame);

    QLabel *picIcon = nullptr;
    QPushButton *cmdOK = nullptr;
    QLabel *Label9 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *lblDescription = nullptr;
    QLabel *Label10 = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *Label6 = nullptr;
    QLabel *Label5 = nullptr;
    QLabel *Label2 = nullptr;
    QFrame *Line1[2] = {nullptr, nullptr};
    QLabel *lblDisclaimer = nullptr;
    QLabel *Label7 = nullptr;
    QLabel *Lblwebln = nullptr;
    QFrame *Shape2 = nullptr;
    QLabel *Label8 = nullptr;

    QColor m_linkBackground;
    QColor m_frameColor;
};
