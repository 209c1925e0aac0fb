#include "cli/BatchLookup.h"

#include "cli/BatchInput.h"
#include "cli/OutputFields.h"
#include "cli/RecordWriter.h"
#include "names/Suggestions.h"
#include "search/FindCommunes.h"
#include "search/Lookup.h"
#include "store/SystemError.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <cerrno>
#include <numeric>

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

// The matches' order for a batch: the communes found by their own name or
// code before those found by another name, as the search lists them, and
// within each the most populous first, ties in the table's order (the window
// keeps the search's order throughout).
std::vector<int> byPopulation(const CommuneColumns &columns, const SearchMatches &found)
{
    std::vector<int> order(size_t(found.count()));
    std::iota(order.begin(), order.end(), 0);
    if (columns.population < 0)
        return order;
    const Column &population = columns.records.column(columns.population);
    const auto of = [&](int index) -> qlonglong {
        const auto row = size_t(found.match(index).row);
        if (population.kind(row) == Column::Kind::Integer)
            return population.integer(row);
        const QVariant value = population.value(row);
        return value.isNull() ? -1 : value.toLongLong();
    };
    const auto byOtherName = [&](int index) { return isOtherName(found.match(index).kind); };
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        if (byOtherName(a) != byOtherName(b))
            return !byOtherName(a);
        return of(a) > of(b);
    });
    return order;
}

// Why the answer needed a repair, every reason in French.
QString reasonOf(const Query &query, const Match &match, const Answer &answer)
{
    const QString &given = query.constraints().postcode;
    const bool otherArrondissement = match.kind == MatchKind::Arrondissement && !given.isEmpty() && match.code != given;
    if (!query.postcodeZeroAdded() && !otherArrondissement)
        return answer.reason; // nearly every line
    QStringList reasons;
    if (query.postcodeZeroAdded())
        reasons << QStringLiteral("code postal sans son 0");
    if (!answer.reason.isEmpty())
        reasons << answer.reason;
    if (otherArrondissement)
        reasons << QStringLiteral("code d'un autre arrondissement");
    return reasons.join(QStringLiteral(", "));
}

// The names a line that found nothing may mean, as the window proposes
// them after a search.
QString suggestionNames(const CommuneColumns &columns, const std::vector<Suggestion> &suggestions)
{
    QStringList names;
    for (const Suggestion &suggestion : suggestions) {
        const QString name = communeWithPlace(columns, suggestion.row, {});
        if (!names.contains(name))
            names << name;
    }
    return names.join(QStringLiteral(" ; "));
}

// What the batch says of a query: the first commune kept, how many there
// are, how they were found and which constraints held.
Answer lookUpLine(SearchTables &tables, const CommuneColumns &columns, const QString &query,
                  const Constraints &constraints)
{
    Answer answer;
    answer.query = query;
    answer.date = constraints.date.trimmed();
    if (query.trimmed().isEmpty()) {
        answer.fault = LineFault::Empty;
        return answer;
    }
    const Lookup answered = lookUp(tables, query, constraints);
    answer.outcome = answered.outcome;
    if (answered.outcome == Outcome::Refused) {
        answer.reason = answered.why;
        return answer;
    }
    if (answered.outcome == Outcome::None) {
        answer.suggestions = suggestionNames(columns, answered.suggestions);
        return answer;
    }
    // The nearest commune is no answer where there is none (a square or a
    // point at sea).
    if (answered.outcome == Outcome::NothingHere)
        return answer;
    const SearchMatches &found = answered.matches;
    // Coordinates find the communes nearest first: the first is the one there.
    const bool coordinates = found.match(0).kind == MatchKind::Coordinates;
    const std::vector<int> order = coordinates ? std::vector<int>{0} : byPopulation(columns, found);
    const Match &best = found.match(order.front());
    const Query &made = *answered.query;
    answer = answerOf(tables, columns, found, order.front());
    addDateFields(tables, best, made, answer);
    if (coordinates)
        answer.count = 1;
    answer.query = query;
    answer.outcome = answered.outcome;
    answer.date = constraints.date.trimmed();
    answer.held = heldWords(found.held());
    answer.reason = reasonOf(made, best, answer);
    for (const int next : order) {
        if (found.match(next).row != best.row) {
            answer.runnerUp = communeWithPlace(columns, found.match(next).row, found.postcode(next));
            break;
        }
    }
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
std::optional<InputLayout> readHeader(LineReader &reader, const CommandLine &line, QByteArray *headerBytes,
                                      QString *error)
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
    *headerBytes = bytes;
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

// Whether every line of the file is UTF-8, read apart from the batch's own
// reading so that the output's encoding is known before its first line.
bool isUtf8File(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return true;
    QStringDecoder utf8(QStringDecoder::Utf8);
    while (!file.atEnd()) {
        const QByteArray chunk = file.read(1 << 20);
        if (chunk.isEmpty())
            break;
        const QString text = utf8.decode(chunk); // decoded only when made a QString
        if (utf8.hasError())
            return false;
    }
    return true;
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
        m_layout = readHeader(*m_reader, m_line, &m_headerBytes, &why);
        if (m_layout)
            chooseOutputForm();
        return why;
    }

    RecordWriter::Kind writerKind() const override
    {
        // A tab-separated input gets tab-separated lines back.
        const bool csv = m_layout->csv && m_layout->separator != u'\t';
        return writerKindOf(m_line.format, csv ? RecordWriter::Kind::Csv : RecordWriter::Kind::Tsv);
    }
    bool inputWouldWait() const override { return m_reader->wouldWait(); }
    QChar separator() const override { return m_layout->separator; }

    int run(SearchTables &tables, RecordWriter &writer) override
    {
        const bool dated = !m_line.dateText.isNull() || !m_line.dateColumn.isNull();
        if (dated && !tables.states().available()) {
            failure = dateNeedsHistory();
            return 0;
        }
        tables.indexNames();
        const CommuneColumns columns(tables.communes());
        std::vector<OutputField> fields = batchFields();
        if (dated)
            fields.insert(fields.end(), dateFields().begin(), dateFields().end());
        writer.setEncoding(m_encoding);
        writer.setLineEnd(m_lineEnd);
        writer.setFields(outputHeader(m_layout->header, fields, m_line.batchInput, m_err),
                         numberFlags(m_layout->header.size(), fields), true);
        tellUnencodable(writer, 1);
        int found = 0;
        QByteArray bytes;
        bool broken = false;
        while (writer.ok()
               && (m_layout->csv ? m_reader->nextRecord(&bytes, &broken) : m_reader->next(&bytes, &broken))) {
            const InputRecord record = splitRecord(bytes, broken, *m_layout);
            Answer answer;
            if (record.fault.isEmpty()) {
                const QString date = record.date.trimmed().isEmpty() ? m_line.dateText : record.date;
                answer = lookUpLine(tables, columns, record.query, {record.postcode, record.departement, date});
            } else {
                answer.query = record.query;
                answer.fault = LineFault::Unreadable;
                std::fprintf(m_err, "topovil : %s, ligne %lld : %s\n", m_line.batchInput.toLocal8Bit().constData(),
                             m_reader->lineNumber(), record.fault.toUtf8().constData());
            }
            found += answer.row >= 0;
            QStringList line = record.fields;
            appendFieldTexts(line, fields, columns, answer);
            writer.write(line);
            tellUnencodable(writer, m_reader->lineNumber());
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
    // A CSV gets its file back as it came: in Windows-1252 when a line of it
    // is not UTF-8 (a pipe's first line decides: the rest is not read yet),
    // its lines ending as its first does. --encodage decides otherwise.
    void chooseOutputForm()
    {
        if (!m_layout->csv)
            return;
        m_lineEnd = m_reader->firstLineEnd();
        switch (m_line.encoding) {
        case CommandLine::Encoding::Utf8:
            return;
        case CommandLine::Encoding::Windows1252:
            m_encoding = RecordWriter::Encoding::Windows1252;
            return;
        case CommandLine::Encoding::FromInput:
            break;
        }
        const bool utf8 = m_opened ? isUtf8File(m_line.batchInput) : isUtf8(m_headerBytes);
        if (!utf8)
            m_encoding = RecordWriter::Encoding::Windows1252;
    }

    void tellUnencodable(RecordWriter &writer, qint64 lineNumber)
    {
        if (const QString characters = writer.takeUnencodable(); !characters.isEmpty())
            std::fprintf(m_err, "topovil : %s, ligne %lld : %s ne s'écrit pas en Windows-1252, écrit « ? »\n",
                         m_line.batchInput.toLocal8Bit().constData(), lineNumber,
                         QStringLiteral("« %1 »").arg(characters).toUtf8().constData());
    }

    const CommandLine &m_line;
    std::FILE *m_in;
    std::FILE *m_err;
    std::FILE *m_opened = nullptr;
    std::optional<LineReader> m_reader;
    std::optional<InputLayout> m_layout;
    RecordWriter::Encoding m_encoding = RecordWriter::Encoding::Utf8;
    QByteArray m_lineEnd = "\n";
    QByteArray m_headerBytes;
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
