#pragma once

#include "search/Suggestions.h"

#include <QObject>
#include <future>
#include <memory>

// The suggestion index, made on a thread of its own: on a large table it
// takes seconds, and typing must never wait for it. `built` is told on the
// window's thread when it is there.
class SuggestionIndexBuild : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~SuggestionIndexBuild() override;

    // Starts making the index, unless it is made or being made. Nothing is
    // made when it would take the table past the memory it was allowed.
    void start(const Recordset &communes, const Recordset &others);
    bool isBuilding() const { return m_building.valid(); }
    // The index once made; null before, and when it could not be made.
    SuggestionIndex *index() const { return m_index.get(); }
    // The index, waiting for it if it is being made.
    SuggestionIndex *wait();

signals:
    void built();

private:
    void take();

    std::future<std::unique_ptr<SuggestionIndex>> m_building;
    std::unique_ptr<SuggestionIndex> m_index;
    bool m_started = false;
};
