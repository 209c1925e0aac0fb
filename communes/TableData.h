#pragma once

#include <QStringList>
#include <QVariant>
#include <vector>

// A table read whole into memory. A field is a QVariant: a null QVariant is a
// NULL in the file, text is a QString, numbers are double or qlonglong.
struct TableData
{
    QString name;
    QStringList columns;
    std::vector<std::vector<QVariant>> rows;

    // Column index for a field name compared without regard to case, or -1.
    int columnIndex(QStringView field) const
    {
        for (int i = 0; i < columns.size(); ++i)
            if (QStringView(columns[i]).compare(field, Qt::CaseInsensitive) == 0)
                return i;
        return -1;
    }
};
