#pragma once

#include <QLabel>

// A one-line label for names (a commune, a département) that shows its text
// whole: a name wider than the label is drawn in a smaller size of the
// label's own font, and a name too wide even at the smallest size goes onto
// a second line. The label's font stays the design font.
class FittingLabel : public QLabel
{
    Q_OBJECT
public:
    explicit FittingLabel(const QString &text, QWidget *parent = nullptr);

    // The font the current text is drawn in.
    QFont shownFont() const;
    // Whether the current text is drawn on more than one line.
    bool wraps() const;

protected:
    void paintEvent(QPaintEvent *event) override;
};
