#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

// The designer started where no display answers: one line that says so, and
// exit status 1, rather than a page about platform plug-ins and an abort.
TEST(DesignerStart, DisplayThatDoesNotAnswerIsReportedInOneLine)
{
    const QString display = QStringLiteral(":8931");
    if (QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X8931")))
        GTEST_SKIP() << "a display " << display.toStdString() << " exists here";

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    QProcess designer;
    designer.setProcessEnvironment(env);
    designer.setWorkingDirectory(QDir::tempPath());
    designer.start(QStringLiteral(QVT_DESIGNER), {});
    ASSERT_TRUE(designer.waitForFinished(60000)) << "the designer did not end";

    const QString errors = QString::fromLocal8Bit(designer.readAllStandardError());
    EXPECT_EQ(designer.exitStatus(), QProcess::NormalExit) << errors.toStdString();
    EXPECT_EQ(designer.exitCode(), 1);
    EXPECT_EQ(errors.count(QLatin1Char('\n')), 1) << errors.toStdString();
    EXPECT_TRUE(errors.startsWith(QStringLiteral("qvt-designer: no display to show the designer on ("))) << errors.toStdString();
    EXPECT_TRUE(errors.contains(display)) << errors.toStdString();
}
