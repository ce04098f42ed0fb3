// `qvt render`: one machine drawn headless, as PNG, SVG or the JSON that
// scripts read.
#include "qvt_runner.h"
#include "test_files.h"

#include "core/headless_messages.h"
#include "core/project_state.h"
#include "model/item_kinds.h"
#include "model/items_list.h"
#include "project/project_file.h"

#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace qvt::test {
namespace {

// The Online machine of the fixture (8 x 25 cells, 1595 x 5035 pixels):
//
//   id 1  Input (5), entry, row 0 col 0: OK -> 2, Error -> 3, Cancel -> 4
//   id 2  GetSeq, row 1 col 2, Next not connected
//   id 3  NumCmp, row 1 col 3, Less -> 9 (no such item: not drawn)
//   id 4  GetDate, row 1 col 0
//   id 6  Sync (7), row 3 col 1, no exits
//
// Routed: Cancel (offset 131) straight down is a drop stub; OK (offset 25) and
// Error (offset 78) run in the channel below row 0, Error on lane 0 and OK on
// lane 1, so that they do not cross.
class RenderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ProjectState project;
        project.newProject();
        SilentMessages messages;
        TitcItemsList items(messages);
        const auto place = [&](std::int32_t kind, std::int32_t id, int row, int column) -> TitcItem& {
            std::unique_ptr<TitcItem> item = CreateItem(kind);
            item->id = id;
            item->row = row;
            item->column = column;
            TitcItem& placed = *item;
            items.PutItem(std::move(item));
            return placed;
        };
        auto& input = static_cast<TItcInputMenu&>(place(KindInput, 1, 0, 0));
        input.stateNumber = 5;
        input.screenText = "COUNT \xFE\r\nNEXT";  // 0xFE is "ş"
        input.SetConnection("OK", 2, messages);
        input.SetConnection("Error", 3, messages);
        input.SetConnection("Cancel", 4, messages);
        place(KindGetSequence, 2, 1, 2);
        place(KindNumCmp, 3, 1, 3).SetConnection("Less", 9, messages);
        place(KindGetDate, 4, 1, 0);
        static_cast<TItcSync&>(place(KindSync, 6, 3, 1)).stateNumber = 7;
        ASSERT_EQ(messages.errorCount, 0);
        ASSERT_TRUE(items.SaveToMachineText(project.machineText(MachineId::Online)));
        projectPath_ = dir_.path("small.zmk");
        ASSERT_TRUE(WriteProjectFile(projectPath_, project));
    }

    QvtRun render(const QStringList& extra, const std::string& out)
    {
        return runQvt(QStringList{"render", QString::fromStdString(projectPath_)} + extra
                      + QStringList{"-o", QString::fromStdString(out)});
    }

    // Renders as JSON (the Online machine unless another is named) and parses it.
    QJsonObject renderJson(QStringList extra = {})
    {
        if (!extra.contains("--machine"))
            extra << "--machine" << "online";
        const std::string out = dir_.path("picture.json");
        const QvtRun run = render(extra, out);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.err, "");
        text_ = readFile(out);
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(text_), &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString() << "\n" << text_;
        return doc.object();
    }

    static std::vector<int> highlights(const QJsonObject& json)
    {
        std::vector<int> result;
        for (const QJsonValue& line : json["connections"].toArray())
            result.push_back(line["highlight"].toInt());
        return result;
    }

    TempDir dir_;
    std::string projectPath_;
    std::string text_;
};

using Points = std::vector<std::vector<int>>;

Points pointsOf(const QJsonValue& line)
{
    Points points;
    for (const QJsonValue& p : line["points"].toArray())
        points.push_back({p[0].toInt(), p[1].toInt()});
    return points;
}

TEST_F(RenderTest, JsonHoldsTheItemsTheirExitsAndTheRoutedLines)
{
    const QJsonObject json = renderJson();
    // Keys in the documented order, for readers that do not parse.
    EXPECT_EQ(text_.rfind("{\"width\": 1595, \"height\": 5035,\n \"items\": [", 0), 0u) << text_;
    EXPECT_LT(text_.find("\"connections\""), text_.find("\"messages\""));

    const QJsonArray items = json["items"].toArray();
    std::vector<int> ids;
    for (const QJsonValue& item : items)
        ids.push_back(item["id"].toInt());
    EXPECT_EQ(ids, (std::vector<int>{1, 2, 3, 4, 6}));

    const QJsonObject input = items[0].toObject();
    EXPECT_EQ(input["row"].toInt(), 0);
    EXPECT_EQ(input["column"].toInt(), 0);
    EXPECT_EQ(input["kind"].toInt(), 57);
    EXPECT_EQ(input["title"].toString(), "Input (5) Start");
    EXPECT_EQ(input["body"].toArray(), (QJsonArray{QString::fromUtf8("COUNT ş"), "NEXT"}));
    const QJsonArray exits = input["bottomExits"].toArray();
    ASSERT_EQ(exits.size(), 3);
    const QJsonObject expectedExits[] = {
        {{"label", "OK"}, {"first", 1}, {"last", 53}, {"target", 2}},
        {{"label", "Error"}, {"first", 53}, {"last", 106}, {"target", 3}},
        {{"label", "Cancel"}, {"first", 106}, {"last", 159}, {"target", 4}},
    };
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(exits[i].toObject(), expectedExits[i]) << i;
    EXPECT_EQ(input["rightExits"].toArray(), QJsonArray());

    // Unconnected and dangling exits keep their targets; Sync has no exits.
    EXPECT_EQ(items[1]["bottomExits"][0]["target"].toInt(), 0);
    EXPECT_EQ(items[2]["bottomExits"][0]["label"].toString(), "Less");
    EXPECT_EQ(items[2]["bottomExits"][0]["target"].toInt(), 9);
    EXPECT_EQ(items[3]["body"].toArray(), (QJsonArray{"", "(no variable) <-- Date"}));
    EXPECT_EQ(items[4]["title"].toString(), "Sync (7)");
    EXPECT_EQ(items[4]["bottomExits"].toArray(), QJsonArray());
    EXPECT_EQ(items[4]["rightExits"].toArray(), QJsonArray());

    // Drop stub first, then the horizontal segments in the order they were
    // added (OK, Error); the connection to the missing item 9 is not drawn.
    const QJsonArray lines = json["connections"].toArray();
    ASSERT_EQ(lines.size(), 3) << text_;
    EXPECT_EQ(pointsOf(lines[0]), (Points{{170, 200}, {170, 234}}));
    EXPECT_EQ(pointsOf(lines[1]), (Points{{60, 201}, {60, 208}, {457, 208}, {457, 234}}));
    EXPECT_EQ(pointsOf(lines[2]), (Points{{113, 201}, {113, 204}, {656, 204}, {656, 234}}));
    EXPECT_EQ(highlights(json), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(json["messages"].toArray(), QJsonArray());
}

// Lines in the order Cancel, OK, Error.
TEST_F(RenderTest, SelectionSetsTheHighlights)
{
    const struct {
        QString select;
        std::vector<int> highlights;
    } cases[] = {
        {"1", {1, 1, 1}},       // the item, no exit: all its connections
        {"1:OK", {0, 2, 0}},    // the selected connection only
        {"1:Cancel", {2, 0, 0}},
        {"3", {0, 0, 0}},       // another item
        {"3:Less", {0, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.select.toStdString());
        EXPECT_EQ(highlights(renderJson({"--select", c.select})), c.highlights);
    }
}

TEST_F(RenderTest, BadArgumentsAndUnreadableProjectsExitWithTwo)
{
    const std::string broken = dir_.path("broken.zmk");
    writeFile(broken, "V100\r\n");
    const struct {
        QStringList args;
        std::string reason;
    } cases[] = {
        {{"--machine", "sideways"}, "--machine must be one of online, offline, online-timer, offline-timer"},
        {{"--machine", "online", "--format", "gif"}, "--format must be one of png, svg, json"},
        {{"--machine", "online", "--select", "x"}, "--select must be an item id from 1 to 1000"},
        {{"--machine", "online", "--select", "0"}, "--select must be an item id from 1 to 1000"},
        {{"--machine", "online", "--select", "5"}, "the Online machine has no item 5"},
        {{"--machine", "online", "--select", "1:ok"}, "item 1 has no exit \"ok\""},
        {{"--machine", "online", "--select", "6:Next"}, "item 6 has no exit \"Next\""},
    };
    const std::string out = dir_.path("picture.json");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const QvtRun run = render(c.args, out);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_EQ(run.err.rfind("qvt render: " + c.reason, 0), 0u) << run.err;
        EXPECT_EQ(run.out, "");
    }

    const QvtRun noFormat = render({"--machine", "online"}, dir_.path("picture.txt"));
    EXPECT_EQ(noFormat.exitCode, 2);
    EXPECT_EQ(noFormat.err.rfind("qvt render: the name of OUT ends in no known format", 0), 0u) << noFormat.err;

    for (const std::string& project : {broken, dir_.path("missing.zmk")}) {
        SCOPED_TRACE(project);
        const QvtRun run = runQvt({"render", QString::fromStdString(project), "--machine", "online", "-o",
                                   QString::fromStdString(out)});
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_EQ(run.err.rfind("qvt render: " + project + ": ", 0), 0u) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    }
    EXPECT_FALSE(QFile::exists(QString::fromStdString(out)));
}

TEST_F(RenderTest, PngAndSvgAreWrittenWithThePicturesSize)
{
    const std::string png = dir_.path("picture.png");
    const QvtRun run = render({"--machine", "online"}, png);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const QImage image(QString::fromStdString(png));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(1595, 5035));
    // The Error line on lane 0 of the channel below row 0, red.
    EXPECT_EQ(image.pixelColor(300, 204), QColor(255, 0, 0));
    // A cell's box fill.
    EXPECT_EQ(image.pixelColor(100, 100), QColor(244, 244, 244));

    // --format wins over the name.
    const std::string svg = dir_.path("picture.png.out");
    const QvtRun svgRun = render({"--machine", "online", "--format", "svg"}, svg);
    ASSERT_EQ(svgRun.exitCode, 0) << svgRun.err;
    const std::string text = readFile(svg);
    EXPECT_NE(text.find("<svg"), std::string::npos);
    EXPECT_NE(text.find("width=\"1595"), std::string::npos) << text.substr(0, 600);

    const QvtRun unwritable = render({"--machine", "online"}, dir_.path("no/such/folder/picture.png"));
    EXPECT_EQ(unwritable.exitCode, 1);
    EXPECT_EQ(unwritable.err.rfind("qvt render: ", 0), 0u) << unwritable.err;
}

TEST_F(RenderTest, OtherMachinesAndTheSample)
{
    // An empty machine: no items, no lines.
    const QJsonObject empty = renderJson({"--machine", "offline-timer"});
    EXPECT_EQ(empty["items"].toArray(), QJsonArray());
    EXPECT_EQ(empty["connections"].toArray(), QJsonArray());

    const std::string out = dir_.path("sample.json");
    const QvtRun run = runQvt({"render", QString::fromStdString(sourcePath("examples/stockcount.zmk")), "--machine",
                               "online", "-o", QString::fromStdString(out)});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const QJsonObject sample = QJsonDocument::fromJson(QByteArray::fromStdString(readFile(out))).object();
    EXPECT_FALSE(sample["items"].toArray().isEmpty());
    EXPECT_FALSE(sample["connections"].toArray().isEmpty());
    EXPECT_EQ(sample["messages"].toArray(), QJsonArray());
}

} // namespace
} // namespace qvt::test
