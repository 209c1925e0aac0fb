#pragma once

#include <memory>
#include <mutex>

// An index made from a table the first time it is asked for, then kept with
// the table for as long as the table lives. The table is shared by the
// window and the reading thread, so the making is guarded; a making that
// throws leaves nothing kept, and the next question tries again.
class LazyIndex
{
public:
    template <typename T, typename Make>
    const T &get(Make &&make) const
    {
        const std::lock_guard lock(m_mutex);
        if (!m_value)
            m_value = std::make_shared<const T>(make());
        return *static_cast<const T *>(m_value.get());
    }

private:
    mutable std::mutex m_mutex;
    mutable std::shared_ptr<const void> m_value;
};
