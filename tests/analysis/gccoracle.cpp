// Compiling, linking and running the generated sources under the judging prelude.
#include "gccoracle.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <functional>

namespace {

// Each opening keyword defines a function and puts an entry for it into one
// section, so the runner finds exactly the menus the preprocessor kept,
// however the file's conditionals went. The entry carries the file and the
// keyword's line: __COUNTER__ is left to the sources, whose texts may count
// with it.
const char prelude[] = R"(/* Menu macros for the judging run. */
struct velko_entry { int file; int index; void (*run)(void); };
void velko_begin(const char *name);
void velko_item(const char *text);
void velko_end(const char *title);
#define VELKO_MENU(name, k) VELKO_MENU_AT(name, k)
#define VELKO_MENU_AT(name, k) \
    static void velko_menu_##k(void); \
    static struct velko_entry velko_entry_##k \
            __attribute__((used, section("velko_menus"))) = {VELKO_FILE_ID, k, velko_menu_##k}; \
    static void velko_menu_##k(void) { velko_begin(name);
#define BEGIN_MENU(n) VELKO_MENU(#n, __LINE__)
#define BEGIN_EDITABLE_MENU(n) VELKO_MENU(#n, __LINE__)
#define MENU_ITEM(t, ...) velko_item((const char *)(t));
#define END_MENU(n, t) velko_end((const char *)(t)); }
#define END_EDITABLE_MENU(n, t) velko_end((const char *)(t)); }
)";

// Runs the entries in file and source order; each text as hex up to its zero.
const char runner[] = R"(#include <stdio.h>
#include <stdlib.h>
struct velko_entry { int file; int index; void (*run)(void); };
/* So that the section exists when no menu is live. */
static struct velko_entry velko_none __attribute__((used, section("velko_menus"))) = {-1, 0, 0};
extern struct velko_entry __start_velko_menus[], __stop_velko_menus[];
static int velko_file;
static void velko_print(char kind, const char *text)
{
    printf("%c %d ", kind, velko_file);
    for (; *text; ++text)
        printf("%02x", (unsigned char)*text);
    putchar('\n');
}
void velko_begin(const char *name) { velko_print('M', name); }
void velko_item(const char *text) { velko_print('I', text); }
void velko_end(const char *title) { velko_print('T', title); }
static int velko_order(const void *a, const void *b)
{
    const struct velko_entry *x = *(struct velko_entry *const *)a;
    const struct velko_entry *y = *(struct velko_entry *const *)b;
    return x->file != y->file ? (x->file > y->file) - (x->file < y->file)
                              : (x->index > y->index) - (x->index < y->index);
}
int main(void)
{
    size_t count = (size_t)(__stop_velko_menus - __start_velko_menus);
    struct velko_entry **order = malloc(count * sizeof *order);
    for (size_t i = 0; i < count; ++i)
        order[i] = &__start_velko_menus[i];
    qsort(order, count, sizeof *order, velko_order);
    for (size_t i = 0; i < count; ++i) {
        if (order[i]->file >= 0) {
            velko_file = order[i]->file;
            order[i]->run();
        }
    }
    free(order);
    return 0;
}
)";

bool writeFile(const QString &path, const QByteArray &bytes, QString *error)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size())
        return true;
    *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
    return false;
}

} // namespace

GccOracle::GccOracle(const QString &compiler, const QString &folder)
    : m_compiler(compiler)
    , m_folder(folder)
{ }

bool GccOracle::prepare(QString *error)
{
    const QString runnerPath = m_folder + QStringLiteral("/velko_runner.c");
    if (!writeFile(m_folder + QStringLiteral("/velko_prelude.h"), prelude, error)
        || !writeFile(runnerPath, runner, error))
        return false;
    QByteArray output;
    return execute({"-std=gnu17", "-c", runnerPath, "-o", m_folder + "/velko_runner.o"}, &output,
                   error);
}

QStringList GccOracle::languageOptions()
{
    return {QStringLiteral("-std=gnu17")};
}

QStringList GccOracle::compileArguments(const Source &source, int id) const
{
    return languageOptions()
            + QStringList {"-w", "-c", "-include", m_folder + "/velko_prelude.h",
                           "-DVELKO_FILE_ID=" + QString::number(id)}
    + source.options + QStringList {source.path, "-o", objectPath(id)};
}

QString GccOracle::objectPath(int id) const
{
    return m_folder + QStringLiteral("/velko_%1.o").arg(id);
}

bool GccOracle::execute(const QStringList &arguments, QByteArray *output, QString *error) const
{
    QProcess process;
    process.start(m_compiler, arguments);
    if (!process.waitForFinished(600'000) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0) {
        *error = QStringLiteral("%1 %2 failed: %3%4")
                         .arg(m_compiler, arguments.join(u' '), process.errorString(),
                              QString::fromLocal8Bit(process.readAllStandardError()));
        return false;
    }
    *output = process.readAllStandardOutput();
    return true;
}

bool GccOracle::compileAll(const QList<Source> &sources, QString *error) const
{
    const int jobs = qBound(1, QThread::idealThreadCount(), 2);
    QEventLoop loop;
    int next = 0;
    int active = 0;
    std::function<void()> startMore = [&] {
        while (active < jobs && next < sources.size() && error->isEmpty()) {
            const int id = next++;
            auto *process = new QProcess(&loop);
            const auto finish = [&, process, id](bool ok) {
                if (!ok && error->isEmpty())
                    *error = QStringLiteral("%1 %2 failed: %3")
                                     .arg(m_compiler,
                                          compileArguments(sources.at(id), id).join(u' '),
                                          QString::fromLocal8Bit(process->readAllStandardError()));
                process->deleteLater();
                --active;
                startMore();
                if (active == 0)
                    loop.quit();
            };
            QObject::connect(process, &QProcess::finished,
                             [finish](int code, QProcess::ExitStatus status) {
                                 finish(status == QProcess::NormalExit && code == 0);
                             });
            QObject::connect(process, &QProcess::errorOccurred, [finish](QProcess::ProcessError e) {
                if (e == QProcess::FailedToStart)
                    finish(false);
            });
            ++active;
            process->start(m_compiler, compileArguments(sources.at(id), id));
        }
    };
    startMore();
    if (active > 0)
        loop.exec();
    return error->isEmpty();
}

bool GccOracle::run(const QList<Source> &sources, QList<QList<Menu>> *menus, QString *error)
{
    error->clear();
    if (!compileAll(sources, error))
        return false;
    const QString program = m_folder + QStringLiteral("/velko_oracle%1").arg(m_runs++);
    QStringList link {"-o", program, m_folder + "/velko_runner.o"};
    for (int id = 0; id < sources.size(); ++id)
        link << objectPath(id);
    QByteArray output;
    if (!execute(link, &output, error))
        return false;
    QProcess process;
    process.start(program, {});
    if (!process.waitForFinished(600'000) || process.exitCode() != 0) {
        *error = program + QStringLiteral(" failed: ") + process.errorString();
        return false;
    }
    menus->clear();
    menus->resize(sources.size());
    for (const QByteArray &line : process.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() != 3)
            continue;
        QList<Menu> &file = (*menus)[fields.at(1).toInt()];
        const QByteArray bytes = QByteArray::fromHex(fields.at(2));
        if (fields.at(0) == "M")
            file.append({bytes, {}, {}});
        else if (fields.at(0) == "I" && !file.isEmpty())
            file.last().items.append(bytes);
        else if (fields.at(0) == "T" && !file.isEmpty())
            file.last().title = bytes;
    }
    return true;
}
