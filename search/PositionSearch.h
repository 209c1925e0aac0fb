#pragma once

#include "search/SearchMatches.h"
#include "store/Recordset.h"

#include <QStringView>
#include <optional>

// A search text that gives a position (CoordinateText.h) finds the communes
// nearest to it on the great circle, nearest first, as many as the list of
// matches shows, so that F3 goes on to the next nearest. A position off the
// globe is a refusal; nothing for a text that is no position.
std::optional<SearchMatches> findCommunesByPosition(const Recordset &communes, QStringView typed);
