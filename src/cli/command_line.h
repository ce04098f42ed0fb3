#pragma once

#include <QString>
#include <QStringList>

#include <span>
#include <string>
#include <string_view>
#include <vector>

class QCommandLineParser;

// The front of the `qvt` tool, shared by every command. It picks the command,
// parses its arguments, builds `qvt --help` and `qvt COMMAND --help`, and
// reports a bad argument the same way in every command, on stderr:
//
//     qvt COMMAND: REASON
//     usage: qvt COMMAND ...
//
// with exit status 2 (kBadArguments).
//
// Adding a command: write src/cli/NAME_command.cpp defining a `const Command`
// (name, one-line summary, description, arguments, options, exit status and
// the run function), declare it in commands.h and add it to the list in
// main.cpp. The build picks up every *_command.cpp by itself.
//
// Adding an option: append an `Option` to the command's `options` and read it
// in its run function with isSet(), value(), path() or number(). The usage
// line, the help and the errors for a missing value or an unknown option
// follow from the declaration; a value the command itself finds wrong goes
// to badArgument(). Every command gets -h/--help from the front.
namespace qvt::cli {

// Exit status for a bad argument, in every command.
constexpr int kBadArguments = 2;

struct Option {
    QStringList names;          // without dashes; a one-letter name first: {"o", "output"}
    QString valueName = {};     // placeholder of its value ("IMAGE"); empty for a switch
    QString description = {};
    QString defaultValue = {};  // taken when the option is not given; the help shows it
    bool required = false;
};

struct Argument {
    QString name;  // "PROJECT.zmk"
    QString description;
};

class Invocation;

struct Command {
    QString name;
    QString summary;                  // its line in `qvt --help`
    QString description;              // wrapped; a line starting with a blank is kept as it is
    std::vector<Argument> arguments;  // each one must be given, in this order
    std::vector<Option> options;
    QString exitStatus;               // what each exit status means
    int (*run)(const Invocation&);
};

// A command's arguments, parsed and checked against its declaration.
class Invocation {
public:
    Invocation(const Command& command, const QCommandLineParser& parser);

    const Command& command() const { return command_; }
    // `option` is any of the option's names.
    bool isSet(const QString& option) const;
    QString value(const QString& option) const;
    // The option's value or the argument, as the bytes given: for file names,
    // devices and printer targets.
    std::string path(const QString& option) const;
    std::string argument(qsizetype index) const;
    // Reads the option's value as a whole number from low to high.
    bool number(const QString& option, int low, int high, int& value) const;

    // Reports a bad argument ("qvt COMMAND: REASON" and the usage line) and
    // returns kBadArguments.
    int badArgument(const QString& reason) const;
    // Prints "qvt COMMAND: TEXT" on stderr.
    void error(std::string_view text) const;

private:
    const Command& command_;
    const QCommandLineParser& parser_;
};

// `qvt` itself: runs the command argv[1] names, with the rest of argv.
int runTool(int argc, char** argv, std::span<const Command* const> commands);

} // namespace qvt::cli
