#pragma once

#include "store/Database.h"

#include <QString>
#include <memory>

enum class DatabaseKind { Missing, Jet, Sqlite, Unknown };

// What a file is, from its first bytes: an Access/Jet or ACE file, an SQLite
// file, or something else. Missing when it cannot be read at all.
DatabaseKind sniffDatabaseFile(const QString &path);

// Opens a commune database read-only with the backend its signature names;
// throws DatabaseError with a French message naming the file otherwise.
std::unique_ptr<Database> openDatabase(const QString &path);
