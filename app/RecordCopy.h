#pragma once

#include <QString>
#include <QStringList>

// The shown record as the window shows it, for the clipboard.
struct RecordLine
{
    QString name;
    QStringList postcodes; // the shown one first
    QString insee;
    QString departement;
    QString longitude;
    QString latitude;
    QString locator;
    QString distance; // the distance line, empty when none is shown
};

// One line of text, its fields separated by tabs so that a spreadsheet
// puts each in a cell of its own; the postal codes in one field, separated
// by blanks; the distance line last, when there is one.
QString recordLine(const RecordLine &record);

// Puts a text on the clipboard and, where the desktop has one, in the
// selection that the middle button pastes.
void copyText(const QString &text);
