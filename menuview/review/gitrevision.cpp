// Reading a revision: ls-tree for the paths, cat-file --batch for their
// bytes, both reading objects only. fsmonitor is switched off, as it is a
// program the repository's configuration may name.
#include "menuview/review/gitrevision.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <utility>

using namespace Qt::StringLiterals;

namespace VelkoMenuView {

namespace {

constexpr qint64 MaxFileSize = 64 * 1024 * 1024;

struct Blob
{
    QByteArray id;
    QString path;
    bool link = false;
};

QStringList gitArguments(const QString &folder, const QStringList &arguments)
{
    return QStringList {u"-C"_s, folder, u"-c"_s, u"core.fsmonitor=false"_s} + arguments;
}

// Runs git to the end; false with git's own words on failure.
bool runGit(const QString &git, const QString &folder, const QStringList &arguments,
            QByteArray *output, QString *error)
{
    QProcess process;
    process.start(git, gitArguments(folder, arguments), QIODevice::ReadOnly);
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0) {
        const QString said = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
        *error = said.isEmpty() ? process.errorString() : said.section(u'\n', 0, 0);
        return false;
    }
    *output = process.readAllStandardOutput();
    return true;
}

// A path from the tree that stays inside the copy.
bool safePath(const QString &path)
{
    if (path.isEmpty() || path.startsWith(u'/'))
        return false;
    for (const QStringView part : QStringView(path).split(u'/')) {
        if (part.isEmpty() || part == u".." || part == u"." || part == u".git")
            return false;
    }
    return true;
}

} // namespace

QString GitRevision::root() const
{
    return m_copy ? m_copy->path() : QString();
}

bool GitRevision::extract(const QString &path, const QString &revision, QString *error)
{
    const QString git = QStandardPaths::findExecutable(u"git"_s);
    if (git.isEmpty()) {
        *error = u"--against needs git, which is not on PATH"_s;
        return false;
    }
    const QFileInfo info(path);
    const QString folder = info.isDir() ? info.absoluteFilePath() : info.absolutePath();
    QByteArray output;
    QString said;
    if (!runGit(git, folder, {u"rev-parse"_s, u"--show-toplevel"_s}, &output, &said)) {
        *error = u"%1 is not in a git work tree (%2)"_s.arg(path, said);
        return false;
    }
    m_topLevel = QDir::cleanPath(QString::fromLocal8Bit(output).trimmed());
    if (revision.startsWith(u'-')
        || !runGit(git, m_topLevel,
                   {u"rev-parse"_s, u"--verify"_s, u"--quiet"_s, u"--end-of-options"_s,
                    revision + u"^{commit}"_s},
                   &output, &said)) {
        *error = u"'%1' names no commit of the repository in %2"_s.arg(revision, m_topLevel);
        return false;
    }
    m_commit = QString::fromLatin1(output).trimmed();
    if (!runGit(git, m_topLevel,
                {u"ls-tree"_s, u"-r"_s, u"-z"_s, u"-l"_s, u"--full-tree"_s, m_commit}, &output,
                &said)) {
        *error = u"cannot list the files of %1: %2"_s.arg(revision, said);
        return false;
    }
    // "<mode> <type> <id> <size>\t<path>\0"
    QList<Blob> blobs;
    for (const QByteArray &entry : output.split('\0')) {
        const qsizetype tab = entry.indexOf('\t');
        if (tab < 0)
            continue;
        const QList<QByteArray> fields = entry.left(tab).simplified().split(' ');
        const QString name = QString::fromUtf8(entry.mid(tab + 1));
        if (fields.size() != 4 || fields.at(1) != "blob" || !safePath(name)
            || fields.at(3).toLongLong() > MaxFileSize)
            continue;
        blobs.append({fields.at(2), name, fields.at(0) == "120000"});
    }

    m_copy = std::make_unique<QTemporaryDir>();
    if (!m_copy->isValid()) {
        *error = u"cannot make a temporary folder: %1"_s.arg(m_copy->errorString());
        return false;
    }
    QProcess batch;
    batch.start(git, gitArguments(m_topLevel, {u"cat-file"_s, u"--batch"_s}));
    if (!batch.waitForStarted()) {
        *error = u"cannot run git: %1"_s.arg(batch.errorString());
        return false;
    }
    QByteArray request;
    for (const Blob &blob : blobs)
        request += blob.id + '\n';
    batch.write(request);
    batch.closeWriteChannel();
    // Read as it comes: "<id> blob <size>\n<bytes>\n" per request, in order.
    const QDir copy(m_copy->path());
    QList<std::pair<QString, QString>> links; // where, target: made once every folder stands
    for (const Blob &blob : blobs) {
        while (!batch.canReadLine() && batch.waitForReadyRead(-1)) { }
        const QList<QByteArray> header = batch.readLine().trimmed().split(' ');
        const qint64 size = header.size() == 3 ? header.at(2).toLongLong() : -1;
        if (size < 0) {
            *error = u"git cat-file gave no contents for %1"_s.arg(blob.path);
            return false;
        }
        QByteArray bytes;
        while (bytes.size() <= size && (batch.bytesAvailable() > 0 || batch.waitForReadyRead(-1)))
            bytes += batch.read(size + 1 - bytes.size());
        if (bytes.size() <= size) {
            *error = u"git cat-file stopped in %1"_s.arg(blob.path);
            return false;
        }
        bytes.chop(1);
        const QString target = copy.filePath(blob.path);
        if (blob.link) {
            links.append({target, QString::fromUtf8(bytes)});
            continue;
        }
        QFile file(target);
        if (!QDir().mkpath(QFileInfo(target).absolutePath()) || !file.open(QIODevice::WriteOnly)
            || file.write(bytes) != bytes.size()) {
            *error = u"cannot write %1: %2"_s.arg(target, file.errorString());
            return false;
        }
    }
    batch.waitForFinished(-1);
    for (const auto &[where, target] : links) {
        QDir().mkpath(QFileInfo(where).absolutePath());
        QFile::link(target, where);
    }
    return true;
}

} // namespace VelkoMenuView
