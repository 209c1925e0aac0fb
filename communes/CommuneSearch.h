#pragma once

#include "communes/LikePattern.h"
#include "communes/Recordset.h"

// Where a scan for a commune name ended.
struct ScanResult
{
    bool found = false;   // the recordset stands on the first match
    bool skipped = false; // at least one record was passed over
};

// Moves the recordset forward from its current record to the first one whose
// commune matches the pattern, or past the last record when none does. A
// NULL name matches nothing.
ScanResult scanForCommune(Recordset &records, const LikePattern &pattern);
