#include "cli/CommandLine.h"

#include <optional>

namespace {

// Every option of the program, in the order --help lists them: its name,
// the value it takes (as the help writes it), where a text value goes and
// what its message asks for when it is missing, and its help.
struct Option
{
    const char *name;
    const char *value;           // nullptr: no value; "LIEU RAYON_KM": --autour's two
    QString CommandLine::*field; // a text value's place; nullptr for the others
    const char *wants;
    const char *help; // UTF-8, lines separated by \n
};

const Option options[] = {
    {"--chercher", "TEXTE", &CommandLine::searchText, "un texte",
     "écrit, sans ouvrir de fenêtre, chaque commune que la recherche\n"
     "trouve pour TEXTE, une par ligne, dans l'ordre de la table\n"
     "(pour un locator : la plus proche du centre du carré d'abord).\n"
     "Champs séparés par des tabulations, nombres avec un point\n"
     "décimal : nom, code postal (celui qui a répondu, sinon le\n"
     "premier), longitude, latitude, département, locator, puis\n"
     "autre_nom (le nom, et sa nature, par lequel une commune\n"
     "déléguée, ancienne commune... l'a trouvée, avec chaque étape\n"
     "datée de son chemin jusqu'à la commune d'aujourd'hui ; vide\n"
     "sinon),\n"
     "code_insee, num_departement (le code du département : 08, 2A,\n"
     "971), codes_postaux (tous les codes de la commune, séparés par\n"
     "des blancs) et correspondance (comment elle a été trouvée :\n"
     "nom, autre nom : commune déléguée, code postal, code INSEE,\n"
     "ancien code INSEE, ancien nom, forme usuelle, locator,\n"
     "coordonnées, localité postale, correction), puis nom (le nom\n"
     "écrit comme l'INSEE l'écrit, vide sans lui), raison (la\n"
     "réparation qu'il a fallu : article en fin, CEDEX...), etapes\n"
     "(les étapes de ce chemin : nature, date, commune, code INSEE,\n"
     "séparées par « ; » ; en JSON, un tableau d'objets) et lieu\n"
     "(comme les logiciels de généalogie classent les lieux :\n"
     "« Commune, code INSEE, code postal, département, région,\n"
     "France »). --chercher se donne une fois.\n"
     "TEXTE peut être un code INSEE, actuel ou ancien (75056, 74011),\n"
     "un nom porté depuis 1943 (Voisinlieu) ou des coordonnées ;\n"
     "il a au plus 1000 caractères. Un locator dont le carré n'a\n"
     "aucune commune, ou des coordonnées à plus de 20 km de toute\n"
     "commune, ne trouvent rien (code 1, la plus proche est dite)."},
    {"--depuis", "LIEU", &CommandLine::fromText, "un lieu",
     "avec --chercher, ajoute à chaque commune distance_km (grand\n"
     "cercle, une décimale) et azimut (degrés depuis le nord, sens\n"
     "horaire) depuis LIEU, avant codes_postaux : une commune, un\n"
     "locator (le centre de son carré) ou des coordonnées\n"
     "« 48.8566 2.3522 »."},
    {"--autour", "LIEU RAYON_KM", nullptr, "un lieu et un rayon en km",
     "écrit les communes à RAYON_KM kilomètres ou moins de LIEU,\n"
     "la plus proche d'abord, chacune avec distance_km."},
    {"--historique", "LIEU", &CommandLine::historyText, "un lieu",
     "écrit les changements depuis 1943 de chaque commune que LIEU\n"
     "trouve (un nom, un ancien nom, un code), du plus ancien au plus\n"
     "récent, un par ligne : commune, code_insee, date (AAAA-MM-JJ),\n"
     "nature (fusion, changement de nom, rétablissement...), avant et\n"
     "code_avant (la commune avant le changement), departement_avant,\n"
     "apres, code_apres, departement_apres (le département du code\n"
     "quand il n'est plus : Seine, Seine-et-Oise avant 1968, Corse\n"
     "avant 1976 ; vide sinon). Seule la table livrée le sait."},
    {"--lot", "ENTREE", &CommandLine::batchInput, "un fichier",
     "cherche chaque ligne du fichier ENTREE (« - » : l'entrée standard)\n"
     "et écrit une ligne de résultat par ligne lue, dans l'ordre,\n"
     "avec une ligne d'en-tête : recherche, statut, commune,\n"
     "code_postal, code_insee, longitude, latitude, departement,\n"
     "num_departement, locator, autre_nom, nb_resultats,\n"
     "codes_postaux, correspondance, contrainte, nom, raison,\n"
     "suivante, suggestions, etapes, lieu.\n"
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
     "suggestions : pour une ligne sans commune, les noms voisins."},
    {"--colonne", "NOM", &CommandLine::queryColumn, "un nom de colonne",
     "ENTREE est un CSV avec une ligne d'en-tête ; la colonne NOM tient\n"
     "la recherche. Séparateur « ; », « , » ou tabulation, encodage\n"
     "UTF-8 (avec ou sans BOM) ou Windows-1252 : reconnus. Chaque\n"
     "colonne lue est gardée, avec le même séparateur, puis viennent\n"
     "les colonnes de résultat, dans l'encodage de l'entrée."},
    {"--colonne-cp", "COL", &CommandLine::postcodeColumn, "un nom de colonne",
     "colonne du code postal de chaque ligne : parmi les communes\n"
     "trouvées, celles qui l'ont ; s'il n'en garde aucune, celles\n"
     "de son département."},
    {"--colonne-dep", "COL", &CommandLine::departementColumn, "un nom de colonne",
     "colonne du département (code ou nom) : celles qui y sont. Quand\n"
     "ni l'un ni l'autre ne garde de commune, la recherche continue\n"
     "(autres noms, histoire, formes usuelles) avant de tout garder."},
    {"--date", "AAAA[-MM[-JJ]]", &CommandLine::dateText, "une date",
     "avec --chercher ou --lot : les communes que le nom ou le code\n"
     "désignait à cette date (une année, un mois : n'importe quel jour\n"
     "de la période), associées et déléguées comprises, chacune avec\n"
     "la commune d'aujourd'hui où elle mène ; chaque ligne finit alors\n"
     "par date, commune_date (son nom d'alors, comme l'INSEE l'écrit),\n"
     "code_insee_date, type_date (commune, commune associée, commune\n"
     "déléguée) et departement_date (le département de ce jour :\n"
     "SEINE, SEINE-ET-OISE avant 1968, CORSE avant 1976) ; lieu donne\n"
     "les noms de ce jour, sans région avant celles de 2016. Seule la\n"
     "table livrée le sait."},
    {"--colonne-date", "COL", &CommandLine::dateColumn, "un nom de colonne",
     "avec --lot --colonne : la date de chaque ligne (comme --date ;\n"
     "une ligne sans date est cherchée à --date, sinon aujourd'hui)."},
    {"--format", "tsv|csv|json", nullptr, "une valeur",
     "tabulations (par défaut ; le séparateur du CSV lu pour --lot\n"
     "--colonne), CSV avec une ligne d'en-tête, ou JSON (un tableau\n"
     "d'objets aux mêmes noms de champs)."},
    {"--encodage", "utf-8|windows-1252", nullptr, "une valeur",
     "avec --lot, l'encodage de la sortie tsv ou csv ; par défaut\n"
     "celui de l'entrée (Windows-1252 quand une de ses lignes n'est\n"
     "pas de l'UTF-8 ; pour l'entrée standard, sa première ligne\n"
     "décide). Un caractère que Windows-1252 n'a pas est écrit « ? »\n"
     "et signalé avec son numéro de ligne sur la sortie d'erreur.\n"
     "Les lignes finissent comme la première ligne lue (LF, CRLF)."},
    {"--entete", nullptr, nullptr, nullptr, "ajoute la ligne des noms de champs à --chercher en tsv."},
    {"-h, --help", nullptr, nullptr, nullptr, "affiche cette aide et quitte"},
    {"--version", nullptr, nullptr, nullptr, "affiche la version et quitte"},
};

void fail(CommandLine &line, const QString &error)
{
    if (line.error.isEmpty()) // the first fault is the one told
        line.error = error;
}

std::optional<CommandLine::Format> formatNamed(const QString &name)
{
    if (name == QLatin1String("tsv"))
        return CommandLine::Format::Tsv;
    if (name == QLatin1String("csv"))
        return CommandLine::Format::Csv;
    if (name == QLatin1String("json"))
        return CommandLine::Format::Json;
    return std::nullopt;
}

// Splits "--option=value"; the value of "--option" alone is the next argument.
bool takeValue(const QStringList &arguments, qsizetype &i, const QString &name, QString *value, bool *given)
{
    const QString &argument = arguments[i];
    if (argument == name) {
        *given = i + 1 < arguments.size();
        if (*given)
            *value = arguments[++i];
        return true;
    }
    if (argument.startsWith(name + QLatin1Char('='))) {
        *given = true;
        *value = argument.mid(name.size() + 1);
        return true;
    }
    return false;
}

// Reads one option at arguments[i]; false when it is none of the program's.
bool readOption(CommandLine &line, const QStringList &arguments, qsizetype &i, QStringList &seen)
{
    const QString &argument = arguments[i];
    QString value;
    bool given = false;
    for (const Option &option : options) {
        const QString name = QLatin1String(option.name);
        if (!option.field || !takeValue(arguments, i, name, &value, &given))
            continue;
        if (!given)
            fail(line, QStringLiteral("l'option %1 demande %2").arg(name, QString::fromUtf8(option.wants)));
        else if (seen.contains(name))
            fail(line, QStringLiteral("l'option %1 est donnée deux fois").arg(name));
        else
            line.*option.field = value;
        seen << name;
        return true;
    }
    // --autour takes two values, the second a number that may start with "-".
    if (argument == QLatin1String("--autour")) {
        if (i + 2 >= arguments.size()) {
            fail(line, QStringLiteral("l'option --autour demande un lieu et un rayon en km"));
            i = arguments.size();
        } else if (seen.contains(argument)) {
            fail(line, QStringLiteral("l'option --autour est donnée deux fois"));
            i += 2;
        } else {
            line.aroundText = arguments[++i];
            line.aroundRadius = arguments[++i];
        }
        seen << QStringLiteral("--autour");
        return true;
    }
    if (takeValue(arguments, i, QStringLiteral("--format"), &value, &given)) {
        const std::optional<CommandLine::Format> format = formatNamed(value);
        if (!given)
            fail(line, QStringLiteral("l'option --format demande une valeur"));
        else if (!format)
            fail(line, QStringLiteral("format inconnu : %1 (tsv, csv ou json)").arg(value));
        else
            line.format = *format;
        return true;
    }
    if (takeValue(arguments, i, QStringLiteral("--encodage"), &value, &given)) {
        if (!given)
            fail(line, QStringLiteral("l'option --encodage demande une valeur"));
        else if (value.compare(QLatin1String("utf-8"), Qt::CaseInsensitive) == 0)
            line.encoding = CommandLine::Encoding::Utf8;
        else if (value.compare(QLatin1String("windows-1252"), Qt::CaseInsensitive) == 0)
            line.encoding = CommandLine::Encoding::Windows1252;
        else
            fail(line, QStringLiteral("encodage inconnu : %1 (utf-8 ou windows-1252)").arg(value));
        seen << QStringLiteral("--encodage");
        return true;
    }
    if (argument == QLatin1String("--entete"))
        line.header = true;
    else if (argument == QLatin1String("-h") || argument == QLatin1String("--help"))
        seen << QStringLiteral("--help");
    else if (argument == QLatin1String("--version"))
        seen << QStringLiteral("--version");
    else
        return false;
    return true;
}

// What the options given ask for, or why they do not fit together.
void chooseAction(CommandLine &line, const QStringList &files, const QStringList &seen)
{
    const bool search = seen.contains(QLatin1String("--chercher"));
    const bool batch = seen.contains(QLatin1String("--lot"));
    const bool columns = seen.contains(QLatin1String("--colonne-cp")) || seen.contains(QLatin1String("--colonne-dep"));
    if (files.size() > 1)
        fail(line, QStringLiteral("un seul fichier de données à la fois (%1 donnés)").arg(files.size()));
    if (files.size() == 1 && files.first().isEmpty())
        fail(line, QStringLiteral("le nom du fichier de données est vide"));
    const bool around = seen.contains(QLatin1String("--autour"));
    const bool history = seen.contains(QLatin1String("--historique"));
    if (history && (search || batch || around))
        fail(line, QStringLiteral("--historique ne va ni avec --chercher, ni avec --lot, ni avec --autour"));
    if (search && batch)
        fail(line, QStringLiteral("--chercher et --lot ne vont pas ensemble"));
    if (around && (search || batch))
        fail(line, QStringLiteral("--autour ne va ni avec --chercher ni avec --lot"));
    if (seen.contains(QLatin1String("--depuis")) && !search)
        fail(line, QStringLiteral("l'option --depuis va avec --chercher"));
    if (batch && line.batchInput.isEmpty())
        fail(line, QStringLiteral("le nom du fichier de l'option --lot est vide"));
    if (!batch && (columns || seen.contains(QLatin1String("--colonne"))))
        fail(line, QStringLiteral("les options --colonne, --colonne-cp et --colonne-dep vont avec --lot"));
    if (seen.contains(QLatin1String("--date")) && !search && !batch)
        fail(line, QStringLiteral("l'option --date va avec --chercher ou --lot"));
    if (seen.contains(QLatin1String("--colonne-date")) && !(batch && seen.contains(QLatin1String("--colonne"))))
        fail(line, QStringLiteral("l'option --colonne-date va avec --lot --colonne"));
    if (batch && !seen.contains(QLatin1String("--colonne")) && columns)
        fail(line, QStringLiteral("--colonne-cp et --colonne-dep demandent --colonne"));
    if (!batch && seen.contains(QLatin1String("--encodage")))
        fail(line, QStringLiteral("l'option --encodage va avec --lot"));
    if (!search && !batch && !around && !history && (line.format != CommandLine::Format::Default || line.header))
        fail(line, QStringLiteral("les options --format et --entete vont avec --chercher, --lot, --autour ou "
                                  "--historique"));
    if (!line.error.isEmpty())
        line.action = CommandLine::Action::Error;
    else if (search)
        line.action = CommandLine::Action::Search;
    else if (batch)
        line.action = CommandLine::Action::Batch;
    else if (around)
        line.action = CommandLine::Action::Around;
    else if (history)
        line.action = CommandLine::Action::History;
}

} // namespace

CommandLine CommandLine::parse(const QStringList &arguments)
{
    CommandLine line;
    QStringList seen; // the options given
    bool optionsEnded = false;
    QStringList files;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (optionsEnded || argument == QLatin1String("-") || !argument.startsWith(QLatin1Char('-')))
            files << argument;
        else if (argument == QLatin1String("--"))
            optionsEnded = true;
        else if (!readOption(line, arguments, i, seen))
            fail(line, QStringLiteral("option inconnue : %1").arg(argument));
    }
    chooseAction(line, files, seen);
    const bool help = seen.contains(QLatin1String("--help"));
    const bool version = seen.contains(QLatin1String("--version"));
    if (help || version)
        line.error.clear();
    if (help)
        line.action = Action::Help;
    else if (version)
        line.action = Action::Version;
    if (line.action == Action::Run || line.action == Action::Search || line.action == Action::Batch
        || line.action == Action::Around || line.action == Action::History)
        line.dataFile = files.value(0);
    return line;
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

QString commandLineHelp()
{
    QString help = QStringLiteral(
        "Utilisation : topovil [FICHIER]\n"
        "            topovil --chercher TEXTE [--format tsv|csv|json] [--entete] [FICHIER]\n"
        "            topovil --lot ENTREE [--colonne NOM] [--format tsv|csv|json] [--encodage E] [FICHIER]\n"
        "            topovil --autour LIEU RAYON_KM [--format tsv|csv|json] [FICHIER]\n"
        "            topovil --historique LIEU [--format tsv|csv|json] [FICHIER]\n"
        "\n"
        "Cherche une commune de France et montre son code postal, ses coordonnées,\n"
        "son département, son locator Maidenhead et le département sur une carte.\n"
        "\n"
        "  FICHIER      fichier de communes à ouvrir, base Access (.mdb) ou SQLite\n"
        "               (.sqlite), avec une table insee1.\n"
        "               Sans FICHIER, Topovil ouvre le premier fichier trouvé de :\n"
        "                 insee.mdb à côté du programme,\n"
        "                 $XDG_DATA_HOME/topovil/insee.mdb (~/.local/share/topovil),\n"
        "                 insee.mdb dans chaque $XDG_DATA_DIRS/topovil\n"
        "                   (/usr/local/share/topovil, /usr/share/topovil),\n"
        "                 la table livrée insee.sqlite à côté du programme.\n");
    // Each option's name, then its help from the fifteenth column; a name
    // too long for that puts the help on the lines below.
    const QString indent(15, QLatin1Char(' '));
    for (const Option &option : options) {
        QString name = QStringLiteral("  ") + QLatin1String(option.name);
        if (option.value)
            name += QLatin1Char(' ') + QLatin1String(option.value);
        const QStringList lines = QString::fromUtf8(option.help).split(QLatin1Char('\n'));
        help += name.size() < indent.size() ? name.leftJustified(indent.size()) + lines.first() + QLatin1Char('\n')
                                            : name + QLatin1Char('\n') + indent + lines.first() + QLatin1Char('\n');
        for (const QString &line : lines.mid(1))
            help += indent + line + QLatin1Char('\n');
    }
    return help
           + QStringLiteral("\n"
                            "Codes de sortie de --chercher, --lot, --autour et --historique : 0 si une\n"
                            "commune au moins est trouvée, 1 si aucune, 2 pour une option invalide, un\n"
                            "motif invalide, un fichier inutilisable ou une sortie impossible à écrire.\n"
                            "Le fichier est ouvert en lecture seule. Si le fichier ne peut pas servir,\n"
                            "Topovil dit pourquoi et quitte avec le code 1 ; sans écran, aussi.\n");
}

QString commandLineVersion()
{
    return QStringLiteral("Topovil " TOPOVIL_VERSION "\n");
}
