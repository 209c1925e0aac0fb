#include "cli/CommandLine.h"

#include "cli/CommandLineCommand.h"
#include "cli/CommandLineOption.h"

#include <algorithm>
#include <optional>

namespace {

void fail(CommandLine &line, const QString &error)
{
    if (line.error.isEmpty()) // the first fault is the one told
        line.error = error;
}

// The values of the option at arguments[i], moving i past them (past all
// that is left when there are fewer than it takes); nothing when the
// argument is another option. One value may follow "=".
std::optional<QStringList> valuesOf(const CommandLineOption &option, const QStringList &arguments, qsizetype &i)
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
    for (const CommandLineOption &option : commandLineOptions()) {
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

bool holds(const GoesWith &rule, const CommandLineOption &option, const CommandLine &line, const QStringList &given)
{
    const QStringList names = QString::fromLatin1(rule.options).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const auto isGiven = [&given](const QString &name) { return given.contains(name); };
    switch (rule.kind) {
    case GoesWith::Kind::NotWith:
        return std::none_of(names.begin(), names.end(), isGiven);
    case GoesWith::Kind::NeedsOneOf:
        return std::any_of(names.begin(), names.end(), isGiven);
    case GoesWith::Kind::NeedsAllOf:
        return std::all_of(names.begin(), names.end(), isGiven);
    case GoesWith::Kind::NeedsAnyCommand:
        return std::any_of(commandLineCommands().begin(), commandLineCommands().end(),
                           [&](const CommandLineCommand &command) { return command.make && isGiven(command.option); });
    case GoesWith::Kind::NotEmpty:
        return !(line.*option.field).isEmpty();
    }
    return true;
}

// Whether the options given go together; the refusal of lowest rank when not.
void checkGoesWith(CommandLine &line, const QStringList &given)
{
    const GoesWith *told = nullptr;
    for (const CommandLineOption &option : commandLineOptions()) {
        if (!given.contains(option.name()))
            continue;
        for (const GoesWith &rule : option.goesWith) {
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
    const auto commands = commandLineCommands();
    for (const CommandLineCommand &command : commands) {
        if (command.wins && given.contains(QLatin1String(command.option))) {
            line.error.clear();
            return command.action;
        }
    }
    if (!line.error.isEmpty())
        return CommandLine::Action::Error;
    // The command given, else the one that runs without an option.
    const auto asked = std::find_if(commands.begin(), commands.end(), [&](const CommandLineCommand &command) {
        return command.option && given.contains(QLatin1String(command.option));
    });
    const auto byDefault = std::find_if(commands.begin(), commands.end(),
                                        [](const CommandLineCommand &command) { return !command.option; });
    return (asked != commands.end() ? asked : byDefault)->action;
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

QStringList helpLines(const CommandLineOption &option)
{
    QStringList lines;
    for (const QString &line : QString::fromUtf8(option.help).split(QLatin1Char('\n'))) {
        if (option.fields && line.contains(QLatin1String("%1")))
            lines << flowed(line.arg(option.fields()), HelpColumns);
        else
            lines << line;
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
    if (line.action != Action::Error && commandOf(line.action).opensData())
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
    QString help;
    for (const CommandLineCommand &command : commandLineCommands()) {
        if (command.usage)
            help += (help.isEmpty() ? QStringLiteral("Utilisation : ") : QString(12, QLatin1Char(' ')))
                    + QLatin1String(command.usage) + QLatin1Char('\n');
    }
    help += QStringLiteral("\n"
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
    for (const CommandLineOption &option : commandLineOptions()) {
        QString name = QStringLiteral("  ") + QLatin1String(option.names);
        if (option.value)
            name += QLatin1Char(' ') + QLatin1String(option.value);
        const QStringList lines = helpLines(option);
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
