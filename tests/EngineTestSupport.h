#pragma once

#include "store/CommuneDatabase.h"
#include "store/DatabaseError.h"
#include "store/DatabaseFile.h"

#include <QStringList>
#include <memory>

// What the engine tests of both backends read from a commune table.
inline const QStringList InseeFields = [] {
    QStringList fields;
    for (const char *field : communeFields)
        fields << QLatin1String(field);
    return fields;
}();

// The message met while opening the file and reading every field of insee1
// as text; empty when all of it went through.
inline QString refusal(const QString &path)
{
    try {
        std::unique_ptr<Database> db = openDatabase(path);
        for (Recordset rows = db->openRecordset("insee1"); !rows.isEof(); rows.moveNext())
            for (const QString &field : InseeFields)
                rows.fieldText(field);
    } catch (const DatabaseError &error) {
        return error.message();
    }
    return {};
}
