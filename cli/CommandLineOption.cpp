#include "cli/CommandLineOption.h"

#include "cli/OutputFields.h"

namespace {

using Kind = GoesWith::Kind;

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
const CommandLineOption options[] = {
    {.names = "--chercher", .value = "TEXTE", .wants = "un texte", .once = true, .field = &CommandLine::searchText,
     .goesWith = {{Kind::NotWith, "--lot", "--chercher et --lot ne vont pas ensemble", 2}},
     .help =
     "écrit, sans ouvrir de fenêtre, chaque commune que la recherche\n"
     "trouve pour TEXTE, une par ligne, dans l'ordre de la table\n"
     "(pour un locator : la plus proche du centre du carré d'abord).\n"
     "Champs séparés par des tabulations, nombres avec un point décimal : %1. --chercher se donne une fois.\n"
     "TEXTE peut être un code INSEE, actuel ou ancien (75056, 74011),\n"
     "un nom porté depuis 1943 (Voisinlieu) ou des coordonnées ;\n"
     "il a au plus 1000 caractères. Un locator dont le carré n'a\n"
     "aucune commune, ou des coordonnées à plus de 20 km de toute\n"
     "commune, ne trouvent rien (code 1, la plus proche est dite).",
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
    {.names = "--autour", .value = "LIEU RAYON_KM", .wants = "un lieu et un rayon en km", .once = true,
     .read = readAround,
     .goesWith = {{Kind::NotWith, "--chercher --lot", "--autour ne va ni avec --chercher ni avec --lot", 3}},
     .help =
     "écrit les communes à RAYON_KM kilomètres ou moins de LIEU,\n"
     "la plus proche d'abord, chacune avec distance_km."},
    {.names = "--historique", .value = "LIEU", .wants = "un lieu", .once = true, .field = &CommandLine::historyText,
     .goesWith = {{Kind::NotWith, "--chercher --lot --autour",
                   "--historique ne va ni avec --chercher, ni avec --lot, ni avec --autour", 1}},
     .help =
     "écrit les changements depuis 1943 de chaque commune que LIEU\n"
     "trouve (un nom, un ancien nom, un code), du plus ancien au plus\n"
     "récent, un par ligne : %1. Seule la table livrée le sait.",
     .fields = [] { return fieldHelp(historyFields(), FieldHelp::Glossed, QLatin1String(", ")); }},
    {.names = "--lot", .value = "ENTREE", .wants = "un fichier", .once = true, .field = &CommandLine::batchInput,
     .goesWith = {{Kind::NotEmpty, "", "le nom du fichier de l'option --lot est vide", 5}},
     .help =
     "cherche chaque ligne du fichier ENTREE (« - » : l'entrée standard)\n"
     "et écrit une ligne de résultat par ligne lue, dans l'ordre,\n"
     "avec une ligne d'en-tête : %1.\n"
     "statut : trouvée, homonymes (la première est donnée,\n"
     "nb_resultats les compte), autre nom, aucune, refusée (motif\n"
     "invalide), vide (ligne vide) ou illisible (ligne mal formée,\n"
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
    {.names = "-h, --help", .help = "affiche cette aide et quitte"},
    {.names = "--version", .help = "affiche la version et quitte"},
};
// clang-format on

} // namespace

QStringList CommandLineOption::allNames() const
{
    return QString::fromLatin1(names).split(QLatin1String(", "));
}

QString CommandLineOption::name() const
{
    return allNames().last();
}

int CommandLineOption::valueCount() const
{
    return value ? int(QString::fromLatin1(value).count(QLatin1Char(' '))) + 1 : 0;
}

std::span<const CommandLineOption> commandLineOptions()
{
    return options;
}
