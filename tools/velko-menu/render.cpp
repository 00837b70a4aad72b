// The render command.
#include "render.h"

#include "buildcontext.h"
#include "diagnostic.h"
#include "menuview/analysis/parsemessages.h"
#include "theme.h"

#include "menuview/analysis/itemformat.h"
#include "menuview/analysis/menublocks.h"
#include "menuview/files/menufilenames.h"
#include "menuview/analysis/menulocator.h"
#include "menuview/files/sourcefile.h"
#include "menuview/params/parameterstore.h"
#include "menuview/screen/menurenderer.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QSettings>
#include <QTextStream>

#include <memory>

using namespace VelkoMenuView;

namespace {

QString place(const SourceFile &file, int line, int column)
{
    return QStringLiteral("%1:%2:%3")
            .arg(file.path(), QString::number(line), QString::number(column));
}

bool writePng(const QImage &image, const QString &path, QTextStream &err)
{
    QImageWriter writer(path, "png");
    if (writer.write(image))
        return true;
    err << path << ": error: cannot write the PNG file: " << writer.errorString() << Qt::endl;
    return false;
}

void reportParseError(const SourceFile &file, const MenuBlock &block, QTextStream &err)
{
    const qsizetype at = block.parse.errorOffset >= 0 ? block.parse.errorOffset : block.start;
    const Diagnostic diagnostic {
            at, at, Diagnostic::Severity::Error,
            parseErrorMessage(file.text(), file.lines().position(block.start), block)};
    err << formatDiagnostic(file.path(), file.lines(), diagnostic) << Qt::endl;
}

// The screen as the pane shows it: the menu with the values stored for the file.
QImage screenOf(const SourceFile &file, MenuDefinition menu, const RenderOptions &options,
                int scale, const ScreenColors &colors)
{
    const std::unique_ptr<QSettings> settings(ParameterStore::openUserStore());
    menu.paramValues
            = ParameterStore(settings.get()).load(file.absolutePath(), menu.name, menu.itemTexts);
    formatItems(menu);
    const QTime clock = options.time.isValid() ? options.time : QDateTime::currentDateTime().time();
    return renderMenu(menu, clock, scale, colors);
}

ScreenColors themeColors(const RenderOptions &options)
{
    return {QColor::fromRgb(options.theme->lit), QColor::fromRgb(options.theme->unlit)};
}

int renderOne(const SourceFile &file, const RenderOptions &options, const SourceContext &context,
              QTextStream &out, QTextStream &err)
{
    const LineMap &lines = file.lines();
    if (options.line > lines.lineCount()) {
        err << file.path() << ':' << options.line << ": error: the file has only "
            << lines.lineCount() << (lines.lineCount() == 1 ? " line" : " lines") << Qt::endl;
        return 1;
    }
    const int column = qMax(options.column, 1);
    const qsizetype length = lines.lineLength(options.line);
    if (column > length + 1) {
        err << place(file, options.line, column) << ": error: line " << options.line << " has only "
            << length << " columns (the cursor can stand up to column " << length + 1 << ")"
            << Qt::endl;
        return 1;
    }

    SourceText source(file.text(), context);
    const MenuLocation location = locateMenu(source, options.line, column);
    if (location.outcome == MenuLocation::Outcome::StrayClosing) {
        const TextPosition at = lines.position(location.start);
        err << place(file, options.line, column) << ": error: no menu opens here" << Qt::endl;
        err << place(file, at.line, at.column)
            << ": error: " << strayClosingMessage(source, location.start) << Qt::endl;
        return 1;
    }
    if (location.outcome != MenuLocation::Outcome::Inside) {
        err << place(file, options.line, column)
            << ": error: no menu definition around this position" << Qt::endl;
        return 1;
    }
    const MenuBlock block = parseLocatedBlock(source, location);
    if (location.inactiveGroup >= 0) {
        const TextPosition group = lines.position(location.inactiveGroup);
        err << place(file, group.line, group.column)
            << ": note: the menu is in a conditional group the build leaves out; it is drawn "
               "as if the group were taken"
            << Qt::endl;
    }
    if (!block.parsed) {
        err << place(file, options.line, column)
            << ": error: the menu definition around this position does not parse" << Qt::endl;
        reportParseError(file, block, err);
        return 1;
    }

    if (!options.output.isEmpty()
        && !writePng(screenOf(file, block.menu, options, options.scale, themeColors(options)),
                     options.output, err))
        return 2;
    if (options.ascii) {
        out << screenArt(screenOf(file, block.menu, options, 1, ScreenColors()));
        out.flush();
    }
    return 0;
}

int renderAll(const SourceFile &file, const RenderOptions &options, const SourceContext &context,
              bool allBranches, QTextStream &out, QTextStream &err)
{
    const QFileInfo folder(options.output);
    if (folder.exists() && !folder.isDir()) {
        err << options.output << ": error: not a folder" << Qt::endl;
        return 2;
    }
    if (!QDir().mkpath(options.output)) {
        err << options.output << ": error: cannot create the folder" << Qt::endl;
        return 2;
    }
    QList<MenuBlock> blocks;
    MenuBlocks walk(file.text(), MenuBlocks::Keywords::Live, context,
                    allBranches ? MenuBlocks::Branches::All : MenuBlocks::Branches::Compiled);
    for (MenuBlock block; walk.next(block);)
        blocks.append(block);
    if (blocks.isEmpty()) {
        err << file.path() << ": error: no menu definitions in this file" << Qt::endl;
        return 1;
    }

    MenuFileNames names;
    const QDir dir(options.output);
    bool failed = false;
    for (const MenuBlock &block : blocks) {
        if (!block.parsed) {
            reportParseError(file, block, err);
            failed = true;
            continue;
        }
        const QString path = dir.filePath(names.take(block.menu.name) + QStringLiteral(".png"));
        if (!writePng(screenOf(file, block.menu, options, options.scale, themeColors(options)),
                      path, err))
            return 2;
        out << path << '\n';
    }
    out.flush();
    return failed ? 1 : 0;
}

} // namespace

int runRender(const RenderOptions &options, const BuildOptions &build, QTextStream &out,
              QTextStream &err)
{
    SourceFile file;
    QString reason;
    if (!file.load(options.file, &reason)) {
        err << options.file << ": error: " << reason << Qt::endl;
        return 2;
    }
    SourceContext context;
    if (!sourceContextFor(file.absolutePath(), build, &context, &reason)) {
        err << "velko-menu: " << reason << Qt::endl;
        return 2;
    }
    return options.all ? renderAll(file, options, context, build.allBranches, out, err)
                       : renderOne(file, options, context, out, err);
}
