#include "store/FileSize.h"

#include <QFile>

#include <algorithm>
#include <sys/stat.h>

qint64 storedFileSize(const QString &path)
{
    struct stat info
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return -1;
    return std::min<qint64>(info.st_size, qint64(info.st_blocks) * 512);
}
