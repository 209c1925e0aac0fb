#pragma once

#include <QByteArray>
#include <QCryptographicHash>
#include <QFile>
#include <QString>

// The SHA-256 of a file's bytes, in hexadecimal; empty when it cannot be
// read. Tests take it before and after using a data file to show that
// nothing wrote to it.
inline QByteArray fileFingerprint(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&file);
    return hash.result().toHex();
}
