// velko-menu: command line entry. Arguments are read before Qt sees them (Qt
// would take options such as -style for itself); the GUI application runs
// offscreen unless the user chose a platform.
#include "check.h"
#include "options.h"
#include "render.h"
#include "usage.h"

#include <QApplication>
#include <QTextStream>

namespace {

QtMessageHandler previousHandler = nullptr;

// Qt's platform chatter (no runtime folder, what the offscreen platform
// cannot do) means nothing to a user of the tool; everything else passes.
void dropPlatformChatter(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    const bool minor = type == QtDebugMsg || type == QtInfoMsg || type == QtWarningMsg;
    const bool platform = message.startsWith(QLatin1String("QStandardPaths:"))
            || (context.category
                && QLatin1String(context.category).startsWith(QLatin1String("qt.qpa")));
    if (!(minor && platform) && previousHandler)
        previousHandler(type, context, message);
}

} // namespace

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);

    QTextStream out(stdout);
    QTextStream err(stderr);
    Command command;
    QString error;
    if (!parseCommandLine(arguments, &command, &error)) {
        err << "velko-menu: " << error << "\nTry 'velko-menu --help'." << Qt::endl;
        return 2;
    }
    switch (command.kind) {
    case Command::Kind::Help:
        out << usageText();
        return 0;
    case Command::Kind::Version:
        out << "velko-menu " << VELKO_VERSION << Qt::endl;
        return 0;
    case Command::Kind::Render:
    case Command::Kind::Check:
        break;
    }

    previousHandler = qInstallMessageHandler(dropPlatformChatter);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    char *qtArgv[] = {argv[0], nullptr};
    QApplication application(qtArgc, qtArgv);

    if (command.kind == Command::Kind::Render)
        return runRender(command.render, out, err);
    return runCheck(command.check, out, err);
}
