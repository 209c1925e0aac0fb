#include "cli/CommandLine.h"

#include "cli/OutputFields.h"

#include <algorithm>
#include <optional>

namespace {

using Action = CommandLine::Action;
using Kind = CommandLine::GoesWith::Kind;

QString readAround(CommandLine &line, const QStringList &values)
{
    line.aroundText = values[0];
    line.aroundRadius = values[1];
    return {};
}

QString readFormat(CommandLine &line, const QStringList &values)
{
    static const std::pair<QLatin1String, CommandLine::Format> formats[] = {
        {QLatin1String("tsv"), CommandLine::Format::Tsv},
        {QLatin1String("csv"), CommandLine::Format::Csv},
        {QLatin1String("json"), CommandLine::Format::Json},
    };
    for (const auto &[name, format] : formats) {
        if (values[0] == name) {
            line.format = format;
            return {};
        }
    }
    return QStringLiteral("format inconnu : %1 (tsv, csv ou json)").arg(values[0]);
}

QString readEncoding(CommandLine &line, const QStringList &values)
{
    if (values[0].compare(QLatin1String("utf-8"), Qt::CaseInsensitive) == 0)
        line.encoding = CommandLine::Encoding::Utf8;
    else if (values[0].compare(QLatin1String("windows-1252"), Qt::CaseInsensitive) == 0)
        line.encoding = CommandLine::Encoding::Windows1252;
    else
        return QStringLiteral("encodage inconnu : %1 (utf-8 ou windows-1252)").arg(values[0]);
    return {};
}

QString readHeader(CommandLine &line, const QStringList &)
{
    line.header = true;
    return {};
}

const char *const columnsNeedBatch = "les options --colonne, --colonne-cp et --colonne-dep vont avec --lot";
const char *const columnsNeedColumn = "--colonne-cp et --colonne-dep demandent --colonne";
const char *const formatNeedsCommand =
    "les options --format et --entete vont avec --chercher, --lot, --autour ou --historique";

// clang-format off
const CommandLine::Option optionTable[] = {
    {.names = "--chercher", .value = "TEXTE", .wants = "un texte", .once = true, .asks = Action::Search, .field = &CommandLine::searchText,
     .goesWith = {{Kind::NotWith, "--lot", "--chercher et --lot ne vont pas ensemble", 2}},
     .help =
     "écrit, sans ouvrir de fenêtre, chaque commune que la recherche\n"
     "trouve pour TEXTE, une par ligne, dans l'ordre de la table\n"
     "(pour un locator : la plus proche du centre du carré d'abord).\n"
     "Champs séparés par des tabulations, nombres avec un point décimal : %1. --chercher se donne une fois.\n"
     "TEXTE peut être un code INSEE, actuel ou ancien (75056, 74011),\n"
     "un nom porté depuis 1943 (Voisinlieu) ou des coordonnées ;\n"
     "il a au plus 1000 caractères. Un locator dont le carré n'a\n"
     "aucune commune donne la plus proche de son centre (proximité)\n"
     "si elle est à 20 km ou moins ; plus loin, comme des coordonnées\n"
     "à plus de 20 km de toute commune, il ne trouve rien (code 1,\n"
     "la plus proche est dite).",
     .fields = [] {
         std::vector<OutputField> fields = searchFields();
         fields.insert(fields.end(), laterSearchFields().begin(), laterSearchFields().end());
         return fieldHelp(fields, FieldHelp::Glossed, QLatin1String(" et "));
     }},
    {.names = "--depuis", .value = "LIEU", .wants = "un lieu", .once = true, .field = &CommandLine::fromText,
     .goesWith = {{Kind::NeedsOneOf, "--chercher", "l'option --depuis va avec --chercher", 4}},
     .help =
     "avec --chercher, ajoute à chaque commune %1 depuis LIEU, avant codes_postaux : une commune, un locator (le centre "
     "de son carré) ou des coordonnées\n"
     "« 48.8566 2.3522 ».",
     .fields = [] { return fieldHelp(distanceFields(), FieldHelp::Glossed, QLatin1String(" et ")); }},
    {.names = "--autour", .value = "LIEU RAYON_KM", .wants = "un lieu et un rayon en km", .once = true, .asks = Action::Around,
     .read = readAround,
     .goesWith = {{Kind::NotWith, "--chercher --lot", "--autour ne va ni avec --chercher ni avec --lot", 3}},
     .help =
     "écrit les communes à RAYON_KM kilomètres ou moins de LIEU,\n"
     "la plus proche d'abord, chacune avec distance_km."},
    {.names = "--historique", .value = "LIEU", .wants = "un lieu", .once = true, .asks = Action::History, .field = &CommandLine::historyText,
     .goesWith = {{Kind::NotWith, "--chercher --lot --autour",
                   "--historique ne va ni avec --chercher, ni avec --lot, ni avec --autour", 1}},
     .help =
     "écrit les changements depuis 1943 de chaque commune que LIEU\n"
     "trouve (un nom, un ancien nom, un code), du plus ancien au plus\n"
     "récent, un par ligne : %1. Seule la table livrée le sait.",
     .fields = [] { return fieldHelp(historyFields(), FieldHelp::Glossed, QLatin1String(", ")); }},
    {.names = "--lot", .value = "ENTREE", .wants = "un fichier", .once = true, .asks = Action::Batch, .field = &CommandLine::batchInput,
     .goesWith = {{Kind::NotEmpty, "", "le nom du fichier de l'option --lot est vide", 5}},
     .help =
     "cherche chaque ligne du fichier ENTREE (« - » : l'entrée standard)\n"
     "et écrit une ligne de résultat par ligne lue, dans l'ordre,\n"
     "avec une ligne d'en-tête : %1.\n"
     "statut : trouvée, homonymes (la première est donnée,\n"
     "nb_resultats les compte), autre nom, aucune, refusée (motif\n"
     "invalide, coordonnées hors limites, date invalide : raison dit\n"
     "pourquoi), vide (ligne vide) ou illisible (ligne mal formée,\n"
     "signalée avec son numéro sur la sortie d'erreur).\n"
     "contrainte : ce qui a tenu du code postal et du département\n"
     "donnés (code postal et département, code postal seul,\n"
     "département seul, aucune) ; vide sans eux.\n"
     "Un nom qui ne répond pas tel quel est relu comme les listes\n"
     "l'écrivent ; raison dit la réparation : article en fin,\n"
     "abréviation La Poste, nom tronqué, CEDEX, localité postale,\n"
     "faute corrigée, code postal sans son 0, code d'un autre\n"
     "arrondissement. Les homonymes : la plus peuplée d'abord,\n"
     "suivante nomme la deuxième (nom, code postal, département).\n"
     "suggestions : pour une ligne sans commune, les noms voisins.",
     .fields = [] { return fieldHelp(batchFields(), FieldHelp::Names, QLatin1String(", ")); }},
    {.names = "--colonne", .value = "NOM", .wants = "un nom de colonne", .once = true, .field = &CommandLine::queryColumn,
     .goesWith = {{Kind::NeedsOneOf, "--lot", columnsNeedBatch, 6}},
     .help =
     "ENTREE est un CSV avec une ligne d'en-tête ; la colonne NOM tient\n"
     "la recherche. Séparateur « ; », « , » ou tabulation, encodage\n"
     "UTF-8 (avec ou sans BOM) ou Windows-1252 : reconnus. Chaque\n"
     "colonne lue est gardée, avec le même séparateur, puis viennent\n"
     "les colonnes de résultat, dans l'encodage de l'entrée."},
    {.names = "--colonne-cp", .value = "COL", .wants = "un nom de colonne", .once = true,
     .field = &CommandLine::postcodeColumn,
     .goesWith = {{Kind::NeedsOneOf, "--lot", columnsNeedBatch, 6},
                  {Kind::NeedsAllOf, "--colonne", columnsNeedColumn, 9}},
     .help =
     "colonne du code postal de chaque ligne : parmi les communes\n"
     "trouvées, celles qui l'ont ; s'il n'en garde aucune, celles\n"
     "de son département."},
    {.names = "--colonne-dep", .value = "COL", .wants = "un nom de colonne", .once = true,
     .field = &CommandLine::departementColumn,
     .goesWith = {{Kind::NeedsOneOf, "--lot", columnsNeedBatch, 6},
                  {Kind::NeedsAllOf, "--colonne", columnsNeedColumn, 9}},
     .help =
     "colonne du département (code ou nom) : celles qui y sont. Quand\n"
     "ni l'un ni l'autre ne garde de commune, la recherche continue\n"
     "(autres noms, histoire, formes usuelles) avant de tout garder."},
    {.names = "--date", .value = "AAAA[-MM[-JJ]]", .wants = "une date", .once = true, .field = &CommandLine::dateText,
     .goesWith = {{Kind::NeedsOneOf, "--chercher --lot", "l'option --date va avec --chercher ou --lot", 7}},
     .help =
     "avec --chercher ou --lot : les communes que le nom ou le code\n"
     "désignait à cette date (une année, un mois : n'importe quel jour\n"
     "de la période), associées et déléguées comprises, chacune avec\n"
     "la commune d'aujourd'hui où elle mène ; chaque ligne finit alors\n"
     "par %1 ; lieu donne les noms de ce jour, sans région avant celles de 2016. Seule la table livrée le sait.",
     .fields = [] { return fieldHelp(dateFields(), FieldHelp::Glossed, QLatin1String(" et ")); }},
    {.names = "--colonne-date", .value = "COL", .wants = "un nom de colonne", .once = true,
     .field = &CommandLine::dateColumn,
     .goesWith = {{Kind::NeedsAllOf, "--lot --colonne", "l'option --colonne-date va avec --lot --colonne", 8}},
     .help =
     "avec --lot --colonne : la date de chaque ligne (comme --date ;\n"
     "une ligne sans date est cherchée à --date, sinon aujourd'hui)."},
    {.names = "--format", .value = "tsv|csv|json", .wants = "une valeur", .read = readFormat,
     .goesWith = {{Kind::NeedsAnyCommand, "", formatNeedsCommand, 11}},
     .help =
     "tabulations (par défaut ; le séparateur du CSV lu pour --lot\n"
     "--colonne), CSV avec une ligne d'en-tête, ou JSON (un tableau\n"
     "d'objets aux mêmes noms de champs)."},
    {.names = "--encodage", .value = "utf-8|windows-1252", .wants = "une valeur", .read = readEncoding,
     .goesWith = {{Kind::NeedsOneOf, "--lot", "l'option --encodage va avec --lot", 10}},
     .help =
     "avec --lot, l'encodage de la sortie tsv ou csv ; par défaut\n"
     "celui de l'entrée (Windows-1252 quand une de ses lignes n'est\n"
     "pas de l'UTF-8 ; pour l'entrée standard, sa première ligne\n"
     "décide). Un caractère que Windows-1252 n'a pas est écrit « ? »\n"
     "et signalé avec son numéro de ligne sur la sortie d'erreur.\n"
     "Les lignes finissent comme la première ligne lue (LF, CRLF)."},
    {.names = "--entete", .read = readHeader,
     .goesWith = {{Kind::NeedsAnyCommand, "", formatNeedsCommand, 11}},
     .help = "ajoute la ligne des noms de champs à --chercher en tsv."},
    {.names = "-h, --help", .asks = Action::Help, .wins = true, .help = "affiche cette aide et quitte"},
    {.names = "--version", .asks = Action::Version, .wins = true, .help = "affiche la version et quitte"},
};
// clang-format on

void fail(CommandLine &line, const QString &error)
{
    if (line.error.isEmpty()) // the first fault is the one told
        line.error = error;
}

// The values of the option at arguments[i], moving i past them (past all
// that is left when there are fewer than it takes); nothing when the
// argument is another option. One value may follow "=".
std::optional<QStringList> valuesOf(const CommandLine::Option &option, const QStringList &arguments, qsizetype &i)
{
    const QString &argument = arguments[i];
    const int count = option.valueCount();
    for (const QString &name : option.allNames()) {
        if (argument == name) {
            const QStringList values = arguments.mid(i + 1, count);
            i += values.size();
            return values;
        }
        if (count == 1 && argument.startsWith(name + QLatin1Char('=')))
            return QStringList{argument.mid(name.size() + 1)};
    }
    return std::nullopt;
}

// Reads one option at arguments[i]; false when it is none of the program's.
bool readOption(CommandLine &line, const QStringList &arguments, qsizetype &i, QStringList &given)
{
    for (const CommandLine::Option &option : optionTable) {
        const std::optional<QStringList> values = valuesOf(option, arguments, i);
        if (!values)
            continue;
        const QString name = option.name();
        if (values->size() < option.valueCount())
            fail(line, QStringLiteral("l'option %1 demande %2").arg(name, QString::fromUtf8(option.wants)));
        else if (option.once && given.contains(name))
            fail(line, QStringLiteral("l'option %1 est donnée deux fois").arg(name));
        else if (option.field)
            line.*option.field = values->first();
        else if (option.read)
            fail(line, option.read(line, *values));
        given << name;
        return true;
    }
    return false;
}

bool holds(const CommandLine::GoesWith &rule, const CommandLine::Option &option, const CommandLine &line,
           const QStringList &given)
{
    const QStringList names = QString::fromLatin1(rule.options).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const auto isGiven = [&given](const QString &name) { return given.contains(name); };
    switch (rule.kind) {
    case Kind::NotWith:
        return std::none_of(names.begin(), names.end(), isGiven);
    case Kind::NeedsOneOf:
        return std::any_of(names.begin(), names.end(), isGiven);
    case Kind::NeedsAllOf:
        return std::all_of(names.begin(), names.end(), isGiven);
    case Kind::NeedsAnyCommand:
        return std::any_of(std::begin(optionTable), std::end(optionTable), [&](const CommandLine::Option &other) {
            return other.asks != Action::Run && !other.wins && isGiven(other.name());
        });
    case Kind::NotEmpty:
        return !(line.*option.field).isEmpty();
    }
    return true;
}

// Whether the options given go together; the refusal of lowest rank when not.
void checkGoesWith(CommandLine &line, const QStringList &given)
{
    const CommandLine::GoesWith *told = nullptr;
    for (const CommandLine::Option &option : optionTable) {
        if (!given.contains(option.name()))
            continue;
        for (const CommandLine::GoesWith &rule : option.goesWith) {
            if (!holds(rule, option, line, given) && (!told || rule.rank < told->rank))
                told = &rule;
        }
    }
    if (told)
        fail(line, QString::fromUtf8(told->refusal));
}

// What the line asks for: --help and --version win over anything else on
// it, then a wrong line is an error; else its command, or the window.
CommandLine::Action chosenAction(CommandLine &line, const QStringList &given)
{
    for (const CommandLine::Option &option : optionTable) {
        if (option.wins && given.contains(option.name())) {
            line.error.clear();
            return option.asks;
        }
    }
    if (!line.error.isEmpty())
        return Action::Error;
    for (const CommandLine::Option &option : optionTable) {
        if (option.asks != Action::Run && given.contains(option.name()))
            return option.asks;
    }
    return Action::Run;
}

// A help line that holds a list of fields is flowed at `width`; a
// guillemet stays with the word it opens or closes.
QStringList flowed(const QString &text, int width)
{
    QStringList words;
    for (const QString &word : text.split(QLatin1Char(' '))) {
        if (!words.isEmpty() && (words.last() == u"«" || word.startsWith(u"»")))
            words.last() += QLatin1Char(' ') + word;
        else
            words << word;
    }
    QStringList lines(1);
    for (const QString &word : words) {
        if (!lines.last().isEmpty() && lines.last().size() + 1 + word.size() > width)
            lines << QString();
        lines.last() += (lines.last().isEmpty() ? QString() : QStringLiteral(" ")) + word;
    }
    return lines;
}

} // namespace

CommandLine CommandLine::parse(const QStringList &arguments)
{
    CommandLine line;
    QStringList given; // the options given, by name
    bool optionsEnded = false;
    QStringList files;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (optionsEnded || argument == QLatin1String("-") || !argument.startsWith(QLatin1Char('-')))
            files << argument;
        else if (argument == QLatin1String("--"))
            optionsEnded = true;
        else if (!readOption(line, arguments, i, given))
            fail(line, QStringLiteral("option inconnue : %1").arg(argument));
    }
    if (files.size() > 1)
        fail(line, QStringLiteral("un seul fichier de données à la fois (%1 donnés)").arg(files.size()));
    if (files.size() == 1 && files.first().isEmpty())
        fail(line, QStringLiteral("le nom du fichier de données est vide"));
    checkGoesWith(line, given);
    line.action = chosenAction(line, given);
    // Nor the help, nor the version, nor a wrong line opens a data file.
    const bool answered = std::any_of(std::begin(optionTable), std::end(optionTable),
                                      [&](const Option &option) { return option.wins && option.asks == line.action; });
    if (line.action != Action::Error && !answered)
        line.dataFile = files.value(0);
    return line;
}

std::span<const CommandLine::Option> CommandLine::options()
{
    return optionTable;
}

QStringList CommandLine::Option::allNames() const
{
    return QString::fromLatin1(names).split(QLatin1String(", "));
}

QString CommandLine::Option::name() const
{
    return allNames().last();
}

int CommandLine::Option::valueCount() const
{
    return value ? int(QString::fromLatin1(value).count(QLatin1Char(' '))) + 1 : 0;
}

QStringList CommandLine::Option::helpLines() const
{
    QStringList lines;
    for (const QString &line : QString::fromUtf8(help).split(QLatin1Char('\n'))) {
        if (fields && line.contains(QLatin1String("%1")))
            lines << flowed(line.arg(fields()), HelpColumns);
        else
            lines << line;
    }
    return lines;
}

QStringList withoutWindowSystemOptions(const QStringList &arguments)
{
    // Qt's own options, with one dash or two; the first ones take a value.
    static const QStringList withValue = {
        QStringLiteral("platform"),        QStringLiteral("platformpluginpath"),
        QStringLiteral("platformtheme"),   QStringLiteral("plugin"),
        QStringLiteral("qwindowgeometry"), QStringLiteral("qwindowicon"),
        QStringLiteral("qwindowtitle"),    QStringLiteral("style"),
        QStringLiteral("stylesheet"),      QStringLiteral("session"),
        QStringLiteral("display"),         QStringLiteral("geometry"),
        QStringLiteral("title"),           QStringLiteral("name"),
        QStringLiteral("qwindowstate"),
    };
    static const QStringList alone = {QStringLiteral("reverse"), QStringLiteral("widgetcount"),
                                      QStringLiteral("nograb"), QStringLiteral("dograb"), QStringLiteral("sync")};
    QStringList kept;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (argument == QLatin1String("--")) {
            kept << arguments.mid(i);
            break;
        }
        QString name = argument.startsWith(QLatin1String("--")) ? argument.mid(2)
                       : argument.startsWith(QLatin1Char('-'))  ? argument.mid(1)
                                                                : QString();
        const bool hasValue = name.contains(QLatin1Char('='));
        name = name.section(QLatin1Char('='), 0, 0);
        if (withValue.contains(name) && hasValue)
            continue;
        if (withValue.contains(name)) {
            ++i; // its value
            continue;
        }
        if (!alone.contains(name) || name.isEmpty())
            kept << argument;
    }
    return kept;
}

QString commandLineVersion()
{
    return QStringLiteral("Topovil " TOPOVIL_VERSION "\n");
}
