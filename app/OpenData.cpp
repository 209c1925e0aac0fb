#include "app/OpenData.h"

#include "app/SuggestionIndexBuild.h"
#include "store/CommuneDatabase.h"
#include "store/DatabaseError.h"

#include <QApplication>
#include <QScopeGuard>
#include <QTimer>

namespace {
const QString communeTable = QStringLiteral("insee1");
}

OpenData::OpenData()
{
    newSuggestionIndex();
}

OpenData::~OpenData()
{
    close();
}

// A new file, a new index: none is made until typing needs it.
void OpenData::newSuggestionIndex()
{
    delete m_suggestionBuild;
    m_suggestionBuild = new SuggestionIndexBuild(this);
    connect(m_suggestionBuild, &SuggestionIndexBuild::built, this, &OpenData::suggestionsBuilt);
}

Recordset OpenData::open(const QString &path)
{
    newSuggestionIndex();
    m_states.reset(); // read from the file it was made of
    m_whole.reset();
    m_postcodes.reset();
    m_failed = false;
    m_db = openCommuneDatabase(path);
    // The window needs only the first record to show.
    Recordset first = m_db->openFirstRecord(communeTable);
    // Started from the event loop, once the window is on its way: the read
    // then does not compete with the window's own first steps.
    QTimer::singleShot(0, this, [this] {
        if (m_whole || !isOpen())
            return;
        // The system may refuse the thread or the memory: that ends the
        // program as an unusable file does.
        try {
            m_db->startLoading(communeTable, [this] {
                QMetaObject::invokeMethod(
                    this, [this] { loadWholeTable(); }, Qt::QueuedConnection);
            });
        } catch (const DatabaseError &error) {
            fail(error.message());
        } catch (const std::bad_alloc &) {
            fail(QStringLiteral("Mémoire insuffisante pour lire « %1 ».").arg(m_db->path()));
        }
    });
    return first;
}

void OpenData::close()
{
    if (m_db)
        m_db->close();
}

void OpenData::fail(const QString &message)
{
    m_failed = true;
    emit failed(message);
}

bool OpenData::loadWholeTable()
{
    if (m_whole)
        return true;
    if (!isOpen() || m_failed)
        return false;
    const bool busy = m_db->isLoading();
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restoreCursor = qScopeGuard([busy] {
        if (busy)
            QApplication::restoreOverrideCursor();
    });
    try {
        m_whole = m_db->openRecordset(communeTable);
        // Every postal code of every commune, now that all of them are there.
        m_postcodes.emplace(*m_db, *m_whole);
    } catch (const DatabaseError &error) {
        m_whole.reset();
        fail(error.message());
        return false;
    } catch (const std::bad_alloc &) {
        m_whole.reset();
        fail(QStringLiteral("Mémoire insuffisante pour lire « %1 ».").arg(m_db->path()));
        return false;
    }
    emit tableRead();
    return true;
}

CommuneStates &OpenData::states()
{
    if (!m_states)
        m_states.emplace(*m_db);
    return *m_states;
}

SuggestionIndex *OpenData::suggestionIndex()
{
    if (!m_suggestionBuild->index() && !m_suggestionBuild->isBuilding()) {
        if (!isOpen() || (!m_whole && m_db->isLoading()) || !loadWholeTable())
            return nullptr;
        m_suggestionBuild->start(*m_whole, SuggestionIndex::otherNamesIn(m_db.get()));
    }
    return m_suggestionBuild->index();
}

bool OpenData::isBuildingSuggestions() const
{
    return m_suggestionBuild->isBuilding();
}

SuggestionIndex *OpenData::waitForSuggestions()
{
    const bool busy = m_suggestionBuild->isBuilding();
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    SuggestionIndex *index = m_suggestionBuild->wait();
    if (busy)
        QApplication::restoreOverrideCursor();
    return index;
}

Lookup OpenData::search(const QString &text, Recordset &records)
{
    records = m_db->openQuery(QStringLiteral("SELECT * FROM INSEE1"));
    records.moveFirst();
    SearchTables tables(*m_db, records);
    // Asked for by Enter: worth waiting for an index being made.
    tables.lendSuggestions([this] {
        suggestionIndex();
        return waitForSuggestions();
    });
    return lookUp(tables, text);
}

SearchMatches OpenData::nearest(GeoPoint position, int count)
{
    SearchTables tables(*m_db, *m_whole);
    return lookUp(tables, Query::near(position, count), Suggest::Never).matches;
}
