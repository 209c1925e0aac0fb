#pragma once

#include "store/Database.h"

#include <QByteArray>
#include <memory>

// Whether the first bytes of a file are those of a Jet or ACE database: a
// zero, then the engine's name at byte 4.
bool hasJetSignature(const QByteArray &head);

// An Access/Jet file (.mdb, Jet 3 and 4; .accdb) read with libmdb, read-only.
// The file is checked for the shape of an Access file before libmdb sees it,
// and every row is checked as it is read, so that a damaged or truncated copy
// gives a DatabaseError rather than a crash or a silently shortened table.
class JetDatabase : public Database
{
public:
    explicit JetDatabase(const QString &path);
    ~JetDatabase() override;

protected:
    TableData readTable(const QString &tableName, size_t maxRows, const std::atomic<bool> &stop) override;
    void releaseFile() override;

private:
    struct Handle; // the libmdb handle, which also holds the catalog
    std::unique_ptr<Handle> m_handle;
};
