#include "app/RecordCopy.h"

#include <QClipboard>
#include <QGuiApplication>

QString recordLine(const RecordLine &record)
{
    QStringList fields{record.name,      record.postcodes.join(QLatin1Char(' ')),
                       record.insee,     record.departement,
                       record.longitude, record.latitude,
                       record.locator};
    if (!record.distance.isEmpty())
        fields << record.distance;
    return fields.join(QLatin1Char('\t'));
}

void copyText(const QString &text)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->setText(text, QClipboard::Clipboard);
    if (clipboard->supportsSelection())
        clipboard->setText(text, QClipboard::Selection);
}
