#include "cli/CommandLine.h"

namespace {

// --depuis TEXTE and --autour TEXTE RAYON_KM, at arguments[i]: true when it is
// one of them, with `i` on its last argument.
bool parseDistanceOption(const QStringList &arguments, qsizetype &i, CommandLine &line)
{
    const QString &argument = arguments[i];
    const qsizetype needed = argument == QLatin1String("--depuis") ? 1 : argument == QLatin1String("--autour") ? 2 : 0;
    if (needed == 0)
        return false;
    if (i + needed >= arguments.size()) {
        if (line.error.isEmpty())
            line.error = needed == 1 ? QStringLiteral("l'option --depuis demande un texte")
                                     : QStringLiteral("l'option --autour demande un texte et un rayon en km");
        i = arguments.size();
        return true;
    }
    if (needed == 1) {
        line.fromText = arguments[++i];
    } else {
        line.aroundText = arguments[++i];
        line.aroundRadius = arguments[++i];
    }
    return true;
}

} // namespace

CommandLine CommandLine::parse(const QStringList &arguments)
{
    CommandLine line;
    bool help = false;
    bool version = false;
    bool optionsEnded = false;
    bool search = false;
    QStringList files;
    const QLatin1String searchOption("--chercher");
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (!optionsEnded && argument == searchOption) {
            // The text that follows is the text, even when it starts with "-".
            if (i + 1 < arguments.size()) {
                search = true;
                line.searchText = arguments[++i];
            } else if (line.error.isEmpty()) {
                line.error = QStringLiteral("l'option --chercher demande un texte");
            }
        } else if (!optionsEnded && argument.startsWith(searchOption + QLatin1Char('='))) {
            search = true;
            line.searchText = argument.mid(searchOption.size() + 1);
        } else if (!optionsEnded && parseDistanceOption(arguments, i, line)) {
            // --depuis, --autour: CommandLineDistance.h
        } else if (!optionsEnded && argument == QLatin1String("--")) {
            optionsEnded = true;
        } else if (!optionsEnded && (argument == QLatin1String("-h") || argument == QLatin1String("--help"))) {
            help = true;
        } else if (!optionsEnded && argument == QLatin1String("--version")) {
            version = true;
        } else if (!optionsEnded && argument.startsWith(QLatin1Char('-')) && argument.size() > 1) {
            if (line.error.isEmpty())
                line.error = QStringLiteral("option inconnue : %1").arg(argument);
        } else {
            files << argument;
        }
    }
    if (files.size() > 1 && line.error.isEmpty())
        line.error = QStringLiteral("un seul fichier de données à la fois (%1 donnés)").arg(files.size());
    if (files.size() == 1 && files.first().isEmpty() && line.error.isEmpty())
        line.error = QStringLiteral("le nom du fichier de données est vide");

    const bool around = !line.aroundRadius.isNull();
    if (around && search && line.error.isEmpty())
        line.error = QStringLiteral("--chercher et --autour ne vont pas ensemble");
    if (!line.fromText.isNull() && !search && line.error.isEmpty())
        line.error = QStringLiteral("l'option --depuis va avec --chercher");
    if (help || version)
        line.error.clear();
    if (help)
        line.action = Action::Help;
    else if (version)
        line.action = Action::Version;
    else if (!line.error.isEmpty())
        line.action = Action::Error;
    else if (search)
        line.action = Action::Search;
    else if (around)
        line.action = Action::Around;
    if (line.action == Action::Run || line.action == Action::Search || line.action == Action::Around)
        line.dataFile = files.value(0);
    return line;
}

QString commandLineHelp()
{
    return QStringLiteral("Utilisation : topovil [FICHIER]\n"
                          "            topovil --chercher TEXTE [--depuis LIEU] [FICHIER]\n"
                          "            topovil --autour LIEU RAYON_KM [FICHIER]\n"
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
                          "                 la table livrée insee.sqlite à côté du programme.\n"
                          "  --chercher TEXTE\n"
                          "               écrit, sans ouvrir de fenêtre, chaque commune que la recherche\n"
                          "               trouve pour TEXTE, dans l'ordre de la table, une par ligne :\n"
                          "               nom, code postal, longitude, latitude, département et locator,\n"
                          "               séparés par des tabulations, nombres avec un point décimal.\n"
                          "               Une commune trouvée par un autre nom (commune déléguée,\n"
                          "               ancienne commune...) a un septième champ : ce nom et sa nature.\n"
                          "               TEXTE peut être un code INSEE, actuel ou ancien (75056, 74011),\n"
                          "               ou un nom porté depuis 1943 (Voisinlieu).\n"
                          "               Code de sortie 0 si une commune au moins est trouvée, 1 si\n"
                          "               aucune, 2 pour un motif invalide ou un fichier inutilisable.\n"
                          "               TEXTE a au plus 1000 caractères.\n"
                          "  --depuis LIEU\n"
                          "               avec --chercher, ajoute à chaque ligne distance_km (grand\n"
                          "               cercle, une décimale) et azimut (degrés depuis le nord, sens\n"
                          "               horaire) depuis LIEU : une commune, un locator (le centre de\n"
                          "               son carré) ou des coordonnées « 48.8566 2.3522 ».\n"
                          "  --autour LIEU RAYON_KM\n"
                          "               écrit les communes à RAYON_KM kilomètres ou moins de LIEU,\n"
                          "               la plus proche d'abord, chaque ligne finie par distance_km.\n"
                          "  -h, --help   affiche cette aide et quitte\n"
                          "  --version    affiche la version et quitte\n"
                          "\n"
                          "Le fichier est ouvert en lecture seule. Si le fichier ne peut pas servir,\n"
                          "Topovil dit pourquoi et quitte avec le code 1.\n");
}

QString commandLineVersion()
{
    return QStringLiteral("Topovil " TOPOVIL_VERSION "\n");
}
