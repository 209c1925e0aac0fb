#include "app/SuggestionIndexBuild.h"

#include "store/TableData.h"

#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

// What the thread and this object share: the thread outlives the object
// when the window quits during the build, so it holds this, not the object.
struct SuggestionIndexBuild::Shared
{
    std::mutex mutex;
    std::condition_variable finished;
    SuggestionIndexBuild *owner = nullptr; // null once the object is gone
    bool done = false;
    std::unique_ptr<SuggestionIndex> index; // null when it could not be made
};

SuggestionIndexBuild::~SuggestionIndexBuild()
{
    if (m_shared) {
        const std::lock_guard lock(m_shared->mutex);
        m_shared->owner = nullptr;
    }
}

void SuggestionIndexBuild::start(const Recordset &communes, const Recordset &others)
{
    if (m_started || !communes.table())
        return;
    m_started = true;
    const TableData &table = *communes.table();
    if (table.memoryBytes() + SuggestionIndex::expectedBytes(communes, others) > table.memoryLimit)
        return; // no suggestions rather than a table past its limit
    const auto make = [communes, others]() -> std::unique_ptr<SuggestionIndex> {
        try {
            return std::make_unique<SuggestionIndex>(communes, others);
        } catch (...) {
            return nullptr; // no memory, or a table without names: no suggestions
        }
    };
    auto shared = std::make_shared<Shared>();
    shared->owner = this;
    try {
        std::thread([shared, make] {
            std::unique_ptr<SuggestionIndex> index = make();
            const std::lock_guard lock(shared->mutex);
            shared->index = std::move(index);
            shared->done = true;
            shared->finished.notify_all();
            // Under the lock, the owner cannot go meanwhile; a deleted
            // object's queued calls are dropped with it.
            if (shared->owner)
                QMetaObject::invokeMethod(shared->owner, &SuggestionIndexBuild::take, Qt::QueuedConnection);
        }).detach();
        m_shared = std::move(shared);
    } catch (const std::system_error &) {
        // The system refused the thread: made here, once.
        m_index = make();
        emit built();
    }
}

SuggestionIndex *SuggestionIndexBuild::wait()
{
    if (m_shared) {
        std::unique_lock lock(m_shared->mutex);
        m_shared->finished.wait(lock, [this] { return m_shared->done; });
    }
    take();
    return m_index.get();
}

void SuggestionIndexBuild::take()
{
    if (!m_shared)
        return;
    {
        const std::lock_guard lock(m_shared->mutex);
        if (!m_shared->done)
            return;
        m_index = std::move(m_shared->index);
        m_shared->owner = nullptr;
    }
    m_shared.reset();
    emit built();
}
