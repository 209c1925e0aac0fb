#pragma once

#include "geometry/GreatCircle.h"
#include "history/CommuneStates.h"
#include "search/Lookup.h"
#include "store/Database.h"
#include "store/PostalCodes.h"
#include "store/Recordset.h"

#include <QObject>
#include <memory>
#include <optional>

class Query;
class SuggestionIndex;
class SuggestionIndexBuild;

// The data file the window shows, and all that is made of it: the open
// database, the whole table read in the background, every postal code, the
// communes' states of the history, and the suggestion index made on a
// thread of its own. The window asks; this waits where it must.
class OpenData : public QObject
{
    Q_OBJECT
public:
    OpenData();
    ~OpenData() override;

    // Opens the data file and returns its first record, read at once;
    // throws DatabaseError. The whole table is read in the background, from
    // the event loop, once the window is on its way.
    Recordset open(const QString &path);
    void close(); // stops a background read first
    bool isOpen() const { return m_db && m_db->isOpen(); }
    Database *database() const { return m_db.get(); }

    // Whether the whole table is there.
    bool hasWholeTable() const { return m_whole.has_value(); }
    // Waits for the whole table when it is still being read (with a busy
    // pointer) and tells tableRead; false when there is none, or the file
    // turned out unusable (failed told).
    bool loadWholeTable();
    const Recordset &wholeTable() const { return *m_whole; }
    // Every postal code of every commune, once the whole table is there.
    const PostalCodes *postcodes() const { return m_postcodes ? &*m_postcodes : nullptr; }
    // Read when first asked.
    CommuneStates &states();

    // The suggestion index, its making started when first asked, from the
    // whole table; null until it is made, and while the table is still being
    // read, so that typing never waits for it.
    SuggestionIndex *suggestionIndex();
    bool isBuildingSuggestions() const;
    // The index, waiting for it if it is being made.
    SuggestionIndex *waitForSuggestions();

    // A search of the whole table on a new cursor over it (the search
    // reads it from its first record), and what its answer means; after a
    // miss, the suggestions of the index, waited for. Throws DatabaseError.
    Lookup search(const QString &text, Recordset &records);
    // The communes nearest to a position, `count` of them.
    SearchMatches nearest(GeoPoint position, int count);

signals:
    void tableRead();
    void failed(const QString &message);
    void suggestionsBuilt();

private:
    void newSuggestionIndex();
    void fail(const QString &message);

    std::unique_ptr<Database> m_db;
    std::optional<Recordset> m_whole;
    bool m_failed = false;
    std::optional<PostalCodes> m_postcodes;
    std::optional<CommuneStates> m_states;
    SuggestionIndexBuild *m_suggestionBuild = nullptr;
};
