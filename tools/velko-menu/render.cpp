// The render command.
#include "render.h"

#include "diagnostic.h"
#include "filenames.h"
#include "menuhost.h"
#include "menuwalk.h"
#include "parseerrors.h"
#include "screenimage.h"
#include "sourcefile.h"

#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QTextStream>

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

// The parse error of the block the view picked, for a menu that does not parse.
void explainParseFailure(const SourceFile &file, qsizetype offset, QTextStream &err)
{
    const QList<MenuBlock> blocks = findMenuBlocks(file.text());
    const MenuBlock *block = blockAround(blocks, offset);
    if (!block || block->parsed)
        return;
    const Diagnostic diagnostic {block->errorOffset >= 0 ? block->errorOffset : block->start,
                                 Diagnostic::Severity::Error, parseErrorMessage(file, *block)};
    err << formatDiagnostic(file, diagnostic) << Qt::endl;
}

int renderOne(const SourceFile &file, const RenderOptions &options, QTextStream &out,
              QTextStream &err)
{
    if (options.line > file.lineCount()) {
        err << file.path() << ':' << options.line << ": error: the file has only "
            << file.lineCount() << (file.lineCount() == 1 ? " line" : " lines") << Qt::endl;
        return 1;
    }
    const qsizetype length = file.lineLength(options.line);
    if (options.column > length + 1) {
        err << place(file, options.line, options.column) << ": error: line " << options.line
            << " has only " << length << " columns (the cursor can stand up to column "
            << length + 1 << ")" << Qt::endl;
        return 1;
    }

    MenuHost host(file.absolutePath(), file.bytes());
    host.view().setFixedTime(options.time);
    switch (host.showAt(options.line, options.column)) {
    case MenuHost::Outcome::Shown:
        break;
    case MenuHost::Outcome::NoMenu:
        err << place(file, options.line, options.column)
            << ": error: no menu definition around this position" << Qt::endl;
        return 1;
    case MenuHost::Outcome::DoesNotParse:
        err << place(file, options.line, options.column)
            << ": error: the menu definition around this position does not parse" << Qt::endl;
        explainParseFailure(file, file.lineStart(options.line) + options.column - 1, err);
        return 1;
    }

    if (!options.output.isEmpty()
        && !writePng(screenImage(host.view(), options.scale, *options.theme), options.output, err))
        return 2;
    if (options.ascii) {
        out << screenArt(host.view());
        out.flush();
    }
    return 0;
}

int renderAll(const SourceFile &file, const RenderOptions &options, QTextStream &out,
              QTextStream &err)
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
    const QList<MenuBlock> blocks = findMenuBlocks(file.text());
    if (blocks.isEmpty()) {
        err << file.path() << ": error: no menu definitions in this file" << Qt::endl;
        return 1;
    }

    MenuHost host(file.absolutePath(), file.bytes());
    host.view().setFixedTime(options.time);
    MenuFileNames names;
    const QDir dir(options.output);
    bool failed = false;
    for (const MenuBlock &block : blocks) {
        const SourcePosition position = file.position(block.start);
        if (!block.parsed) {
            err << formatDiagnostic(file,
                                    {block.errorOffset >= 0 ? block.errorOffset : block.start,
                                     Diagnostic::Severity::Error, parseErrorMessage(file, block)})
                << Qt::endl;
            failed = true;
            continue;
        }
        const bool shown = host.showAt(position.line, position.column) == MenuHost::Outcome::Shown
                && host.view().menuDefinition().name == block.menu.name;
        if (!shown) {
            err << place(file, position.line, position.column)
                << ": error: the view shows no menu with the cursor on this opening keyword"
                << Qt::endl;
            failed = true;
            continue;
        }
        const QString path = dir.filePath(names.take(block.menu.name) + QStringLiteral(".png"));
        if (!writePng(screenImage(host.view(), options.scale, *options.theme), path, err))
            return 2;
        out << path << '\n';
    }
    out.flush();
    return failed ? 1 : 0;
}

} // namespace

int runRender(const RenderOptions &options, QTextStream &out, QTextStream &err)
{
    SourceFile file;
    QString reason;
    if (!file.load(options.file, &reason)) {
        err << options.file << ": error: " << reason << Qt::endl;
        return 2;
    }
    return options.all ? renderAll(file, options, out, err) : renderOne(file, options, out, err);
}
