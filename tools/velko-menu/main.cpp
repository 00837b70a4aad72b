// velko-menu: command line entry. Arguments are read before Qt sees them (Qt
// would take options of its own); no window system is needed.
#include "check.h"
#include "gallery.h"
#include "lspserver.h"
#include "options.h"
#include "render.h"
#include "usage.h"

#include <QCoreApplication>
#include <QTextStream>

using namespace VelkoMenuView;

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
    if (command.kind == Command::Kind::Help) {
        out << usageText();
        return 0;
    }
    if (command.kind == Command::Kind::Version) {
        out << "velko-menu " << VELKO_VERSION << Qt::endl;
        return 0;
    }

    // No window system: the screen is drawn into an image.
    int qtArgc = 1;
    char *qtArgv[] = {argv[0], nullptr};
    QCoreApplication application(qtArgc, qtArgv);

    if (command.kind == Command::Kind::Lsp)
        return runLsp(command.build);
    if (command.kind == Command::Kind::Render)
        return runRender(command.render, command.build, out, err);
    if (command.kind == Command::Kind::Gallery)
        return runGallery(command.gallery, command.build, out, err);
    return runCheck(command.check, command.build, out, err);
}
