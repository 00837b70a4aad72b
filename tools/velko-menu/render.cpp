// The render command.
#include "render.h"
#include "menuview/analysis/menukeywords.h"

#include "buildcontext.h"
#include "menuview/checks/findingreport.h"
#include "menuview/screen/theme.h"

#include "menuview/analysis/menupreview.h"
#include "menuview/checks/menuchecks.h"
#include "menuview/files/menufilenames.h"
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

namespace VelkoMenuView {

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

// What makes the screen differ from the source as written: a text that is
// not read, cut, or with characters the device skips, as check says it.
void reportScreenFindings(const SourceFile &file, SourceReading &source, const MenuPreview &preview,
                          const std::shared_ptr<QSettings> &settings, QTextStream &err)
{
    const ParameterStore store(settings.get());
    CheckContext context;
    context.lines = &file.lines();
    context.store = &store;
    context.storePath = file.absolutePath();
    context.source = source.facts.context;
    for (const Diagnostic &diagnostic : checkShownMenu(source, preview, context)) {
        if (diagnostic.changesScreen)
            err << formatDiagnostic(file.path(), file.lines(), diagnostic) << Qt::endl;
    }
}

void reportFailure(const SourceFile &file, const MenuPreview &preview, QTextStream &err)
{
    const Diagnostic diagnostic {preview.failureAt,           preview.failureAt,
                                 Diagnostic::Severity::Error, preview.failure,
                                 FindingRule::Unreadable,     {}};
    err << formatDiagnostic(file.path(), file.lines(), diagnostic) << Qt::endl;
}

// The values the pane stored for the file: render shows what the pane shows.
StoredValues storedValuesFor(const SourceFile &file, const std::shared_ptr<QSettings> &settings)
{
    return [&file, settings](const QString &name, const QStringList &texts,
                             const QStringList &tags) {
        return ParameterStore(settings.get()).load(file.absolutePath(), name, texts, tags);
    };
}

QImage screenOf(const MenuDefinition &menu, const RenderOptions &options, int scale,
                const ScreenColors &colors)
{
    const QTime clock = options.time.isValid() ? options.time : QDateTime::currentDateTime().time();
    return renderMenu(menu, clock, scale, colors);
}

QImage pngOf(const MenuDefinition &menu, const RenderOptions &options)
{
    const ScreenColors colors {QColor::fromRgb(options.theme->lit),
                               QColor::fromRgb(options.theme->unlit)};
    QImage image = screenOf(menu, options, options.scale, colors);
    if (options.screenEdge)
        markScreenEdge(image, options.scale, colors.unlit, QColor::fromRgb(options.theme->edge));
    return image;
}

int renderOne(const SourceFile &file, const RenderOptions &options, const ReadOptions &context,
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

    SourceReading source(file.text(), menuKeywords(), context);
    const std::shared_ptr<QSettings> settings(ParameterStore::openUserStore());
    const MenuPreview preview = previewMenu(source, lines.cursorOffset(options.line, column),
                                            storedValuesFor(file, settings),
                                            [&](qsizetype at) { return lines.position(at); });
    switch (preview.outcome) {
    case MenuPreview::Outcome::StrayClosing:
        err << place(file, options.line, column) << ": error: no menu opens here" << Qt::endl;
        reportFailure(file, preview, err);
        return 1;
    case MenuPreview::Outcome::NoMenu:
    case MenuPreview::Outcome::Unsettled:
        err << place(file, options.line, column)
            << ": error: no menu definition around this position" << Qt::endl;
        return 1;
    case MenuPreview::Outcome::Inside: // located only: never a preview's
    case MenuPreview::Outcome::CannotRead:
    case MenuPreview::Outcome::Shown:
        break;
    }
    if (preview.location.inactiveGroup >= 0) {
        const TextPosition group = lines.position(preview.location.inactiveGroup);
        err << place(file, group.line, group.column)
            << ": note: the menu is in a conditional group the build leaves out; it is drawn "
               "as if the group were taken"
            << Qt::endl;
    }
    if (preview.outcome == MenuPreview::Outcome::CannotRead) {
        err << place(file, options.line, column)
            << ": error: the menu definition around this position does not parse" << Qt::endl;
        reportFailure(file, preview, err);
        return 1;
    }

    reportScreenFindings(file, source, preview, settings, err);
    const MenuDefinition &menu = preview.block.menu;
    if (!options.output.isEmpty() && !writePng(pngOf(menu, options), options.output, err))
        return 2;
    if (options.ascii) {
        out << screenArt(screenOf(menu, options, 1, ScreenColors()));
        out.flush();
    }
    return 0;
}

int renderAll(const SourceFile &file, const RenderOptions &options, const ReadOptions &context,
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
    MenuBlocks walk(file.text(), MenuBlocks::Keywords::Live, context,
                    allBranches ? MenuBlocks::Branches::All : MenuBlocks::Branches::Compiled);
    const std::shared_ptr<QSettings> settings(ParameterStore::openUserStore());
    const auto positionOf = [&](qsizetype at) { return file.lines().position(at); };
    QList<MenuPreview> previews;
    for (MenuBlock block; walk.next(block);)
        previews.append(
                previewBlock(walk.source(), block, storedValuesFor(file, settings), positionOf));
    if (previews.isEmpty()) {
        err << file.path() << ": error: no menu definitions in this file" << Qt::endl;
        return 1;
    }

    MenuFileNames names;
    const QDir dir(options.output);
    bool failed = false;
    for (const MenuPreview &preview : previews) {
        if (preview.outcome != MenuPreview::Outcome::Shown) {
            reportFailure(file, preview, err);
            failed = true;
            continue;
        }
        reportScreenFindings(file, walk.source(), preview, settings, err);
        const MenuDefinition &menu = preview.block.menu;
        const QString path = dir.filePath(names.take(menu.name) + QStringLiteral(".png"));
        if (!writePng(pngOf(menu, options), path, err))
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
    ReadOptions context;
    BuildVariant variant;
    if (!sourceContextFor(file.absolutePath(), build, &context, &reason, &variant)) {
        err << "velko-menu: " << reason << Qt::endl;
        return 2;
    }
    if (build.verbose)
        err << file.path() << ": " << variant.details() << Qt::endl;
    return options.all ? renderAll(file, options, context, build.allBranches, out, err)
                       : renderOne(file, options, context, out, err);
}

} // namespace VelkoMenuView
