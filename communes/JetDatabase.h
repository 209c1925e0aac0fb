#pragma once

#include "communes/Database.h"

#include <memory>

class JetFile;

// An Access/Jet file (.mdb, Jet 3 and 4; .accdb) read with libmdb, read-only.
class JetDatabase : public Database
{
public:
    explicit JetDatabase(const QString &path);
    ~JetDatabase() override;

protected:
    TableData readTable(const QString &tableName) override;
    void releaseFile() override;

private:
    std::unique_ptr<JetFile> m_file; // the libmdb handle and its catalog
};
