#include "app/SuggestionIndexBuild.h"

#include "store/TableData.h"

#include <QScopeGuard>
#include <system_error>

SuggestionIndexBuild::~SuggestionIndexBuild()
{
    // The thread tells this object when it ends: it must outlive the thread.
    if (m_building.valid())
        m_building.wait();
}

void SuggestionIndexBuild::start(const Recordset &communes, const Recordset &others)
{
    if (m_started || !communes.table())
        return;
    m_started = true;
    const TableData &table = *communes.table();
    if (table.memoryBytes() + SuggestionIndex::expectedBytes(communes, others) > table.memoryLimit)
        return; // no suggestions rather than a table past its limit
    const auto make = [communes, others] { return std::make_unique<SuggestionIndex>(communes, others); };
    try {
        m_building = std::async(std::launch::async, [this, make] {
            // Told however it ends, the index or its failure.
            const auto tell = qScopeGuard(
                [this] { QMetaObject::invokeMethod(this, &SuggestionIndexBuild::take, Qt::QueuedConnection); });
            return make();
        });
    } catch (const std::system_error &) {
        // The system refused the thread: made here, once.
        try {
            m_index = make();
        } catch (...) {
        }
        emit built();
    }
}

SuggestionIndex *SuggestionIndexBuild::wait()
{
    take();
    return m_index.get();
}

void SuggestionIndexBuild::take()
{
    if (!m_building.valid())
        return;
    try {
        m_index = m_building.get();
    } catch (...) {
        // No memory, or a table without names: no suggestions.
    }
    emit built();
}
