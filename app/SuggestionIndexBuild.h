#pragma once

#include "names/Suggestions.h"

#include <QObject>
#include <memory>

// The suggestion index, made on a thread of its own: on a large table it
// takes seconds, and typing must never wait for it. `built` is told on the
// window's thread when it is there. The thread is not waited for when this
// object goes (the window closed, another file opened): it ends with the
// process, or on its own, and what it made is dropped.
class SuggestionIndexBuild : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~SuggestionIndexBuild() override;

    // Starts making the index, unless it is made or being made. Nothing is
    // made when it would take the table past the memory it was allowed.
    void start(const Recordset &communes, const Recordset &others);
    bool isBuilding() const { return m_shared != nullptr; }
    // The index once made; null before, and when it could not be made.
    SuggestionIndex *index() const { return m_index.get(); }
    // The index, waiting for it if it is being made.
    SuggestionIndex *wait();

signals:
    void built();

private:
    struct Shared;

    void take();

    std::shared_ptr<Shared> m_shared; // while the thread makes the index
    std::unique_ptr<SuggestionIndex> m_index;
    bool m_started = false;
};
