#pragma once

#include "names/NamePattern.h"
#include "store/Recordset.h"

#include <vector>

// Where a scan for a commune name ended.
struct ScanResult
{
    bool found = false;   // the recordset stands on the first match
    bool skipped = false; // at least one record was passed over
};

// Moves the recordset forward from its current record to the first one whose
// commune matches the pattern, or past the last record when none does. A
// NULL name matches nothing. Throws DatabaseError when the table has no
// commune field.
ScanResult scanForCommune(Recordset &records, const NamePattern &pattern);

// Every row of the recordset's table whose commune matches, in table order,
// at most `limit` of them.
std::vector<int> findAllCommunes(const Recordset &records, const NamePattern &pattern, size_t limit = SIZE_MAX);
