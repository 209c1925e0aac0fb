#pragma once

#include <QByteArray>
#include <cstdio>

// Everything written to a temporary file, read back from its start.
inline QByteArray readAll(std::FILE *file)
{
    std::rewind(file);
    QByteArray bytes;
    char chunk[4096];
    for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;)
        bytes.append(chunk, qsizetype(n));
    return bytes;
}
