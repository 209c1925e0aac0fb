#include "cli/BatchLookup.h"

#include "cli/BatchInput.h"
#include "cli/OutputFields.h"
#include "cli/RecordWriter.h"
#include "search/FindCommunes.h"
#include "search/PositionSearch.h"
#include "store/SystemError.h"

#include <QFileInfo>
#include <cerrno>

namespace {

QString systemError()
{
    return systemErrorText(errno);
}

// Which of the postal code and the département given held, as the field
// contrainte says it; empty when none was given.
QString heldWords(SearchMatches::Held held)
{
    switch (held) {
    case SearchMatches::Held::NoneGiven:
        break;
    case SearchMatches::Held::PostcodeAndDepartement:
        return QStringLiteral("code postal et département");
    case SearchMatches::Held::PostcodeOnly:
        return QStringLiteral("code postal seul");
    case SearchMatches::Held::DepartementOnly:
        return QStringLiteral("département seul");
    case SearchMatches::Held::Neither:
        return QStringLiteral("aucune");
    }
    return {};
}

// What the batch says of a query: the first commune kept, how many there
// are, how they were found and which constraints held.
Answer lookUp(SearchTables &tables, const QString &query, const Constraints &constraints)
{
    Answer answer;
    answer.query = query;
    answer.date = constraints.date.trimmed();
    if (query.trimmed().isEmpty()) {
        answer.status = BatchStatus::empty;
        return answer;
    }
    const std::optional<Query> made = Query::make(query, constraints);
    if (!made) {
        answer.status = BatchStatus::refused;
        return answer;
    }
    const SearchMatches found = findCommunes(tables, *made);

    // The nearest commune is no answer where there is none (a square or a
    // point at sea).
    if (found.count() == 0 || noCommuneAtPlace(tables.communes(), found)) {
        answer.status = BatchStatus::none;
        return answer;
    }
    answer = answerOf(tables, found, 0);
    addDateFields(tables, found.match(0), *made, answer);
    // Coordinates find the communes nearest first: the first is the one there.
    if (found.match(0).kind == MatchKind::Coordinates)
        answer.count = 1;
    answer.query = query;
    answer.date = constraints.date.trimmed();
    answer.held = heldWords(found.held());
    answer.status = isOtherName(found.match(0).kind) ? BatchStatus::otherName
                    : answer.count > 1               ? BatchStatus::homonyms
                                                     : BatchStatus::found;
    return answer;
}

// Where the input's columns are: the query's, and those that break ties.
struct InputLayout
{
    bool csv = false;
    QChar separator = QLatin1Char('\t');
    QStringList header;
    qsizetype query = 0;
    qsizetype postcode = -1;
    qsizetype departement = -1;
    qsizetype date = -1;
};

// Reads a CSV's header line and finds the columns named on the command line.
std::optional<InputLayout> readHeader(LineReader &reader, const CommandLine &line, QString *error)
{
    InputLayout layout;
    if (line.queryColumn.isNull())
        return layout; // plain lines
    layout.csv = true;
    QByteArray bytes;
    bool broken = false;
    if (!reader.nextRecord(&bytes, &broken)) {
        *error = QStringLiteral("« %1 » n'a pas de ligne d'en-tête").arg(line.batchInput);
        return std::nullopt;
    }
    if (broken) {
        *error = QStringLiteral("la ligne d'en-tête de « %1 » a un guillemet non fermé").arg(line.batchInput);
        return std::nullopt;
    }
    const QString text = decodeLine(bytes);
    layout.separator = QLatin1Char(reader.separator());
    layout.header = parseCsvRecord(text, layout.separator).fields;
    const std::pair<const QString *, qsizetype *> wanted[] = {{&line.queryColumn, &layout.query},
                                                              {&line.postcodeColumn, &layout.postcode},
                                                              {&line.departementColumn, &layout.departement},
                                                              {&line.dateColumn, &layout.date}};
    for (const auto &[name, index] : wanted) {
        if (name->isNull())
            continue;
        *index = findColumn(layout.header, *name);
        if (*index < 0) {
            *error = QStringLiteral("la colonne « %1 » n'est pas dans l'en-tête de « %2 » (%3)")
                         .arg(*name, line.batchInput, describeHeader(layout.header));
            return std::nullopt;
        }
    }
    return layout;
}

// The input record's own fields and the answer's, or why the record is
// unreadable.
struct InputRecord
{
    QStringList fields;
    QString query;
    QString postcode;
    QString departement;
    QString date;
    QString fault;
};

InputRecord splitRecord(const QByteArray &bytes, bool broken, const InputLayout &layout)
{
    InputRecord record;
    const QString text = decodeLine(bytes);
    if (!layout.csv) {
        record.query = text;
        if (broken)
            record.fault = QStringLiteral("ligne de plus de %1 octets").arg(LineReader::MaxLineBytes);
        return record;
    }
    CsvRecord csv = parseCsvRecord(text, layout.separator);
    if (broken)
        record.fault =
            QStringLiteral("guillemet non fermé ou enregistrement de plus de %1 octets").arg(LineReader::MaxLineBytes);
    else if (!csv.wellFormed)
        record.fault = QStringLiteral("guillemets mal placés");
    else if (csv.fields.size() > layout.header.size())
        record.fault = QStringLiteral("%1 champs pour %2 colonnes").arg(csv.fields.size()).arg(layout.header.size());
    csv.fields.resize(layout.header.size());
    record.fields = csv.fields;
    record.query = csv.fields.value(layout.query);
    record.postcode = csv.fields.value(layout.postcode);
    record.departement = csv.fields.value(layout.departement);
    record.date = csv.fields.value(layout.date);
    return record;
}

std::vector<JsonShape> numberFlags(qsizetype inputColumns, const std::vector<OutputField> &fields)
{
    std::vector<JsonShape> shapes(size_t(inputColumns), JsonShape::Text);
    for (const OutputField &field : fields)
        shapes.push_back(field.shape);
    return shapes;
}

// The output's field names: the input's own, renamed where they clash (told
// on `err`), then the results'.
QStringList outputHeader(const QStringList &input, const std::vector<OutputField> &fields, const QString &inputName,
                         std::FILE *err)
{
    QStringList renamed;
    const QStringList names = uniqueInputNames(input, fieldNames(fields), &renamed);
    if (!renamed.isEmpty())
        std::fprintf(err, "topovil : %s : colonnes renommées dans la sortie : %s\n",
                     inputName.toLocal8Bit().constData(), renamed.join(QStringLiteral(", ")).toUtf8().constData());
    return names + fieldNames(fields);
}

class BatchCommand : public Command
{
public:
    BatchCommand(const CommandLine &line, std::FILE *in, std::FILE *err) : m_line(line), m_in(in), m_err(err) {}
    ~BatchCommand() override
    {
        if (m_opened)
            std::fclose(m_opened);
    }

    QString prepare() override
    {
        if (m_line.batchInput != QLatin1String("-")) {
            if (QFileInfo(m_line.batchInput).isDir())
                return QStringLiteral("« %1 » est un dossier, pas un fichier à lire").arg(m_line.batchInput);
            m_opened = std::fopen(QFile::encodeName(m_line.batchInput).constData(), "rb");
            if (!m_opened)
                return QStringLiteral("« %1 » ne peut pas être lu : %2").arg(m_line.batchInput, systemError());
            m_in = m_opened;
        }
        m_reader.emplace(m_in);
        if (m_reader->startsAsUtf16())
            return utf16Refusal(m_line.batchInput);
        if (!m_line.dateText.isNull() && !parseDatePeriod(m_line.dateText))
            return QStringLiteral("date invalide : « %1 » (AAAA, AAAA-MM ou AAAA-MM-JJ)").arg(m_line.dateText);
        QString why;
        m_layout = readHeader(*m_reader, m_line, &why);
        return why;
    }

    RecordWriter::Kind writerKind() const override
    {
        // A tab-separated input gets tab-separated lines back.
        const bool csv = m_layout->csv && m_layout->separator != u'\t';
        return writerKindOf(m_line.format, csv ? RecordWriter::Kind::Csv : RecordWriter::Kind::Tsv);
    }
    // A pipe gets each answer as soon as its line is read.
    bool flushEachRecord() const override { return !isRegularFile(m_in); }
    QChar separator() const override { return m_layout->separator; }

    int run(SearchTables &tables, RecordWriter &writer) override
    {
        const bool dated = !m_line.dateText.isNull() || !m_line.dateColumn.isNull();
        if (dated && !tables.states().available()) {
            failure = QStringLiteral("ce fichier de données ne dit pas l'histoire des communes : une date demande la "
                                     "table livrée avec Topovil");
            return 0;
        }
        tables.indexNames();
        const CommuneColumns columns(tables.communes());
        std::vector<OutputField> fields = batchFields();
        if (dated)
            fields.insert(fields.end(), dateFields().begin(), dateFields().end());
        writer.setFields(outputHeader(m_layout->header, fields, m_line.batchInput, m_err),
                         numberFlags(m_layout->header.size(), fields), true);
        int found = 0;
        QByteArray bytes;
        bool broken = false;
        while (writer.ok()
               && (m_layout->csv ? m_reader->nextRecord(&bytes, &broken) : m_reader->next(&bytes, &broken))) {
            const InputRecord record = splitRecord(bytes, broken, *m_layout);
            Answer answer;
            if (record.fault.isEmpty()) {
                const QString date = record.date.trimmed().isEmpty() ? m_line.dateText : record.date;
                answer = lookUp(tables, record.query, {record.postcode, record.departement, date});
            } else {
                answer.query = record.query;
                answer.status = BatchStatus::unreadable;
                std::fprintf(m_err, "topovil : %s, ligne %lld : %s\n", m_line.batchInput.toLocal8Bit().constData(),
                             m_reader->lineNumber(), record.fault.toUtf8().constData());
            }
            found += answer.row >= 0;
            writer.write(record.fields + fieldTexts(fields, columns, answer));
        }
        return found;
    }

    QString afterOutput() override
    {
        if (!m_reader->failed())
            return {};
        return QStringLiteral("« %1 » ne peut pas être lu jusqu'au bout : %2").arg(m_line.batchInput, systemError());
    }

private:
    const CommandLine &m_line;
    std::FILE *m_in;
    std::FILE *m_err;
    std::FILE *m_opened = nullptr;
    std::optional<LineReader> m_reader;
    std::optional<InputLayout> m_layout;
};

} // namespace

std::unique_ptr<Command> batchCommand(const CommandLine &line, std::FILE *in, std::FILE *err)
{
    return std::make_unique<BatchCommand>(line, in, err);
}

CommandResult runBatch(const CommandLine &line, const QString &dataPath, std::FILE *in, std::FILE *out, std::FILE *err)
{
    BatchCommand command(line, in, err);
    return runCommand(command, dataPath, out);
}
