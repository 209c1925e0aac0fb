#pragma once

#include "StreamText.h"
#include "cli/BatchInput.h"
#include "cli/CommandLineCommand.h"
#include "store/DataFileLocation.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

// A command line run in the test's own process, as the program runs it:
// its status, its output, its message (without the program's name), and
// its records read by the header's field names.
struct CommandLineRun
{
    int status = -1;
    QString out;
    QString err;
    QStringList header;
    QList<QStringList> records;

    // The field `name` of record `index`; empty when there is no such record.
    QString field(int index, const QString &name) const
    {
        const qsizetype at = header.indexOf(name);
        return at < 0 ? QString() : records.value(index).value(at);
    }
    // The fields named, of every record, tab-separated, a line each.
    QString lines(const QStringList &names) const
    {
        QString text;
        for (int i = 0; i < records.size(); ++i) {
            QStringList fields;
            for (const QString &name : names)
                fields << field(i, name);
            text += fields.join(QLatin1Char('\t')) + QLatin1Char('\n');
        }
        return text;
    }
};

// `arguments` without the program's name; `input` is what a batch reads
// for « - ». Every output but JSON is written with its header line.
inline CommandLineRun runCommandLine(const QStringList &arguments, QByteArray input = {})
{
    CommandLineRun run;
    CommandLine line = CommandLine::parse(arguments);
    if (line.action == CommandLine::Action::Error) {
        run.status = 2;
        run.err = line.error;
        return run;
    }
    line.header = true;
    const QString data = !line.dataFile.isEmpty()
                             ? line.dataFile
                             : findDataFile(DataFilePlaces::fromEnvironment(QCoreApplication::applicationDirPath()));
    std::FILE *in = input.isEmpty() ? std::fopen("/dev/null", "r") : fmemopen(input.data(), size_t(input.size()), "r");
    std::FILE *out = std::tmpfile();
    std::FILE *err = std::tmpfile();
    const CommandResult result = runCommand(*commandOf(line.action).make(line, in, err), data, out);
    run.status = result.status();
    run.out = QString::fromUtf8(readAll(out));
    run.err = QString::fromUtf8(readAll(err)) + result.err;
    for (std::FILE *file : {in, out, err})
        std::fclose(file);
    const QStringList lines = run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    if (line.format == CommandLine::Format::Json || lines.isEmpty())
        return run;
    const QChar separator = line.format == CommandLine::Format::Csv || line.action == CommandLine::Action::Batch
                                ? detectSeparator(lines.first())
                                : QLatin1Char('\t');
    run.header = parseCsvRecord(lines.first(), separator).fields;
    for (const QString &record : lines.mid(1))
        run.records << (separator == QLatin1Char('\t') ? record.split(separator)
                                                       : parseCsvRecord(record, separator).fields);
    return run;
}
