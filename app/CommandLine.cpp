#include "app/CommandLine.h"

CommandLine CommandLine::parse(const QStringList &arguments)
{
    CommandLine line;
    bool help = false;
    bool version = false;
    bool optionsEnded = false;
    QStringList files;
    for (const QString &argument : arguments) {
        if (!optionsEnded && argument == QLatin1String("--")) {
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

    if (help || version)
        line.error.clear();
    if (help)
        line.action = Action::Help;
    else if (version)
        line.action = Action::Version;
    else if (!line.error.isEmpty())
        line.action = Action::Error;
    else if (!files.isEmpty())
        line.dataFile = files.first();
    return line;
}

QString commandLineHelp()
{
    return QStringLiteral("Utilisation : topovil [FICHIER]\n"
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
