#pragma once

#include <QString>

// The bytes a file really holds on disk: its size, unless it is sparse, in
// which case only the blocks actually stored count. -1 when it cannot be read.
// Limits derived from a file's size use this, so that a file full of holes
// cannot claim a size it does not have.
qint64 storedFileSize(const QString &path);
