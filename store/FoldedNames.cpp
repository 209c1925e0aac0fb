#include "store/FoldedNames.h"

#include "store/NameFolding.h"

namespace {

QString textOfCell(const Column &names, size_t row)
{
    switch (names.kind(row)) {
    case Column::Kind::Null:
        return {};
    case Column::Kind::Text:
        return names.text(row).toString();
    default: // a number stored as a name is matched as it reads
        return names.value(row).toString();
    }
}

bool isOwnFoldedForm(const Column &names)
{
    if (!names.isAllText())
        return false;
    for (size_t row = 0; row < names.size(); ++row) {
        const QStringView name = names.text(row);
        // Most names are plainly their own folded form: folding needs not say so.
        if (!isPlainFoldedName(name) && foldName(name) != name)
            return false;
    }
    return true;
}

} // namespace

FoldedNames::FoldedNames(const Column &names) : m_sameAsNames(isOwnFoldedForm(names))
{
    if (m_sameAsNames)
        return;
    m_cells.reserve(names.size());
    for (size_t row = 0; row < names.size(); ++row) {
        const QString folded = foldName(textOfCell(names, row));
        const auto start = std::uint32_t(m_chars.size());
        m_chars.insert(m_chars.end(), folded.utf16(), folded.utf16() + folded.size());
        m_cells.push_back(Column::span(start, std::uint32_t(folded.size())));
    }
    m_chars.shrink_to_fit();
}
