#pragma once

#include <QString>
#include <QStringView>
#include <string_view>

// Commune names are compared in one written form, so that the user may type
// a name the ordinary way: "Saint-Étienne", "l'Île-d'Yeu" and "ST ETIENNE"
// all read ST ETIENNE, L ILE D YEU.
//
//   - letters in upper case, without their accents (É -> E, Ç -> C), the
//     ligatures and special letters of Latin-1 and Latin Extended-A written
//     out (Œ -> OE, Æ -> AE, ß -> SS, Ø -> O, Ł -> L...), combining marks
//     dropped, and so are the characters that show nothing (zero-width
//     spaces and joiners, the soft hyphen, byte order marks, C1 controls);
//   - hyphens, apostrophes (- ' ’ `) and brackets are blanks, as is the no-break space;
//   - runs of blanks are one blank, and blanks at both ends are dropped;
//   - the words SAINT and SAINTE are written ST and STE (whole words only:
//     SAINTES keeps its letters). Words are delimited by blanks and the ends
//     of the text.
QString foldName(QStringView name);

// The same folding for a search pattern, whose wildcards keep their meaning:
// "?", "*" and "#" are not letters of a word (SAINT* is not the word SAINT),
// and inside "[...]" the letters are folded one for one while a hyphen keeps
// its range meaning. A list is not a word and is never trimmed or joined.
// A pattern that cannot be compiled stays one that cannot be compiled.
QString foldPattern(QStringView pattern);

// A stored name (UTF-8) that is surely its own folded form: only A-Z, 0-9
// and single blanks inside, and no word SAINT or SAINTE. A store can then
// be asked in SQL for the rows that may match a plain name, without folding
// every name (false only says that folding must decide).
bool isPlainFoldedName(const char *utf8, size_t bytes);
bool isPlainFoldedName(QStringView name);

// Whether a stored name (UTF-8) may fold to `folded`, a folded name; false
// only where it surely does not: a plain folded name folds to itself, and a
// name that starts with a letter or a digit folds to one that starts with
// it in upper case. The search of a name in a store asks it of every row.
bool mayFoldTo(const char *utf8, size_t bytes, std::string_view folded);
