#include "communes/CommuneSearch.h"

namespace {

bool nameMatches(const QVariant &name, const LikePattern &pattern)
{
    if (name.isNull())
        return false;
    // Names are stored as text: match them in place rather than copying.
    if (name.metaType() == QMetaType::fromType<QString>())
        return likeMatch(*static_cast<const QString *>(name.constData()), pattern);
    return likeMatch(name.toString(), pattern);
}

} // namespace

ScanResult scanForCommune(Recordset &records, const LikePattern &pattern)
{
    ScanResult result;
    const int commune = records.fieldIndex(u"commune");
    for (; !records.isEof(); records.moveNext(), result.skipped = true) {
        if (nameMatches(records.valueAt(commune), pattern)) {
            result.found = true;
            break;
        }
    }
    return result;
}
