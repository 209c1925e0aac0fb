#pragma once

#include <QListWidget>

// A list opened over the main window as a frameless tool window rather than
// a popup: screen readers are shown the application's windows but never its
// popups, and these lists must be read. It closes as a popup does when the
// user goes back to the window, or by Esc, and gives the keys back to the
// window it was opened from.
class ListWindow : public QListWidget
{
    Q_OBJECT
public:
    explicit ListWindow(QWidget *owner);

protected:
    // Shows the list, filled, at `position` (global), with the keys.
    void showAt(QPoint position);
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;
    void hideEvent(QHideEvent *event) override;
};
