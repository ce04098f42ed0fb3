// `qvt label --preview`: the printer's picture of a project's label, headless.
#include "core/headless_messages.h"
#include "label/label_text.h"
#include "project/project_file.h"
#include "qvt_runner.h"
#include "test_files.h"

#include <QImage>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

using namespace qvt;
using namespace qvt::test;

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

// The sample project with the given barcode type and the item code (str01)
// and quantity (int01) given initial values.
std::string sampleWith(const TempDir& dir, const std::string& barcodeType, const std::string& itemCode)
{
    ProjectState project;
    SilentMessages messages;
    EXPECT_EQ(LoadProjectFile(sourcePath("examples/stockcount.zmk"), project, messages), LoadResult::Opened);
    project.variables[kFirstString].initialValue = itemCode;
    project.variables[kFirstInteger].initialValue = "42";
    LabelDesign design;
    EXPECT_TRUE(LoadLabelText(project.labelText, design, project.variables, messages));
    design.BarcodeType = barcodeType;
    // Room for the bars on a label 100 mm long.
    design.LabelType = "Et60x100";
    project.labelText = BuildLabelText(design, project.variables);
    const std::string path = dir.path(barcodeType + ".zmk");
    EXPECT_TRUE(WriteProjectFile(path, project));
    return path;
}

std::string readBarcode(const std::string& png)
{
    QProcess reader;
    reader.start(QStandardPaths::findExecutable("zbarimg"), {"--quiet", "--raw", q(png)});
    if (!reader.waitForFinished(20000))
        return "zbarimg did not finish";
    return reader.readAllStandardOutput().trimmed().toStdString();
}

} // namespace

TEST(LabelPreviewCommand, WritesThePrintersPictureAtItsResolution)
{
    ASSERT_FALSE(QStandardPaths::findExecutable("zbarimg").isEmpty()) << "scripts/setup installs zbar-tools";
    TempDir dir;
    struct Case {
        std::string barcodeType;
        std::string itemCode;
    };
    for (const Case& c : {Case{"CODE39", "QVT-42"}, Case{"ITF25", "123456"}}) {
        SCOPED_TRACE(c.barcodeType);
        const std::string project = sampleWith(dir, c.barcodeType, c.itemCode);
        const std::string png = dir.path(c.barcodeType + ".png");
        const QvtRun run = runQvt({"label", q(project), "--preview", q(png)});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        // One pixel per printer dot: the 60 x 100 label is 220 x 365 units.
        const QImage image(q(png));
        EXPECT_EQ(image.size(), QSize(220, 365));
        EXPECT_EQ(readBarcode(png), c.itemCode);

        const std::string fine = dir.path(c.barcodeType + "-300.png");
        ASSERT_EQ(runQvt({"label", q(project), "--preview", q(fine), "--dpi", "300"}).exitCode, 0);
        EXPECT_EQ(QImage(q(fine)).size(), QSize(660, 1095));
        EXPECT_EQ(readBarcode(fine), c.itemCode);
    }

    const std::string svg = dir.path("label.svg");
    const QvtRun run = runQvt({"label", q(sourcePath("examples/stockcount.zmk")), "--preview", q(svg)});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(readFile(svg).find("<svg"), std::string::npos);
}

TEST(LabelPreviewCommand, RefusesWhatItCannotDraw)
{
    TempDir dir;
    const QString sample = q(sourcePath("examples/stockcount.zmk"));
    const struct {
        QStringList args;
        int exitCode;
    } cases[] = {
        {{"--preview", q(dir.path("label.gif"))}, 2},
        {{"--preview", q(dir.path("label.png")), "--dpi", "0"}, 2},
        {{"--preview", q(dir.path("label.png")), "--dpi", "many"}, 2},
        {{"--preview", q(dir.path("no/such/folder/label.png"))}, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const QvtRun run = runQvt(QStringList{"label", sample} + c.args);
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_NE(run.err.find("qvt label: "), std::string::npos) << run.err;
    }
}
