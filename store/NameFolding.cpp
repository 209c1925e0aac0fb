#include "store/NameFolding.h"

#include <array>
#include <string_view>
#include <type_traits>
#include <vector>

namespace {

bool isSeparator(char16_t c)
{
    // Brackets too: INSEE writes « Château-Chinon (Ville) » where the table
    // has CHATEAU CHINON VILLE.
    return c == u' ' || c == u'-' || c == u'\'' || c == u'\u2019' || c == u'`' || c == u'\u00a0' || c == u'('
           || c == u')';
}

// The letters Unicode does not decompose into a base letter and a mark.
QStringView specialLetter(char16_t c)
{
    switch (c) {
    case u'\u00c6': // Æ
    case u'\u00e6':
        return u"AE";
    case u'\u0152': // Œ
    case u'\u0153':
        return u"OE";
    case u'\u0132': // Ĳ
    case u'\u0133':
        return u"IJ";
    case u'\u00df': // ß
        return u"SS";
    case u'\u00de': // Þ
    case u'\u00fe':
        return u"TH";
    case u'\u00d8': // Ø
    case u'\u00f8':
        return u"O";
    case u'\u00d0': // Ð
    case u'\u00f0':
    case u'\u0110': // Đ
    case u'\u0111':
        return u"D";
    case u'\u0126': // Ħ
    case u'\u0127':
        return u"H";
    case u'\u0141': // Ł
    case u'\u0142':
    case u'\u013f': // Ŀ
    case u'\u0140':
        return u"L";
    case u'\u0166': // Ŧ
    case u'\u0167':
        return u"T";
    case u'\u0131': // dotless i
        return u"I";
    case u'\u0138': // kra
        return u"K";
    case u'\u0149': // ŉ
        return u"N";
    case u'\u017f': // long s
        return u"S";
    default:
        return {};
    }
}

// Appends the folded form of one character that is not a separator: none,
// one or two characters.
void appendFolded(QString &out, char16_t c)
{
    if (c < 0x80) {
        out.append(QChar(c >= u'a' && c <= u'z' ? char16_t(c - 0x20) : c));
        return;
    }
    if (c >= 0x0300 && c <= 0x036f)
        return; // a combining mark: its letter stands alone
    // Characters nobody sees, pasted with a name (a zero-width space, a soft
    // hyphen, a byte order mark, a line break of old mainframes): gone.
    if ((c >= 0x80 && c < 0xa0) || QChar::category(c) == QChar::Other_Format)
        return;
    if (c >= 0x00c0 && c <= 0x017f) {
        if (const QStringView special = specialLetter(c); !special.isEmpty()) {
            out.append(special);
            return;
        }
        const QString decomposed = QChar(c).decomposition();
        if (!decomposed.isEmpty() && decomposed.front().unicode() < 0x80) {
            out.append(decomposed.front().toUpper());
            return;
        }
    }
    out.append(QChar(c).toUpper());
}

// One character of the folded text, and whether it stands inside a list of
// a pattern, where nothing is joined, trimmed or read as a word.
struct Folded
{
    QString text;
    // Kept from the first list on: most texts have none, and a name is
    // folded on every line of a batch.
    std::vector<bool> listed;
    bool tracked = false;

    void append(char16_t c, bool inList)
    {
        text.append(QChar(c));
        mark(text.size() - 1, inList);
    }
    void appendLetter(char16_t c, bool inList)
    {
        const qsizetype before = text.size();
        appendFolded(text, c);
        // Inside a list a letter must stay one character: a ligature keeps
        // its own (it then matches no folded name), a lone mark goes.
        if (inList && text.size() - before > 1) {
            text.truncate(before);
            text.append(QChar(c).toUpper());
        }
        mark(before, inList);
    }
    bool inList(qsizetype i) const { return tracked && listed[size_t(i)]; }

private:
    // Says of the characters appended from `from` whether they are in a list.
    void mark(qsizetype from, bool inList)
    {
        if (inList && !tracked) {
            listed.assign(size_t(from), false);
            tracked = true;
        }
        if (tracked)
            listed.resize(size_t(text.size()), inList);
    }
};

bool isBlankAt(const Folded &folded, qsizetype i)
{
    return folded.text[i] == u' ' && !folded.inList(i);
}

// Joins runs of blanks, drops them at both ends, and writes the words SAINT
// and SAINTE short.
QString finish(const Folded &folded)
{
    QString out;
    out.reserve(folded.text.size());
    const qsizetype size = folded.text.size();
    qsizetype i = 0;
    while (i < size) {
        if (isBlankAt(folded, i)) {
            while (i < size && isBlankAt(folded, i))
                ++i;
            if (!out.isEmpty() && i < size)
                out.append(u' ');
            continue;
        }
        qsizetype end = i;
        while (end < size && !isBlankAt(folded, end))
            ++end;
        const QStringView word = QStringView(folded.text).sliced(i, end - i);
        if (word == u"SAINT")
            out.append(u"ST");
        else if (word == u"SAINTE")
            out.append(u"STE");
        else
            out.append(word);
        i = end;
    }
    return out;
}

} // namespace

QString foldName(QStringView name)
{
    // A name as the table writes it (a list exported from it, La Poste's
    // labels) is its own folded form: a batch folds one a line.
    if (isPlainFoldedName(name))
        return name.toString();
    Folded folded;
    folded.text.reserve(name.size());
    for (const QChar c : name) {
        if (isSeparator(c.unicode()))
            folded.append(u' ', false);
        else
            folded.appendLetter(c.unicode(), false);
    }
    return finish(folded);
}

QString foldPattern(QStringView pattern)
{
    if (isPlainFoldedName(pattern))
        return pattern.toString();
    Folded folded;
    folded.text.reserve(pattern.size());
    const qsizetype size = pattern.size();
    qsizetype i = 0;
    while (i < size) {
        const char16_t c = pattern[i].unicode();
        if (c == u'[') {
            // The list runs to the first "]" after "[" or "[!", as the
            // matcher reads it; without one, the rest is left as typed and
            // the matcher refuses it.
            qsizetype first = i + 1;
            if (first < size && pattern[first] == u'!')
                ++first;
            const qsizetype close = pattern.indexOf(u']', first);
            if (close < 0) {
                for (; i < size; ++i)
                    folded.append(pattern[i].unicode(), true);
                break;
            }
            for (; i < first; ++i)
                folded.append(pattern[i].unicode(), true);
            for (; i < close; ++i) {
                const char16_t listed = pattern[i].unicode();
                if (listed == u'-')
                    folded.append(listed, true);
                else if (isSeparator(listed))
                    folded.append(u' ', true);
                else
                    folded.appendLetter(listed, true);
            }
            folded.append(u']', true);
            ++i;
        } else if (isSeparator(c)) {
            folded.append(u' ', false);
            ++i;
        } else {
            folded.appendLetter(c, false);
            ++i;
        }
    }
    return finish(folded);
}

namespace {

// What each ASCII character is in a plain folded name: 1 a letter or a
// digit, 2 the blank between words, 0 none of them.
constexpr std::array<unsigned char, 128> plainClasses = [] {
    std::array<unsigned char, 128> classes{};
    for (char c = 'A'; c <= 'Z'; ++c)
        classes[size_t(c)] = 1;
    for (char c = '0'; c <= '9'; ++c)
        classes[size_t(c)] = 1;
    classes[' '] = 2;
    return classes;
}();

// Whether the word SAINT or SAINTE stands in the name (they fold shorter).
template <typename Char>
bool holdsSaint(const Char *name, size_t length)
{
    const auto isBlankAt = [&](size_t i) { return i == length || name[i] == ' '; };
    for (size_t at = 0; at + 5 <= length; ++at) {
        if (name[at] != 'S' || name[at + 1] != 'A' || name[at + 2] != 'I' || name[at + 3] != 'N' || name[at + 4] != 'T'
            || (at > 0 && name[at - 1] != ' '))
            continue;
        if (isBlankAt(at + 5) || (name[at + 5] == 'E' && isBlankAt(at + 6)))
            return true;
    }
    return false;
}

// Upper-case letters and digits in words one blank apart, none folding
// shorter. The search of a name in the shipped store asks it of every row,
// so its first pass has no branch on the characters.
template <typename Char>
bool isPlainFolded(const Char *name, size_t length)
{
    unsigned bad = length == 0;
    unsigned blank = 1; // a blank before the first word is one too many
    for (size_t i = 0; i < length; ++i) {
        const auto c = static_cast<std::make_unsigned_t<Char>>(name[i]);
        const unsigned kind = c < 128 ? plainClasses[c] : 0;
        bad |= unsigned(kind == 0) | (blank & unsigned(kind == 2));
        blank = kind == 2;
    }
    return !(bad | blank) && !holdsSaint(name, length);
}

} // namespace

bool isPlainFoldedName(const char *utf8, size_t bytes)
{
    return isPlainFolded(utf8, bytes);
}

bool isPlainFoldedName(QStringView name)
{
    return isPlainFolded(name.utf16(), size_t(name.size()));
}

bool mayFoldTo(const char *utf8, size_t bytes, std::string_view folded)
{
    if (std::string_view(utf8, bytes) == folded)
        return true;
    // Most rows are told apart by their first letter, without reading on.
    const auto first = static_cast<unsigned char>(bytes > 0 ? utf8[0] : '\0');
    const unsigned char upper = first >= 'a' && first <= 'z' ? first - 0x20 : first;
    if (upper < 128 && plainClasses[upper] == 1 && (folded.empty() || folded[0] != char(upper)))
        return false;
    return !isPlainFoldedName(utf8, bytes);
}
