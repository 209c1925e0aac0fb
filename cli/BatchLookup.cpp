#include "cli/BatchLookup.h"

#include "cli/BatchInput.h"
#include "cli/OutputFields.h"
#include "cli/RecordWriter.h"
#include "search/FindCommunes.h"
#include "search/NameIndex.h"
#include "store/CommuneDatabase.h"
#include "store/CommunePostcodes.h"
#include "store/DatabaseError.h"
#include "store/NameFolding.h"

#include <QFileInfo>
#include <cerrno>
#include <optional>

namespace {

QString systemError()
{
    switch (errno) {
    case ENOENT:
        return QStringLiteral("fichier introuvable");
    case EACCES:
        return QStringLiteral("accès refusé");
    case EISDIR:
        return QStringLiteral("c'est un dossier");
    default:
        return QStringLiteral("erreur système %1").arg(errno);
    }
}

// « 1 » and « 01 » are the same département; « 2a » is 2A.
QString departementKey(const QString &text)
{
    QString key = text.trimmed().toUpper();
    if (key.size() == 1 && key[0].isDigit())
        key.prepend(QLatin1Char('0'));
    return key;
}

// One search of the batch, on a table read once.
class BatchSearcher
{
public:
    BatchSearcher(Database &db, const Recordset &records)
        : m_db(db), m_records(records), m_columns(records), m_names(records)
    {
    }

    const CommuneColumns &columns() const { return m_columns; }

    Answer lookUp(const QString &query, const QString &postcode, const QString &departement)
    {
        Answer answer;
        answer.query = query;
        if (query.trimmed().isEmpty()) {
            answer.status = BatchStatus::empty;
            return answer;
        }
        // The window searches the upper-cased text; so does the batch.
        const QString typed = query.toUpper();
        const std::optional<NamePattern> pattern = NamePattern::compile(typed);
        if (!pattern) {
            answer.status = BatchStatus::refused;
            return answer;
        }
        const SearchMatches found = findCommunes(m_db, m_records, *pattern, typed, &m_names);
        const std::vector<int> chosen = breakTies(found, postcode, departement);
        if (chosen.empty()) {
            answer.status = BatchStatus::none;
            return answer;
        }
        const int first = chosen.front();
        answer.row = found.rows()[size_t(first)];
        answer.count = int(chosen.size());
        answer.code = found.code(first);
        answer.other = found.otherName(first);
        answer.status = !answer.other.name.isEmpty() ? BatchStatus::otherName
                        : answer.count > 1           ? BatchStatus::homonyms
                                                     : BatchStatus::found;
        return answer;
    }

private:
    // The matches that the postal code and the département given keep; all of
    // them when these keep none (a code mistyped does not hide the commune).
    std::vector<int> breakTies(const SearchMatches &found, const QString &postcode, const QString &departement)
    {
        std::vector<int> all;
        std::vector<int> kept;
        const QString code = postcode.trimmed();
        const QString number = departementKey(departement);
        const QString name = foldName(departement);
        for (int i = 0; i < found.count(); ++i) {
            all.push_back(i);
            const int row = found.rows()[size_t(i)];
            if (!code.isEmpty() && code != found.code(i) && !postalCodesOf(row).contains(code))
                continue;
            if (!number.isEmpty() && number != departementNumber(m_columns, row)
                && name != foldName(m_records.column(m_columns.departement).value(size_t(row)).toString()))
                continue;
            kept.push_back(i);
        }
        return kept.empty() || (code.isEmpty() && number.isEmpty()) ? all : kept;
    }

    // Every postal code of a commune: those of table codes_postaux when the
    // file has it (the shipped store), and its codepos.
    QStringList postalCodesOf(int row)
    {
        if (!m_codes)
            m_codes = CommunePostcodes::read(m_db, m_records.recordCount());
        return m_codes->of(row, m_records.column(m_columns.codepos).value(size_t(row)).toString());
    }

    Database &m_db;
    const Recordset &m_records;
    CommuneColumns m_columns;
    NameIndex m_names;
    std::optional<CommunePostcodes> m_codes;
};

// Where the input's columns are: the query's, and those that break ties.
struct InputLayout
{
    bool csv = false;
    QChar separator = QLatin1Char('\t');
    QStringList header;
    qsizetype query = 0;
    qsizetype postcode = -1;
    qsizetype departement = -1;
};

qsizetype columnNamed(const QStringList &header, const QString &name)
{
    qsizetype index = header.indexOf(name);
    for (qsizetype i = 0; index < 0 && i < header.size(); ++i) {
        if (header[i].trimmed().compare(name.trimmed(), Qt::CaseInsensitive) == 0)
            index = i;
    }
    return index;
}

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
    const QString text = decodeLine(bytes);
    layout.separator = detectSeparator(text);
    layout.header = parseCsvRecord(text, layout.separator).fields;
    const std::pair<const QString *, qsizetype *> wanted[] = {{&line.queryColumn, &layout.query},
                                                              {&line.postcodeColumn, &layout.postcode},
                                                              {&line.departementColumn, &layout.departement}};
    for (const auto &[name, index] : wanted) {
        if (name->isNull())
            continue;
        *index = columnNamed(layout.header, *name);
        if (*index < 0) {
            *error = QStringLiteral("la colonne « %1 » n'est pas dans l'en-tête de « %2 » (%3)")
                         .arg(*name, line.batchInput, layout.header.join(QStringLiteral(", ")));
            return std::nullopt;
        }
    }
    return layout;
}

RecordWriter::Kind writerKind(const CommandLine &line, const InputLayout &layout)
{
    switch (line.format) {
    case CommandLine::Format::Json:
        return RecordWriter::Kind::Json;
    case CommandLine::Format::Csv:
        return RecordWriter::Kind::Csv;
    case CommandLine::Format::Tsv:
        return RecordWriter::Kind::Tsv;
    case CommandLine::Format::Default:
        break;
    }
    return layout.csv ? RecordWriter::Kind::Csv : RecordWriter::Kind::Tsv;
}

// The input record's own fields and the answer's, or why the record is
// unreadable.
struct InputRecord
{
    QStringList fields;
    QString query;
    QString postcode;
    QString departement;
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
    return record;
}

std::vector<bool> numberFlags(qsizetype inputColumns, const std::vector<OutputField> &fields)
{
    std::vector<bool> numbers(size_t(inputColumns), false);
    for (const OutputField &field : fields)
        numbers.push_back(field.number);
    return numbers;
}

} // namespace

BatchResult runBatch(const CommandLine &line, const QString &dataPath, std::FILE *in, std::FILE *out, std::FILE *err)
{
    std::FILE *opened = nullptr;
    if (line.batchInput != QLatin1String("-")) {
        if (QFileInfo(line.batchInput).isDir())
            return {2, QStringLiteral("« %1 » est un dossier, pas un fichier à lire").arg(line.batchInput)};
        opened = std::fopen(QFile::encodeName(line.batchInput).constData(), "rb");
        if (!opened)
            return {2, QStringLiteral("« %1 » ne peut pas être lu : %2").arg(line.batchInput, systemError())};
        in = opened;
    }
    struct Closer
    {
        std::FILE *file;
        ~Closer()
        {
            if (file)
                std::fclose(file);
        }
    } closer{opened};

    LineReader reader(in);
    QString why;
    const std::optional<InputLayout> layout = readHeader(reader, line, &why);
    if (!layout)
        return {2, why};
    int found = 0;
    RecordWriter writer(out, writerKind(line, *layout), layout->separator);
    try {
        const std::unique_ptr<Database> db = openCommuneDatabase(dataPath);
        const Recordset records = db->openRecordset(QStringLiteral("insee1"));
        BatchSearcher searcher(*db, records);
        const std::vector<OutputField> &fields = batchFields();
        writer.setFields(layout->header + fieldNames(fields), numberFlags(layout->header.size(), fields), true);
        QByteArray bytes;
        bool broken = false;
        while (writer.ok() && (layout->csv ? reader.nextRecord(&bytes, &broken) : reader.next(&bytes, &broken))) {
            const InputRecord record = splitRecord(bytes, broken, *layout);
            Answer answer;
            if (record.fault.isEmpty()) {
                answer = searcher.lookUp(record.query, record.postcode, record.departement);
            } else {
                answer.query = record.query;
                answer.status = BatchStatus::unreadable;
                std::fprintf(err, "topovil : %s, ligne %lld : %s\n", line.batchInput.toLocal8Bit().constData(),
                             reader.lineNumber(), record.fault.toUtf8().constData());
            }
            found += answer.row >= 0;
            writer.write(record.fields + fieldTexts(fields, searcher.columns(), answer));
        }
    } catch (const DatabaseError &error) {
        return {2, error.message()};
    } catch (const std::bad_alloc &) {
        return {2, outOfMemoryOpening(dataPath)};
    }
    if (!writer.finish())
        return {2, writer.error()};
    if (reader.failed())
        return {2, QStringLiteral("« %1 » ne peut pas être lu jusqu'au bout : %2").arg(line.batchInput, systemError())};
    return {found > 0 ? 0 : 1, {}};
}
