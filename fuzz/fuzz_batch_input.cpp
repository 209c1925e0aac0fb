// Reads fuzzed bytes as the batch mode's input, plain lines or CSV records
// as byte 0 chooses (even: lines, odd: records), and checks that no line is
// lost or given twice: each record starts on the line after the last one
// the previous record took, and the last ends on the input's last line,
// counted apart here (LF, CRLF and a lone CR each end one). Every record is
// then decoded and split as the batch does; a crash or a sanitizer report
// is a finding too.

#include "cli/BatchInput.h"

#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

qint64 countLines(const QByteArray &bytes)
{
    qint64 lines = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n' || (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n')))
            ++lines;
    }
    return lines + (!bytes.isEmpty() && !bytes.endsWith('\n') && !bytes.endsWith('\r'));
}

[[noreturn]] void lost(const char *what, qint64 expected, qint64 found)
{
    std::fprintf(stderr, "%s: line %lld expected, %lld found\n", what, static_cast<long long>(expected),
                 static_cast<long long>(found));
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const bool records = data[0] % 2 == 1;
    QByteArray input(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    std::FILE *in = fmemopen(input.data(), size_t(input.size()), "r");
    if (!in)
        return 0;
    LineReader reader(in);
    QByteArray record;
    bool broken = false;
    qint64 next = 1;
    while (records ? reader.nextRecord(&record, &broken) : reader.next(&record, &broken)) {
        if (reader.lineNumber() != next)
            lost("record", next, reader.lineNumber());
        next += records && !broken ? record.count('\n') + 1 : 1;
        const QString text = decodeLine(record);
        if (records)
            parseCsvRecord(text, QLatin1Char(reader.separator()));
    }
    std::fclose(in);
    if (next != countLines(input) + 1)
        lost("end", countLines(input) + 1, next);
    return 0;
}
