// Whole processes, each started under GNU time, which reports the peak of
// the largest process it waited for (cc1 for gcc): a process forked from
// the benchmark itself would count the benchmark's own memory as its floor.
// The wall time runs from the start to the reaping.
#include "peerfigures.h"

#include "benchdocuments.h"

#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>

#include <sys/resource.h>
#include <sys/wait.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

namespace {

constexpr qsizetype MiB = 1024 * 1024;
constexpr double MemoryAllowanceMiB = 16;
// A reader gone astray must not take the machine: a run is ended beyond these.
constexpr rlim_t AddressSpaceLimit = rlim_t(12) << 30;
constexpr rlim_t CpuSecondsLimit = 120;

struct Run
{
    double seconds = 0;
    double peakMiB = 0;
    QString failure; // empty when the command ended with status 0
};

Run runOnce(const QString &timeTool, const QString &peakFile, const QStringList &command)
{
    std::vector<QByteArray> arguments;
    for (const QString &argument :
         QStringList {timeTool, QStringLiteral("-f"), QStringLiteral("%M"), QStringLiteral("-o"),
                      peakFile}
                 + command)
        arguments.push_back(QFile::encodeName(argument));
    std::vector<char *> argv;
    for (QByteArray &argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    Run run;
    QElapsedTimer clock;
    clock.start();
    const pid_t child = fork();
    if (child == 0) {
        const int null = open("/dev/null", O_RDWR);
        dup2(null, STDIN_FILENO);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        const rlimit memory {AddressSpaceLimit, AddressSpaceLimit};
        const rlimit cpu {CpuSecondsLimit, CpuSecondsLimit};
        setrlimit(RLIMIT_AS, &memory);
        setrlimit(RLIMIT_CPU, &cpu);
        execv(argv[0], argv.data());
        _exit(127);
    }
    if (child < 0) {
        run.failure = QStringLiteral("cannot start");
        return run;
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child) {
        run.failure = QStringLiteral("lost");
        return run;
    }
    run.seconds = clock.nsecsElapsed() / 1e9;
    // time's last line; before it, a line when the command died of a signal.
    QFile peak(peakFile);
    const QByteArrayList lines = peak.open(QIODevice::ReadOnly)
            ? peak.readAll().trimmed().split('\n')
            : QByteArrayList();
    run.peakMiB = lines.isEmpty() ? 0 : lines.last().toDouble() / 1024.0;
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    if (code >= 128)
        run.failure = QStringLiteral("killed by signal %1").arg(code - 128);
    else if (code > 1) // check's 1 is findings, not failure
        run.failure = QStringLiteral("exit status %1").arg(code);
    return run;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

QString milliseconds(double seconds)
{
    const double ms = seconds * 1e3;
    return QString::number(ms, 'f', ms < 10 ? 1 : 0) + QStringLiteral(" ms");
}

QString mebibytes(double mib)
{
    return QString::number(mib, 'f', mib < 100 ? 1 : 0) + QStringLiteral(" MiB");
}

QString nestingSource(int depth)
{
    QString text = QStringLiteral("#define X 1\n");
    text += QStringLiteral("#if X\n").repeated(depth);
    text += QStringLiteral("#define DEEP \"deep\"\n");
    text += QStringLiteral("#endif\n").repeated(depth);
    text += QStringLiteral("BEGIN_MENU(Deep)\n    MENU_ITEM(DEEP)\nEND_MENU(Deep, \"Deep\")\n");
    return text;
}

} // namespace

bool writePeerFigures(QTextStream &out, const QString &checkTool, int runs)
{
    out << "| reading a whole file, against gcc's preprocessor | velko-menu check | gcc -E | "
           "ratio | peak: check | peak: gcc -E | goal |\n"
        << "|---|---:|---:|---:|---:|---:|---|\n";
    const QString gcc = QStandardPaths::findExecutable(QStringLiteral("gcc"));
    const QString timeTool = QStandardPaths::findExecutable(QStringLiteral("time"));
    QTemporaryDir folder;
    const char *missing = gcc.isEmpty() ? "no gcc on the PATH"
            : timeTool.isEmpty()        ? "no GNU time on the PATH (Debian package time)"
            : !folder.isValid()         ? "no temporary folder"
                                        : nullptr;
    if (missing) {
        out << "| not run: " << missing << " | | | | | | |\n";
        return false;
    }
    const QString peakFile = folder.filePath(QStringLiteral("peak.txt"));
    const struct
    {
        const char *scenario;
        QByteArray text;
    } cases[] = {
            {"1 MiB, 100 menus", manyMenusDocument(MiB, 100).text},
            {"4 MiB, 400 menus", manyMenusDocument(4 * MiB, 400).text},
            {"conditional groups nested 20,000 deep (260 KB)", nestingSource(20000).toUtf8()},
    };
    bool allMet = true;
    int index = 0;
    for (const auto &c : cases) {
        const QString path = folder.filePath(QStringLiteral("peer%1.c").arg(index++));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(c.text) != c.text.size()) {
            out << "| " << c.scenario << " | not written | | | | | |\n";
            allMet = false;
            continue;
        }
        file.close();
        const QStringList commands[2] = {{checkTool, QStringLiteral("check"), path},
                                         {gcc, QStringLiteral("-E"), QStringLiteral("-o"),
                                          QStringLiteral("/dev/null"), path}};
        // In turn, so that a drift of the machine's speed weighs on both alike.
        Run costs[2]; // the medians, and the first failure
        std::vector<double> seconds[2], peaks[2];
        runOnce(timeTool, peakFile, commands[0]); // warms the file cache for both
        for (int r = 0; r < runs; ++r) {
            for (int k = 0; k < 2; ++k) {
                const Run run = runOnce(timeTool, peakFile, commands[k]);
                if (!run.failure.isEmpty() && costs[k].failure.isEmpty())
                    costs[k].failure = run.failure;
                seconds[k].push_back(run.seconds);
                peaks[k].push_back(run.peakMiB);
            }
        }
        for (int k = 0; k < 2; ++k) {
            costs[k].seconds = median(seconds[k]);
            costs[k].peakMiB = median(peaks[k]);
        }
        const Run &check = costs[0];
        const Run &peer = costs[1];
        out << "| " << c.scenario << " | ";
        if (!check.failure.isEmpty() || !peer.failure.isEmpty()) {
            out << (check.failure.isEmpty() ? milliseconds(check.seconds) : check.failure) << " | "
                << (peer.failure.isEmpty() ? milliseconds(peer.seconds) : peer.failure) << " | | "
                << mebibytes(check.peakMiB) << " | " << mebibytes(peer.peakMiB)
                << " | **missed** |\n";
            allMet = false;
            continue;
        }
        const double ratio = check.seconds / peer.seconds;
        const bool fast = ratio <= 1.0;
        const bool lean = check.peakMiB <= peer.peakMiB + MemoryAllowanceMiB;
        allMet = allMet && fast && lean;
        out << milliseconds(check.seconds) << " | " << milliseconds(peer.seconds) << " | "
            << QString::number(ratio, 'f', ratio < 10 ? 2 : 0) << "× | " << mebibytes(check.peakMiB)
            << " | " << mebibytes(peer.peakMiB) << " | time ≤ 1× " << (fast ? "met" : "**missed**")
            << ", memory ≤ gcc's + 16 MiB " << (lean ? "met" : "**missed**") << " |\n";
    }
    return allMet;
}
