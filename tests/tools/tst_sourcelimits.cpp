// Sources at the limits of reading (conditional groups nested thousands
// deep, long and doubling macro chains, thousands of headers, headers that
// multiply) checked by velko-menu as a process under an address-space limit
// of 1 GiB: each must end normally, in time, with a finding for its item.
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/resource.h>

namespace {

const QString Tool = QStringLiteral(VELKO_MENU_TOOL);
constexpr int TimeLimitMs = 30'000;
constexpr rlim_t AddressSpace = rlim_t(1) << 30;

// The item names Ω, which the device font lacks: the warning for it shows
// that the text was read through all that stands before it.
const QString ReadThrough = QStringLiteral("U\\+03A9");
// A reader may also give up on the text, and say so at the item.
const QString ReadOrGivenUp = QStringLiteral("U\\+03A9|item text cannot be read");

QByteArray menuUsing(const QByteArray &text)
{
    return "BEGIN_MENU(M)\n    MENU_ITEM(" + text + ")\nEND_MENU(M, \"T\")\n";
}

// Lines "#define NAME<i> <body(i)>" for i from 1 to count.
template<typename Body> QByteArray definitions(const QByteArray &name, int count, Body body)
{
    QByteArray text;
    for (int i = 1; i <= count; ++i)
        text += "#define " + name + QByteArray::number(i) + ' ' + body(QByteArray::number(i - 1))
                + '\n';
    return text;
}

} // namespace

class tst_SourceLimits : public QObject
{
    Q_OBJECT

private slots:
    void endsInTimeWithinMemory_data();
    void endsInTimeWithinMemory();

private:
    bool write(const QString &path, const QByteArray &bytes);

    QTemporaryDir m_dir;
};

bool tst_SourceLimits::write(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

void tst_SourceLimits::endsInTimeWithinMemory_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("finding"); // a pattern in the findings

    const auto add = [this](const char *tag, const QByteArray &source, const QString &finding) {
        const QString path = m_dir.filePath(QString::fromLatin1(tag) + QStringLiteral("/main.c"));
        QVERIFY(write(path, source));
        QTest::addRow("%s", tag) << path << finding;
    };
    const int depth = 20000;
    add("conditional-groups-nested-deep",
        "#define X 1\n" + QByteArray("#if X\n").repeated(depth) + "#define DEEP \"Ω\"\n"
                + QByteArray("#endif\n").repeated(depth) + menuUsing("DEEP"),
        ReadThrough);
    add("skipped-groups-nested-deep",
        QByteArray("#ifdef NOT_DEFINED\n").repeated(depth) + "#define DEEP \"a\"\n"
                + QByteArray("#endif\n").repeated(depth) + "#define DEEP \"Ω\"\n"
                + menuUsing("DEEP"),
        ReadThrough);

    const auto alias = [](const QByteArray &name) {
        return [name](const QByteArray &previous) { return name + previous; };
    };
    add("long-macro-chain",
        "#define C0 \"Ω\"\n" + definitions("C", 10000, alias("C")) + menuUsing("C10000"),
        ReadOrGivenUp);
    add("long-macro-chain-in-a-condition",
        "#define C0 1\n" + definitions("C", 10000, alias("C"))
                + "#if C10000\n#define T \"Ω\"\n#endif\n" + menuUsing("T"),
        ReadOrGivenUp);
    add("doubling-macros",
        "#define D0 \"Ω\"\n"
                + definitions("D", 40, [](const QByteArray &p) { return "D" + p + " D" + p; })
                + menuUsing("D40"),
        ReadOrGivenUp);
    add("doubling-macros-in-a-condition",
        "#define D0 1\n"
                + definitions("D", 40,
                              [](const QByteArray &p) { return "(D" + p + " + D" + p + ")"; })
                + "#if D40\n#define T \"Ω\"\n#endif\n" + menuUsing("T"),
        ReadOrGivenUp);
    add("parentheses-nested-deep-in-a-condition",
        "#if " + QByteArray("(").repeated(100000) + "1" + QByteArray(")").repeated(100000)
                + "\n#define T \"Ω\"\n#endif\n" + menuUsing("T"),
        ReadOrGivenUp);
    add("parentheses-nested-deep-in-an-item",
        menuUsing(QByteArray("(").repeated(100000) + "\"Ω\"" + QByteArray(")").repeated(100000)),
        ReadOrGivenUp);

    // Headers: thousands with guards, each included twice; a chain deeper
    // than the compiler follows; one that includes itself; and headers that
    // include the next one twice, unguarded, 40 levels down (2^40 inclusions
    // for a reader that follows them all).
    const QString folder = m_dir.filePath(QStringLiteral("headers"));
    QByteArray includes;
    for (int i = 0; i < 3000; ++i) {
        const QByteArray n = QByteArray::number(i);
        QVERIFY(write(folder + QStringLiteral("/many/h%1.h").arg(i),
                      "#ifndef H" + n + "\n#define H" + n + "\n#define V" + n
                              + " \"Ω\"\n#endif\n"));
        includes += "#include \"../headers/many/h" + n + ".h\"\n";
    }
    add("many-headers", includes + includes + menuUsing("V2999"), ReadThrough);
    for (int i = 0; i < 300; ++i) {
        QVERIFY(write(folder + QStringLiteral("/chain/c%1.h").arg(i),
                      i < 299 ? "#include \"c" + QByteArray::number(i + 1) + ".h\"\n"
                              : QByteArray("#define CHAINED \"Ω\"\n")));
    }
    add("header-chain-deeper-than-the-compiler-goes",
        "#include \"../headers/chain/c0.h\"\n" + menuUsing("CHAINED"), ReadOrGivenUp);
    QVERIFY(write(folder + QStringLiteral("/self.h"), "#include \"self.h\"\n#define SELF \"Ω\"\n"));
    add("header-including-itself", "#include \"../headers/self.h\"\n" + menuUsing("SELF"),
        ReadThrough);
    for (int i = 0; i < 40; ++i) {
        const QByteArray next = "#include \"f" + QByteArray::number(i + 1) + ".h\"\n";
        QVERIFY(write(folder + QStringLiteral("/fan/f%1.h").arg(i),
                      (i < 39 ? next + next : QByteArray()) + "#undef F\n#define F \"Ω\"\n"));
    }
    add("headers-including-the-next-twice", "#include \"../headers/fan/f0.h\"\n" + menuUsing("F"),
        ReadThrough);
}

void tst_SourceLimits::endsInTimeWithinMemory()
{
    QFETCH(QString, path);
    QFETCH(QString, finding);

    QProcess tool;
#if defined(__SANITIZE_ADDRESS__)
    // The sanitizer reserves terabytes of address space: bound what is resident instead.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("ASAN_OPTIONS"),
                       environment.value(QStringLiteral("ASAN_OPTIONS"))
                               + QStringLiteral(":hard_rss_limit_mb=1024"));
    tool.setProcessEnvironment(environment);
#else
    tool.setChildProcessModifier([] {
        const rlimit limit {AddressSpace, AddressSpace};
        setrlimit(RLIMIT_AS, &limit);
    });
#endif
    tool.start(Tool, {QStringLiteral("check"), path});
    QVERIFY(tool.waitForStarted());
    if (!tool.waitForFinished(TimeLimitMs)) {
        tool.kill();
        tool.waitForFinished();
        QFAIL(qPrintable(QStringLiteral("still reading after %1 s").arg(TimeLimitMs / 1000)));
    }
    const QString out = QString::fromUtf8(tool.readAllStandardOutput());
    const QString err = QString::fromUtf8(tool.readAllStandardError());
    QVERIFY2(tool.exitStatus() == QProcess::NormalExit && tool.exitCode() <= 1,
             qPrintable(QStringLiteral("exit %1 (%2): %3")
                                .arg(tool.exitCode())
                                .arg(tool.exitStatus() == QProcess::NormalExit ? "normal" : "crash")
                                .arg(err.left(500))));
    QCOMPARE(err, QString());
    QVERIFY2(out.contains(QRegularExpression(finding)), qPrintable(out.left(1000)));
}

QTEST_GUILESS_MAIN(tst_SourceLimits)
#include "tst_sourcelimits.moc"
