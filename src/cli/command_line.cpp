#include "cli/command_line.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>

#include <algorithm>
#include <cstdio>
#include <optional>

namespace qvt::cli {

namespace {

constexpr qsizetype kWidth = 79;           // help lines are wrapped to this
constexpr qsizetype kWidestOptionColumn = 28;

// Arguments are decoded with QFile::decodeName; file names go on, and texts
// out, encoded back with QFile::encodeName, the way the file layer takes them.
std::string bytesOf(const QString& text)
{
    return QFile::encodeName(text).toStdString();
}

void print(FILE* out, const QString& text)
{
    const std::string bytes = bytesOf(text);
    std::fwrite(bytes.data(), 1, bytes.size(), out);
}

// The words in lines that end by column kWidth, for text that starts at
// column `indent`; every line after the first starts with as many blanks. A
// word longer than a line stays whole.
QString wrapWords(const QStringList& words, qsizetype indent)
{
    QString text;
    qsizetype column = indent;
    bool lineStarted = false;
    for (const QString& word : words) {
        if (lineStarted && column + 1 + word.size() > kWidth) {
            text += '\n' + QString(indent, ' ');
            column = indent;
            lineStarted = false;
        }
        if (lineStarted) {
            text += ' ';
            ++column;
        }
        text += word;
        column += word.size();
        lineStarted = true;
    }
    return text;
}

// Text wrapped to kWidth; a line that starts with a blank (an example) is
// kept as it is.
QString wrapText(const QString& text)
{
    QStringList lines;
    for (const QString& line : text.split('\n')) {
        if (line.startsWith(' ') || line.isEmpty())
            lines << line;
        else
            lines << wrapWords(line.split(' ', Qt::SkipEmptyParts), 0);
    }
    return lines.join('\n');
}

QString dashed(const QString& name)
{
    return (name.size() == 1 ? "-" : "--") + name;
}

// "-o IMAGE", "--port PORT", "--fast": how the usage line shows an option.
QString optionInUsage(const Option& option)
{
    QString text = dashed(option.names.first());
    if (!option.valueName.isEmpty())
        text += ' ' + option.valueName;
    return option.required ? text : '[' + text + ']';
}

QString usageLine(const Command& command)
{
    const QString start = "usage: qvt " + command.name;
    QStringList words;
    for (const Argument& argument : command.arguments)
        words << argument.name;
    for (const Option& option : command.options)
        words << optionInUsage(option);
    return start + (words.isEmpty() ? QString() : ' ' + wrapWords(words, start.size() + 1));
}

// Two columns: the names at the left, each description wrapped beside them.
QString table(const QList<std::pair<QString, QString>>& rows)
{
    qsizetype column = 0;
    for (const auto& [left, right] : rows)
        if (left.size() <= kWidestOptionColumn)
            column = std::max(column, left.size());
    column += 2;
    QString text;
    for (const auto& [left, right] : rows) {
        text += left;
        if (left.size() + 2 > column)
            text += '\n' + QString(column, ' ');
        else
            text += QString(column - left.size(), ' ');
        text += wrapWords(right.split(' ', Qt::SkipEmptyParts), column) + '\n';
    }
    return text;
}

const Option kHelpOption{{"h", "help"}, {}, "show this help", {}, false};

QString helpText(const Command& command)
{
    QList<std::pair<QString, QString>> arguments;
    for (const Argument& argument : command.arguments)
        arguments.append({"  " + argument.name, argument.description});
    QList<std::pair<QString, QString>> options;
    std::vector<Option> all = command.options;
    all.push_back(kHelpOption);
    for (const Option& option : all) {
        QStringList names;
        for (const QString& name : option.names)
            names << dashed(name);
        // Long names line up under those of options with a short one (-h has).
        QString left = (option.names.first().size() > 1 ? "      " : "  ") + names.join(", ");
        if (!option.valueName.isEmpty())
            left += ' ' + option.valueName;
        QString description = option.description;
        if (!option.defaultValue.isEmpty())
            description += " (default " + option.defaultValue + ")";
        options.append({left, description});
    }

    QString text = usageLine(command) + "\n\n";
    if (!command.description.isEmpty())
        text += wrapText(command.description) + "\n\n";
    if (!arguments.isEmpty())
        text += "arguments:\n" + table(arguments) + '\n';
    text += "options:\n" + table(options) + '\n';
    text += wrapText("Exit status: " + command.exitStatus) + '\n';
    return text;
}

void printToolUsage(FILE* out, std::span<const Command* const> commands)
{
    QString text = "usage: qvt COMMAND [ARGS]\n\ncommands:\n";
    for (const Command* command : commands)
        text += QString("  %1 %2\n").arg(command->name, -9).arg(command->summary);
    text += "\n'qvt COMMAND --help' describes a command.\n";
    print(out, text);
}

const Option* findOption(const Command& command, const QString& name)
{
    for (const Option& option : command.options)
        if (option.names.contains(name))
            return &option;
    return nullptr;
}

// Why QCommandLineParser refused `args`, said in this tool's words. Options
// it does not know come first; then an option without its value, or a switch
// given one.
QString parseFailure(const Command& command, const QCommandLineParser& parser, const QStringList& args)
{
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty())
        return "unknown option " + dashed(unknown.first());
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == "--")
            break;
        if (arg.startsWith("--")) {
            const qsizetype equals = arg.indexOf('=');
            const Option* option = findOption(command, arg.mid(2, equals < 0 ? -1 : equals - 2));
            if (!option)
                continue;
            if (option->valueName.isEmpty() && equals >= 0)
                return arg.left(equals) + " takes no value";
            if (!option->valueName.isEmpty() && equals < 0 && ++i >= args.size())
                return arg + " needs a value";
        } else if (arg.startsWith('-') && arg.size() > 1) {
            // Short options may be run together ("-qo IMAGE"); one that takes a
            // value takes the rest of the word, or else the next argument.
            for (qsizetype k = 1; k < arg.size(); ++k) {
                const Option* option = findOption(command, arg.mid(k, 1));
                if (!option || option->valueName.isEmpty())
                    continue;
                if (k + 1 == arg.size() && ++i >= args.size())
                    return dashed(arg.mid(k, 1)) + " needs a value";
                break;
            }
        }
    }
    QString reason = parser.errorText();
    if (reason.endsWith('.'))
        reason.chop(1);
    return reason.isEmpty() ? QString("bad arguments") : reason;
}

int runCommand(const Command& command, const QStringList& args)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    std::vector<Option> all = command.options;
    all.push_back(kHelpOption);
    for (const Option& option : all) {
        QCommandLineOption o(option.names, option.description, option.valueName, option.defaultValue);
        parser.addOption(o);
    }
    const bool parsed = parser.parse(QStringList{"qvt"} + args);
    const Invocation invocation(command, parser);

    if (parser.isSet("help")) {
        print(stdout, helpText(command));
        return 0;
    }
    if (!parsed)
        return invocation.badArgument(parseFailure(command, parser, args));
    for (const Option& option : command.options)
        if (option.required && !parser.isSet(option.names.first()))
            return invocation.badArgument(dashed(option.names.last()) + " is required");
    const QStringList positional = parser.positionalArguments();
    if (positional.size() < qsizetype(command.arguments.size()))
        return invocation.badArgument("missing " + command.arguments[std::size_t(positional.size())].name);
    if (positional.size() > qsizetype(command.arguments.size()))
        return invocation.badArgument("unexpected argument " + positional[qsizetype(command.arguments.size())]);
    return command.run(invocation);
}

} // namespace

Invocation::Invocation(const Command& command, const QCommandLineParser& parser)
    : command_(command), parser_(parser)
{
}

bool Invocation::isSet(const QString& option) const
{
    return parser_.isSet(option);
}

QString Invocation::value(const QString& option) const
{
    return parser_.value(option);
}

std::string Invocation::path(const QString& option) const
{
    return bytesOf(parser_.value(option));
}

std::string Invocation::argument(qsizetype index) const
{
    return bytesOf(parser_.positionalArguments().value(index));
}

bool Invocation::number(const QString& option, int low, int high, int& value) const
{
    bool ok = false;
    const int v = parser_.value(option).toInt(&ok);
    if (!ok || v < low || v > high)
        return false;
    value = v;
    return true;
}

int Invocation::badArgument(const QString& reason) const
{
    print(stderr, "qvt " + command_.name + ": " + reason + '\n' + usageLine(command_) + '\n');
    return kBadArguments;
}

void Invocation::error(std::string_view text) const
{
    const std::string name = command_.name.toStdString();
    std::fprintf(stderr, "qvt %s: %.*s\n", name.c_str(), int(text.size()), text.data());
}

int runTool(int argc, char** argv, std::span<const Command* const> commands)
{
    // A command that paints has made its QGuiApplication already (main.cpp).
    std::optional<QCoreApplication> app;
    if (!QCoreApplication::instance())
        app.emplace(argc, argv);
    QCoreApplication::setApplicationName("qvt");

    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QFile::decodeName(argv[i]);
    if (args.isEmpty()) {
        printToolUsage(stderr, commands);
        return kBadArguments;
    }
    const QString first = args.takeFirst();
    if (first == "--version") {
        std::printf("qvt %s\n", QVT_VERSION);
        return 0;
    }
    const bool help = first == "--help" || first == "-h" || first == "help";
    // `qvt help COMMAND` is `qvt COMMAND --help`.
    const QString wanted = help && !args.isEmpty() ? args.first() : first;
    for (const Command* command : commands)
        if (command->name == wanted)
            return runCommand(*command, help ? QStringList{"--help"} : args);
    if (help && args.isEmpty()) {
        printToolUsage(stdout, commands);
        return 0;
    }
    print(stderr, "qvt: unknown command '" + wanted + "'\n");
    printToolUsage(stderr, commands);
    return kBadArguments;
}

} // namespace qvt::cli
