#pragma once

#include "store/Database.h"
#include "store/Recordset.h"

#include <QString>
#include <QStringView>
#include <cstdint>
#include <vector>

// A name proposed to the user, and the commune it leads to.
struct Suggestion
{
    QString name;           // as stored: a current name, or another name of the commune
    int row = -1;           // of insee1
    int edits = 0;          // from the folded typed text; 0 for a name that starts with it
    qint64 population = -1; // of the commune; -1 when the table has none
};

// The names a user may have meant, over a whole insee1 table and, when the
// file has it, its table autres_noms. Made once, on the first use, and kept
// with the table: the lists it keeps read the names in place.
class SuggestionIndex
{
public:
    // What the index is made for: a one-shot search that found nothing asks
    // only afterTypo, and skips the sorts by name that whileTyping reads.
    enum class Use { WhileTypingToo, AfterTypoOnly };
    // `others` is the file's table autres_noms, or an empty recordset.
    SuggestionIndex(const Recordset &communes, const Recordset &others, Use use = Use::WhileTypingToo);
    SuggestionIndex(const Recordset &communes, Database *db, Use use = Use::WhileTypingToo);
    // The file's other names, read apart so that the index can be made on
    // another thread than the one the file belongs to; empty when it has none.
    static Recordset otherNamesIn(Database *db);
    // About what an index over these tables takes, told before it is made.
    static size_t expectedBytes(const Recordset &communes, const Recordset &others);

    // While typing: the current names that start with the folded text, then
    // those with a later word that starts with it; the more populous first
    // within each, then in table order. Nothing for fewer than two letters
    // or a pattern with wildcards, or from an index made AfterTypoOnly.
    std::vector<Suggestion> whileTyping(QStringView typed, size_t limit = 8) const;

    // After a search found nothing: distinct names, current and other, at
    // most two edits (a letter dropped, added, replaced, or two neighbours
    // swapped) from the folded text; fewest edits first, then the more
    // populous, then current names before other names.
    std::vector<Suggestion> afterTypo(QStringView typed, size_t limit = 5) const;

    size_t memoryBytes() const;

private:
    void sortByName(size_t currentCount);
    struct Entry
    {
        std::uint32_t sourceRow; // in its own table
        std::int32_t communeRow; // in insee1
        std::int32_t population; // -1 when unknown
        std::uint32_t letters;   // which of A-Z occur, a bit each
        std::uint16_t length;
        bool other; // from autres_noms
    };
    // A word start of a current name: the entry and the word's offset.
    struct WordStart
    {
        std::uint32_t entry;
        std::uint16_t offset;
    };

    QStringView folded(const Entry &entry) const;
    QStringView stored(const Entry &entry) const;
    Suggestion suggestion(const Entry &entry, int edits) const;

    Recordset m_communes;
    Recordset m_others;
    int m_communeNames = -1;
    int m_otherNames = -1;
    std::vector<Entry> m_entries;             // current names in table order, then other names
    std::vector<std::uint32_t> m_byName;      // current names, in the order of their folded text
    std::vector<WordStart> m_byWord;          // later words of current names, in the order of their text
    std::vector<std::uint32_t> m_byLength;    // every entry, shortest name first
    std::vector<std::uint32_t> m_lengthStart; // where each length begins in m_byLength
};

// At most `limit` edits, a swap of two neighbours counting as one, from a to
// b; limit + 1 when there are more.
int boundedEditDistance(QStringView a, QStringView b, int limit);

// « Aucune commune ne s'appelle MARSEILE. Vouliez-vous dire MARSEILLE ? »
QString noMatchMessage(QStringView typed, const std::vector<Suggestion> &suggestions);
