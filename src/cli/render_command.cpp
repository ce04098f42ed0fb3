#include "cli/commands.h"

#include "core/atomic_file.h"
#include "core/cp1254.h"
#include "core/display_painter.h"
#include "core/headless_messages.h"
#include "editor/canvas_measurer.h"
#include "editor/connection_routing.h"
#include "editor/machine_document.h"
#include "editor/machine_picture.h"
#include "project/project_file.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>

#include <array>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace qvt::cli {

namespace {

// Keeps what opening the project and its machine had to say, so that a
// refusal becomes one line under the command's name.
class CollectedMessages : public SilentMessages {
public:
    std::vector<std::string> lines;

protected:
    void shown(std::string_view message, bool) override
    {
        std::string line;
        for (char c : message)
            line.push_back(c == '\r' || c == '\n' ? ' ' : c);
        while (line.find("  ") != std::string::npos)
            line.replace(line.find("  "), 2, " ");
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        lines.push_back(line);
    }
};

struct MachineName {
    const char* name;
    MachineId machine;
};
constexpr std::array<MachineName, 4> kMachineNames{{
    {"online", MachineId::Online},
    {"offline", MachineId::Offline},
    {"online-timer", MachineId::OnlineTimer},
    {"offline-timer", MachineId::OfflineTimer},
}};

enum class Format { Png, Svg, Json };

std::optional<Format> FormatNamed(const QString& name)
{
    const QString n = name.toLower();
    if (n == "png")
        return Format::Png;
    if (n == "svg")
        return Format::Svg;
    if (n == "json")
        return Format::Json;
    return std::nullopt;
}

// A JSON string of Windows-1254 bytes, as UTF-8.
void AppendString(std::string& out, std::string_view bytes)
{
    out.push_back('"');
    for (char c : fromCp1254(bytes).toStdString()) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out.push_back('\\');
            out.push_back(c);
        } else if (u < 0x20 || u == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", u);
            out += escaped;
        } else {
            out.push_back(c);
        }
    }
    out.push_back('"');
}

void AppendExits(std::string& out, const TBagListesi& exits, int count, const std::vector<std::int32_t>& targets,
                 std::size_t firstTarget)
{
    out += '[';
    for (int i = 0; i < count; ++i) {
        const TBag& exit = exits[static_cast<std::size_t>(i)];
        const std::size_t slot = firstTarget + static_cast<std::size_t>(i);
        out += i == 0 ? "{\"label\": " : ", {\"label\": ";
        AppendString(out, exit.label);
        out += ", \"first\": " + std::to_string(exit.first) + ", \"last\": " + std::to_string(exit.last)
               + ", \"target\": " + std::to_string(slot < targets.size() ? targets[slot] : 0) + '}';
    }
    out += ']';
}

// The picture as the JSON that tests and scripts read: its size, the items in
// ascending id order with their texts and exits, the routed lines in drawing
// order and the routing's messages.
std::string PictureJson(const TitcItemsList& items, const VariableTable& variables, int width, int height,
                        const ConnectionRouter& router)
{
    std::string out = "{\"width\": " + std::to_string(width) + ", \"height\": " + std::to_string(height) + ",\n";
    out += " \"items\": [";
    bool first = true;
    items.ForEachItem([&](const TitcItem& item) {
        const ItemText text = ItemTexts(item, variables);
        const std::vector<std::int32_t> targets = item.ExitTargets();
        out += first ? "\n  " : ",\n  ";
        first = false;
        out += "{\"id\": " + std::to_string(item.id) + ", \"row\": " + std::to_string(item.row)
               + ", \"column\": " + std::to_string(item.column) + ", \"kind\": " + std::to_string(item.KindNumber())
               + ", \"title\": ";
        AppendString(out, text.title);
        out += ",\n   \"body\": [";
        for (std::size_t i = 0; i < text.body.size(); ++i) {
            if (i != 0)
                out += ", ";
            AppendString(out, text.body[i]);
        }
        out += "],\n   \"bottomExits\": ";
        AppendExits(out, item.bottomExits, item.bottomExitCount, targets, 0);
        out += ",\n   \"rightExits\": ";
        AppendExits(out, item.rightExits, item.rightExitCount, targets,
                    static_cast<std::size_t>(std::max(item.bottomExitCount, 0)));
        out += '}';
    });
    out += first ? "],\n" : "\n ],\n";

    out += " \"connections\": [";
    first = true;
    for (const RoutedLine& line : router.Lines()) {
        out += first ? "\n  " : ",\n  ";
        first = false;
        out += "{\"highlight\": " + std::to_string(line.highlight) + ", \"points\": [";
        for (int i = 0; i < line.pointCount; ++i) {
            const PixelPoint& p = line.points[static_cast<std::size_t>(i)];
            out += (i == 0 ? "[" : ", [") + std::to_string(p.x) + ", " + std::to_string(p.y) + ']';
        }
        out += "]}";
    }
    out += first ? "],\n" : "\n ],\n";

    out += " \"messages\": [";
    first = true;
    for (const std::string& message : router.Messages()) {
        out += first ? "" : ", ";
        first = false;
        AppendString(out, message);
    }
    out += "]}\n";
    return out;
}

// "12" or "12:OK": an item id and, after a colon, one of its exits.
struct SelectArgument {
    std::int32_t id = 0;
    std::optional<std::string> exit;
};

std::optional<SelectArgument> ParseSelect(const QString& value)
{
    const qsizetype colon = value.indexOf(':');
    bool ok = false;
    const int id = (colon < 0 ? value : value.left(colon)).toInt(&ok);
    if (!ok || id < 1 || id > kMaxItemId)
        return std::nullopt;
    SelectArgument select;
    select.id = id;
    if (colon >= 0)
        select.exit = toCp1254(value.mid(colon + 1));
    return select;
}

bool HasExit(const TitcItem& item, const std::string& label)
{
    for (int i = 0; i < item.bottomExitCount; ++i)
        if (item.bottomExits[static_cast<std::size_t>(i)].label == label)
            return true;
    for (int j = 0; j < item.rightExitCount; ++j)
        if (item.rightExits[static_cast<std::size_t>(j)].label == label)
            return true;
    return false;
}

int runRender(const Invocation& invocation)
{
    const std::string path = invocation.argument(0);
    const std::string outPath = invocation.path("output");

    std::optional<MachineId> machine;
    for (const MachineName& m : kMachineNames)
        if (invocation.value("machine") == QLatin1String(m.name))
            machine = m.machine;
    if (!machine)
        return invocation.badArgument("--machine must be one of online, offline, online-timer, offline-timer");

    std::optional<Format> format;
    if (invocation.isSet("format")) {
        format = FormatNamed(invocation.value("format"));
        if (!format)
            return invocation.badArgument("--format must be one of png, svg, json");
    } else {
        format = FormatNamed(QFileInfo(invocation.value("output")).suffix());
        if (!format)
            return invocation.badArgument("the name of OUT ends in no known format; give --format png, svg or json");
    }

    std::optional<SelectArgument> select;
    if (invocation.isSet("select")) {
        select = ParseSelect(invocation.value("select"));
        if (!select)
            return invocation.badArgument("--select must be an item id from 1 to 1000, with :EXIT after it if wanted");
    }

    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        invocation.error("drawing needs the graphical application; none was made");
        return 2;
    }

    ProjectState project;
    CollectedMessages loadMessages;
    if (LoadProjectFile(path, project, loadMessages) != LoadResult::Opened) {
        const std::string reason = loadMessages.lines.empty() ? "cannot be read" : loadMessages.lines.front();
        invocation.error(path + ": " + reason);
        return 2;
    }

    PainterFontMetrics metrics;
    CanvasMeasurer measurer(metrics);
    CollectedMessages machineMessages;
    const std::unique_ptr<MachineDocument> document =
        MachineDocument::Open(project, *machine, machineMessages, &measurer);
    if (!document) {
        const std::string reason = machineMessages.lines.empty() ? "the machine cannot be read"
                                                                 : machineMessages.lines.back();
        invocation.error(path + ": " + reason);
        return 2;
    }
    // Lines skipped while reading do not stop the drawing; say which.
    for (const std::string& line : machineMessages.lines)
        invocation.error(path + ": " + line);
    const TitcItemsList& items = document->items();

    MachineSelection selection;
    if (select) {
        const TitcItem* item = items.ItemById(select->id);
        if (!item)
            return invocation.badArgument(QString("the %1 machine has no item %2")
                                              .arg(QString::fromLatin1(machineName(*machine)))
                                              .arg(select->id));
        if (select->exit && !HasExit(*item, *select->exit))
            return invocation.badArgument(QString("item %1 has no exit \"%2\"")
                                              .arg(select->id)
                                              .arg(fromCp1254(*select->exit)));
        selection.row = item->row;
        selection.column = item->column;
        selection.itemId = item->id;
        selection.exit = select->exit.value_or(std::string());
    }

    const auto router = std::make_unique<ConnectionRouter>();
    router->Route(items, selection.itemId, selection.exit);

    const int width = PictureWidth(project.gridColumns);
    const int height = PictureHeight(project.gridRows);
    if (*format == Format::Json) {
        const std::string json = PictureJson(items, project.variables, width, height, *router);
        FileWriteFailure failure;
        if (!WriteFileAtomically(outPath, json, &failure)) {
            invocation.error("cannot write " + outPath + (failure.reason.empty() ? "" : ": " + failure.reason));
            return 1;
        }
        return 0;
    }

    DisplayList picture;
    BuildMachinePicture(picture, items, project.variables, project.gridColumns, project.gridRows, selection, metrics,
                        router->Lines());
    for (const std::string& message : router->Messages())
        invocation.error(path + ": " + message);
    QString error;
    const QString out = QFile::decodeName(outPath.c_str());
    const bool written = *format == Format::Png ? WritePng(picture, out, &error) : WriteSvg(picture, out, &error);
    if (!written) {
        invocation.error(error.toStdString());
        return 1;
    }
    return 0;
}

QtMessageHandler gQtHandler = nullptr;

// Without a desktop session Qt warns that it has no runtime folder, which
// drawing into a file never uses; that warning would bury the command's own
// one-line reasons. Everything else Qt says is passed on.
void DropSessionWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg && message.startsWith(QLatin1String("QStandardPaths: ")))
        return;
    if (gQtHandler)
        gQtHandler(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

std::unique_ptr<QCoreApplication> ApplicationForCommand(int& argc, char** argv)
{
    if (argc < 2)
        return nullptr;
    // `qvt label --preview` draws as well.
    bool draws = std::string_view(argv[1]) == "render";
    for (int i = 2; i < argc && !draws; ++i)
        draws = std::string_view(argv[1]) == "label" && std::string_view(argv[i]).starts_with("--preview");
    if (!draws)
        return nullptr;
    // Drawing needs no screen: without a chosen platform, draw offscreen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    gQtHandler = qInstallMessageHandler(DropSessionWarnings);
    return std::make_unique<QGuiApplication>(argc, argv);
}

const Command kRenderCommand{
    "render",
    "draw one machine of a project as PNG, SVG or JSON",
    "Draws one machine of the project as the design window shows it, with the same painter, without a window. "
    "The format comes from --format, else from the extension of OUT. --select ID selects that item (and its "
    "cell) with no exit selected; --select ID:EXIT also selects its exit EXIT, which changes how its connections "
    "are highlighted.\n"
    "\n"
    "The JSON form holds the picture's width and height; the items in ascending id order with id, row, column, "
    "kind, title, body lines and their bottom and right exits (label, first, last, target; target 0 when not "
    "connected); every routed line in drawing order with its highlight (0 other, 1 the selected item's, 2 the "
    "selected connection) and its points; and the routing's messages.",
    {{"PROJECT.zmk", "the project file"}},
    {{{"machine"}, "MACHINE", "online, offline, online-timer or offline-timer", {}, true},
     {{"select"}, "ID[:EXIT]", "select item ID, and its exit EXIT when given"},
     {{"format"}, "FORMAT", "png, svg or json (default: from the extension of OUT)"},
     {{"o", "output"}, "OUT", "write the picture here", {}, true}},
    "0 the picture written, 1 it could not be written, 2 the project or the machine could not be read, or bad "
    "arguments (an unknown machine or format, an item or exit that is not there).",
    runRender,
};

} // namespace qvt::cli
