// The compiler is asked with empty input, `-E -dM -v`: the macros come on
// standard output, the folders of its search list on standard error. The
// answer is kept for the session: compilers do not change under a build.
#include "creader/compilerquery.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

namespace VelkoMenuView {

namespace {

struct Answer
{
    bool ok = false;
    QString macros;
    QStringList quoteFolders;
    QStringList includeFolders;
    QString problem;
};

QHash<QString, Answer> &answers()
{
    static QHash<QString, Answer> cache;
    return cache;
}

constexpr int TimeoutMs = 10000;

Answer ask(const QString &program, const QStringList &options, const QString &directory)
{
    Answer answer;
    QProcess process;
    if (!directory.isEmpty() && QFileInfo(directory).isDir())
        process.setWorkingDirectory(directory);
    process.start(program,
                  options
                          + QStringList {QStringLiteral("-E"), QStringLiteral("-dM"),
                                         QStringLiteral("-v"), QStringLiteral("-x"),
                                         QStringLiteral("c"), QStringLiteral("-")});
    process.closeWriteChannel();
    if (!process.waitForFinished(TimeoutMs)) {
        process.kill();
        process.waitForFinished(1000);
        answer.problem = process.error() == QProcess::FailedToStart
                ? QStringLiteral("it cannot be started: %1").arg(process.errorString())
                : QStringLiteral("it did not answer within %1 s").arg(TimeoutMs / 1000);
        return answer;
    }
    const QString errors = QString::fromLocal8Bit(process.readAllStandardError());
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        const QString first = errors.trimmed().section(QLatin1Char('\n'), -1);
        answer.problem = QStringLiteral("it failed (exit status %1)%2")
                                 .arg(process.exitCode())
                                 .arg(first.isEmpty() ? QString() : QStringLiteral(": ") + first);
        return answer;
    }
    for (const QString &line :
         QString::fromLocal8Bit(process.readAllStandardOutput()).split(u'\n')) {
        if (line.startsWith(QLatin1String("#define ")))
            answer.macros += line + u'\n';
    }
    // #include "..." search starts here: / #include <...> search starts
    // here: / folders, one a line, indented / End of search list.
    QStringList *folders = nullptr;
    for (const QString &line : errors.split(u'\n')) {
        if (line.startsWith(QLatin1String("#include \"")))
            folders = &answer.quoteFolders;
        else if (line.startsWith(QLatin1String("#include <")))
            folders = &answer.includeFolders;
        else if (line.startsWith(QLatin1String("End of search list")))
            folders = nullptr;
        else if (folders && line.startsWith(u' '))
            *folders << QDir::cleanPath(
                    line.trimmed().remove(QStringLiteral(" (framework directory)")));
    }
    answer.ok = true;
    return answer;
}

// Globs of compilers that may be run: /usr/bin/*gcc*, /usr/bin/*cc, /usr/bin/clang*.
QStringList defaultAllowed()
{
    return {QStringLiteral("/usr/bin/*gcc*"), QStringLiteral("/usr/bin/*cc"),
            QStringLiteral("/usr/bin/clang*")};
}

// The macros that stand in for a compiler's: a gcc-like 64-bit Linux host.
QString hostMacros()
{
    return QStringLiteral(
            "#define __STDC__ 1\n#define __STDC_VERSION__ 201710L\n"
            "#define __STDC_HOSTED__ 1\n#define __GNUC__ 12\n"
            "#define __GNUC_MINOR__ 2\n#define __GNUC_PATCHLEVEL__ 0\n"
            "#define __CHAR_BIT__ 8\n#define __SIZEOF_SHORT__ 2\n"
            "#define __SIZEOF_INT__ 4\n#define __SIZEOF_LONG__ 8\n"
            "#define __SIZEOF_LONG_LONG__ 8\n#define __SIZEOF_POINTER__ 8\n"
            "#define __SIZEOF_FLOAT__ 4\n#define __SIZEOF_DOUBLE__ 8\n"
            "#define __SIZEOF_SIZE_T__ 8\n#define __SCHAR_MAX__ 0x7f\n"
            "#define __SHRT_MAX__ 0x7fff\n#define __INT_MAX__ 0x7fffffff\n"
            "#define __LONG_MAX__ 0x7fffffffffffffffL\n"
            "#define __ORDER_LITTLE_ENDIAN__ 1234\n#define __ORDER_BIG_ENDIAN__ 4321\n"
            "#define __BYTE_ORDER__ __ORDER_LITTLE_ENDIAN__\n#define __x86_64__ 1\n"
            "#define __x86_64 1\n#define __LP64__ 1\n#define _LP64 1\n"
            "#define __linux__ 1\n#define __linux 1\n#define __unix__ 1\n"
            "#define __unix 1\n#define __ELF__ 1\n");
}

// Whether `compiler` (a path or a name looked up on PATH, relative to
// `directory`) is allowed; *path receives the program's absolute path.
bool isAllowed(const QString &compiler, const QString &directory, const QStringList &allowed,
               QString *path)
{
    QString absolute;
    if (compiler.contains(u'/'))
        absolute = QDir::cleanPath(QDir(directory.isEmpty() ? QDir::currentPath() : directory)
                                           .absoluteFilePath(compiler));
    else
        absolute = QStandardPaths::findExecutable(compiler);
    if (path)
        *path = absolute;
    if (absolute.isEmpty())
        return false;
    for (const QString &glob : allowed) {
        const QRegularExpression pattern(QRegularExpression::wildcardToRegularExpression(
                glob.trimmed(), QRegularExpression::UnanchoredWildcardConversion));
        const QRegularExpression whole(QRegularExpression::anchoredPattern(pattern.pattern()));
        if (!glob.trimmed().isEmpty() && whole.match(absolute).hasMatch())
            return true;
    }
    return false;
}

} // namespace

void CompilerQuery::apply(BuildConfiguration *configuration, const QStringList &allowed)
{
    using State = BuildConfiguration::CompilerState;
    configuration->predefinedMacros = hostMacros();
    configuration->compilerState = State::None;
    configuration->compilerProblem.clear();
    const QString compiler = configuration->compiler;
    if (compiler.isEmpty())
        return;
    configuration->allowedCompilers = allowed.isEmpty() ? defaultAllowed() : allowed;
    QString path;
    const bool allowedToRun = isAllowed(compiler, configuration->compilerDirectory,
                                        configuration->allowedCompilers, &path);
    configuration->compilerPath = path;
    if (!allowedToRun) {
        configuration->compilerState = path.isEmpty() ? State::NotFound : State::NotAllowed;
        return;
    }
    const QString key = path + u'\n' + configuration->compilerOptions.join(u'\n');
    auto known = answers().constFind(key);
    if (known == answers().cend())
        known = answers().insert(
                key, ask(path, configuration->compilerOptions, configuration->compilerDirectory));
    const Answer &answer = *known;
    if (!answer.ok) {
        configuration->compilerState = State::Failed;
        configuration->compilerProblem = answer.problem;
        return;
    }
    configuration->compilerState = State::Queried;
    configuration->predefinedMacros = answer.macros;
    for (const QString &folder : answer.quoteFolders) {
        if (!configuration->quoteFolders.contains(folder))
            configuration->quoteFolders << folder;
    }
    for (const QString &folder : answer.includeFolders) {
        if (!configuration->includeFolders.contains(folder))
            configuration->includeFolders << folder;
    }
}

QString CompilerQuery::message(const BuildConfiguration &configuration, const QString &howToAllow)
{
    return message(
            configuration,
            Words {QStringLiteral(
                           "the compiler %1 of the build is not found: the preview takes the "
                           "macros of a gcc-like host for its own"),
                   QStringLiteral("the compiler %1 of the build is not run, as it is not among "
                                  "the compilers allowed to run (%2): the preview takes the "
                                  "macros of a gcc-like host for its own"),
                   QStringLiteral("the compiler %1 was asked for its macros, but %2: the preview "
                                  "takes the macros of a gcc-like host for its own"),
                   QStringLiteral("; to run it, ") + howToAllow});
}

QString CompilerQuery::message(const BuildConfiguration &configuration, const Words &words)
{
    using State = BuildConfiguration::CompilerState;
    switch (configuration.compilerState) {
    case State::None:
    case State::Queried:
        break;
    case State::NotFound:
        return words.notFound.arg(configuration.compiler);
    case State::NotAllowed:
        return words.notAllowed.arg(configuration.compilerPath,
                                    configuration.allowedCompilers.join(QStringLiteral(", ")))
                + words.howToAllow.arg(configuration.compilerPath);
    case State::Failed:
        return words.failed.arg(configuration.compilerPath, configuration.compilerProblem);
    }
    return QString();
}

} // namespace VelkoMenuView
