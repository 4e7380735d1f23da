#pragma once

// Runs the cuemora-grid built beside the tests and keeps what it said.

#include <QByteArray>
#include <QProcess>
#include <QStringList>

namespace testtool {

struct Run {
    int exitCode = -1; // -1 when it did not end by itself within 30 s
    QByteArray out, err;
};

inline Run runGridTool(const QStringList& arguments) {
    QProcess tool;
    tool.start(QStringLiteral(CUEMORA_GRID_TOOL), arguments);
    Run run;
    if (!tool.waitForFinished(30000) || tool.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = tool.exitCode();
    run.out = tool.readAllStandardOutput();
    run.err = tool.readAllStandardError();
    return run;
}

} // namespace testtool
