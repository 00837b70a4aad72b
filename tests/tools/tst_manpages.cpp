// The manual pages say what --help says: each page, as man shows it, holds
// every line of its program's --help.
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

namespace {

QString output(const QString &program, const QStringList &arguments)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Words apart by single spaces: filling a paragraph moves only white space.
QString words(const QString &text)
{
    return text.simplified();
}

} // namespace

class tst_ManPages : public QObject
{
    Q_OBJECT

private slots:
    void pageHoldsTheHelp_data();
    void pageHoldsTheHelp();
};

void tst_ManPages::pageHoldsTheHelp_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("page");
    QTest::addRow("velko-menu") << QStringLiteral(VELKO_MENU_TOOL)
                                << QStringLiteral(MANUAL_DIR "/velko-menu.1");
    QTest::addRow("velko-menu-studio")
            << QStringLiteral(STUDIO_BINARY) << QStringLiteral(MANUAL_DIR "/velko-menu-studio.1");
}

void tst_ManPages::pageHoldsTheHelp()
{
    QFETCH(QString, program);
    QFETCH(QString, page);
    const QString help = output(program, {QStringLiteral("--help")});
    QVERIFY(!help.isEmpty());
    // As man shows it, in plain ASCII, without hyphenation, on lines long
    // enough that nothing is broken.
    const QString shown = output(
            QStringLiteral("groff"),
            {"-man", "-Tascii", "-rHY=0", "-rLL=1000n", "-P-c", "-P-b", "-P-u", "-Wall", page});
    QVERIFY2(!shown.isEmpty(), "groff cannot show the page");
    const QString pageWords = words(shown);
    for (QString line : help.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        line.remove(QRegularExpression(QStringLiteral("^Usage: ")));
        line.replace(program, QFileInfo(program).fileName()); // as installed
        if (line.endsWith(QLatin1Char(':')) && !line.startsWith(QLatin1Char(' ')))
            line.chop(1); // a heading
        QVERIFY2(pageWords.contains(words(line)), qPrintable(line));
    }
}

QTEST_APPLESS_MAIN(tst_ManPages)
#include "tst_manpages.moc"
