#pragma once

#include <QString>
#include <stdexcept>

// The one error the commune engine throws. Its message is French and meant
// for the user as it stands.
class DatabaseError : public std::runtime_error
{
public:
    explicit DatabaseError(const QString &message) : std::runtime_error(message.toStdString()), m_message(message) {}

    QString message() const { return m_message; }

private:
    QString m_message;
};

// Said when memory runs out while a data file is opened and read.
inline QString outOfMemoryOpening(const QString &path)
{
    return QStringLiteral("Mémoire insuffisante pour ouvrir « %1 ».").arg(path);
}
