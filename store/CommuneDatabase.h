#pragma once

#include "store/Database.h"

#include <QString>
#include <memory>

// The data file the program opens: the user's own insee.mdb when it lies in
// the program's directory, otherwise the shipped insee.sqlite.
QString communeDataPath(const QString &programDir);

// Opens the data file read-only and checks what start-up needs: the table
// insee1 with at least one record whose five fields are all present. Throws
// DatabaseError with a French message naming the file and the cause.
std::unique_ptr<Database> openCommuneDatabase(const QString &path);

// The rows of insee1 a search for one plain name needs, read without the
// whole table (Database::openNameCandidates); nothing when the file cannot
// be asked so, or when a name is too long, which the whole read refuses.
std::optional<Recordset> openCommuneCandidates(Database &db, const QString &foldedName);

// Longer commune names are refused when the table is read: Access itself
// keeps at most 255 characters in a text field, and the bound keeps every
// search of the table short.
inline constexpr qsizetype MaxCommuneNameLength = 255;

// Characters as the user counts them: a character outside the basic plane
// (an emoji) is one, not the two UTF-16 units that hold it.
qsizetype characterCount(QStringView text);

// The five fields every shown record carries.
inline constexpr const char *communeFields[] = {"commune", "longitude", "latitude", "codepos", "departement"};

// The name of the current record as INSEE writes it (« L'Haÿ-les-Roses »):
// the column nom of the shipped store; empty when the table has no such
// column (a user's own insee.mdb) or the record none.
QString officialName(const Recordset &records);
