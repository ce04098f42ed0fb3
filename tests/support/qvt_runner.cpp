#include "qvt_runner.h"

#include <QProcess>

#include <gtest/gtest.h>

namespace qvt::test {

QString qvtProgram()
{
    return QStringLiteral(QVT_CLI);
}

QvtRun runQvt(const QStringList& args)
{
    QProcess process;
    process.start(qvtProgram(), args);
    const bool finished = process.waitForFinished(120000);
    EXPECT_TRUE(finished) << "qvt " << args.join(' ').toStdString() << " did not finish";
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << "qvt " << args.join(' ').toStdString() << " crashed";
    QvtRun run;
    if (finished && process.exitStatus() == QProcess::NormalExit)
        run.exitCode = process.exitCode();
    run.out = process.readAllStandardOutput().toStdString();
    run.err = process.readAllStandardError().toStdString();
    return run;
}

} // namespace qvt::test
