// Where reviewers look: the findings as code scanning reads them, what a
// change did to the screens (against a gallery written before and against a
// git revision), and the page as a real browser shows it, with its filter.
#include "toolrun.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

Run runTool(const QStringList &arguments, const QString &workingDirectory = QString())
{
    return runProgram(QStringLiteral(VELKO_MENU_TOOL), arguments, toolEnvironment(),
                      workingDirectory);
}

void writeFile(const QString &path, const QByteArray &contents)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(contents);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray menu(const QByteArray &name, const QByteArray &title, const QList<QByteArray> &items)
{
    QByteArray text = "BEGIN_MENU(" + name + ")\n";
    for (const QByteArray &item : items)
        text += "    MENU_ITEM(" + item + ")\n";
    return text + "END_MENU(" + name + ", \"" + title + "\")\n";
}

QString sourceDir()
{
    return qEnvironmentVariable("VELKO_SOURCE_DIR"); // set by the test's CMake entry
}

// A copy of the examples, a git repository of its own when asked.
QString copyExamples(const QTemporaryDir &dir)
{
    const QDir examples(sourceDir() + u"/examples"_s);
    for (const QString &name : examples.entryList(QDir::Files))
        writeFile(dir.filePath(u"tree/examples/"_s + name), readFile(examples.filePath(name)));
    return dir.filePath(u"tree"_s);
}

Run git(const QString &tree, const QStringList &arguments)
{
    return runProgram(
            u"git"_s,
            QStringList {u"-c"_s, u"user.name=T"_s, u"-c"_s, u"user.email=t@example.org"_s}
                    + arguments,
            QProcessEnvironment::systemEnvironment(), tree);
}

// The data attributes of the page's menus, entities decoded.
QJsonArray pageMenus(const QString &html)
{
    static const QRegularExpression article(
            uR"re(<article class="menu[^"]*" data-name="([^"]*)" data-text="([^"]*)" data-file-findings="(\d+)">)re"_s);
    const auto decode = [](QString text) {
        return text.replace(u"&quot;"_s, u"\""_s)
                .replace(u"&lt;"_s, u"<"_s)
                .replace(u"&gt;"_s, u">"_s)
                .replace(u"&amp;"_s, u"&"_s);
    };
    QJsonArray menus;
    for (const QRegularExpressionMatch &match : article.globalMatch(html))
        menus.append(QJsonObject {{u"name"_s, decode(match.captured(1))},
                                  {u"text"_s, decode(match.captured(2))},
                                  {u"fileFindings"_s, match.captured(3).toInt()}});
    return menus;
}

QStringList chromiumArguments(const QString &profile)
{
    return {u"--headless"_s,
            u"--no-sandbox"_s,
            u"--disable-gpu"_s,
            u"--disable-quic"_s,
            u"--no-first-run"_s,
            u"--disable-background-networking"_s,
            u"--disable-component-update"_s,
            u"--disable-sync"_s,
            u"--user-data-dir="_s + profile};
}

// A source for every kind of finding, one file each, so that no failure
// hides another.
QList<std::pair<QString, QByteArray>> everyFinding()
{
    QList<QByteArray> nine;
    for (int i = 1; i <= 9; ++i)
        nine << "\"Item " + QByteArray::number(i) + "\"";
    return {
            {u"missing-closing-macro"_s, "int x;\nBEGIN_MENU(A)\n    MENU_ITEM(\"a\")\n"},
            {u"wrong-closing-macro"_s,
             "BEGIN_EDITABLE_MENU(S)\n    MENU_ITEM(\"a\")\nEND_MENU(S, \"T\")\n"},
            {u"no-name"_s, "x;\n BEGIN_MENU END_MENU\n"},
            {u"closing-macro-arguments"_s,
             "BEGIN_MENU(M)\n    MENU_ITEM(\"a\")\n    END_MENU(M)\n"},
            {u"name-mismatch"_s, "BEGIN_MENU(M)\n    MENU_ITEM(\"a\")\nEND_MENU(N, \"T\")\n"},
            {u"unclosed-item-argument"_s,
             "BEGIN_MENU(M)\n    MENU_ITEM(\"b\", f(1)\nEND_MENU(M, \"T\")\n"},
            {u"stray-closing-macro"_s, menu("A", "A", {"\"a\""}) + "END_MENU(B, \"B\")\n"},
            {u"unterminated-title"_s, "BEGIN_MENU(M)\nEND_MENU(M, \"Tit)\nint x;\n"},
            {u"closing-macro-not-closed"_s,
             "BEGIN_MENU(M)\n    MENU_ITEM(\"a\")\nEND_MENU(M, \"T\"\n"},
            {u"empty-name-and-title"_s, "BEGIN_MENU( )\nEND_MENU( , )\n"},
            {u"title-length"_s, menu("M", "A title far too long", {"\"a\""})},
            {u"texts"_s,
             "#define S \"one\"\n#define S \"two\"\n"
                     + menu("M", "T",
                            {"S", "UNDEFINED_TEXT", "\"\\x42ad\"", "\"a\\tb\"", "\"Stop\\0Hidden\"",
                             "L\"wide\"", "\"%x\""})},
            {u"widths"_s,
             menu("W", "T",
                  {"\"%s and a text much longer than the line\"", "\"Value %lu units here\"",
                   "\"Ω\""})},
            {u"below-screen"_s, menu("Long", "T", nine)},
            {u"zero-bytes"_s, QByteArray("/* \0 */\n", 9) + menu("Z", "T", {"\"z\""})},
            {u"error-directive"_s,
             "#ifndef NO_STOP\n#error stop\n#endif\n" + menu("E", "T", {"\"e\""})},
            // The build's database names a compiler that is not allowed to run.
            {u"compiler-macros"_s, menu("C", "T", {"\"c\""})},
    };
}

} // namespace

class tst_Gallery : public QObject
{
    Q_OBJECT

private slots:
    void reportsForCodeScanning();
    void sarifPassesItsSchema();
    void changes_data();
    void changes();
    void pageInBrowser();
    void filter_data();
    void filter();

private:
    QTemporaryDir m_dir;
};

void tst_Gallery::reportsForCodeScanning()
{
    const QString folder = m_dir.filePath(u"findings"_s);
    const auto sources = everyFinding();
    for (qsizetype i = 0; i < sources.size(); ++i) {
        const QString path
                = u"%1/%2/%3.c"_s.arg(folder, i % 2 ? u"sub"_s : u"."_s, sources.at(i).first);
        writeFile(path, sources.at(i).second);
        if (sources.at(i).first == u"compiler-macros"_s)
            writeFile(QFileInfo(path).absolutePath() + u"/compile_commands.json"_s,
                      u"[{\"directory\": \"/\", \"file\": \"%1\", "
                      "\"command\": \"/opt/cross/bin/xgcc -c %1\"}]"_s
                              .arg(QFileInfo(path).absoluteFilePath())
                              .toUtf8());
    }
    // Not C, or in a hidden folder: not read.
    writeFile(folder + u"/notes.txt"_s, "BEGIN_MENU(X)\n");
    writeFile(folder + u"/.cache/old.c"_s, "BEGIN_MENU(X)\n");

    const Run text = runTool({u"check"_s, u"findings"_s}, m_dir.path());
    const Run sarif = runTool({u"check"_s, u"findings"_s, u"--format"_s, u"sarif"_s}, m_dir.path());
    const Run json = runTool({u"check"_s, u"--format=json"_s, u"findings"_s}, m_dir.path());
    for (const Run &run : {text, sarif, json}) {
        QVERIFY(!run.crashed);
        QCOMPARE(run.err, QString());
        QCOMPARE(run.exitCode, 1);
    }
    const QStringList lines = text.out.split(u'\n', Qt::SkipEmptyParts);
    QVERIFY(!text.out.contains(u"notes.txt"_s) && !text.out.contains(u".cache"_s));

    const QJsonObject log = QJsonDocument::fromJson(sarif.out.toUtf8()).object();
    QCOMPARE(log[u"version"_s].toString(), u"2.1.0"_s);
    QCOMPARE(log[u"runs"_s].toArray().size(), 1);
    const QJsonObject run = log[u"runs"_s][0].toObject();
    const QJsonObject driver = run[u"tool"_s][u"driver"_s].toObject();
    QCOMPARE(driver[u"name"_s].toString(), u"velko-menu"_s);
    QVERIFY(!driver[u"version"_s].toString().isEmpty());
    QStringList ruleIds;
    for (const QJsonValue rule : driver[u"rules"_s].toArray()) {
        QVERIFY(!rule[u"shortDescription"_s][u"text"_s].toString().isEmpty());
        QVERIFY(!rule[u"help"_s][u"text"_s].toString().isEmpty());
        QVERIFY(!ruleIds.contains(rule[u"id"_s].toString()));
        ruleIds << rule[u"id"_s].toString();
    }

    // Every result names a rule of the run and stands where the compiler
    // format puts it: 1-based lines and columns, in the same order.
    QStringList fromSarif;
    QSet<QString> found;
    bool related = false;
    for (const QJsonValue result : run[u"results"_s].toArray()) {
        const QString id = result[u"ruleId"_s].toString();
        QCOMPARE(ruleIds.value(result[u"ruleIndex"_s].toInt()), id);
        found.insert(id);
        const QJsonObject location = result[u"locations"_s][0][u"physicalLocation"_s].toObject();
        const QJsonObject region = location[u"region"_s].toObject();
        QVERIFY(region[u"startLine"_s].toInt() >= 1 && region[u"startColumn"_s].toInt() >= 1);
        QVERIFY(region[u"endLine"_s].toInt() > region[u"startLine"_s].toInt()
                || region[u"endColumn"_s].toInt() >= region[u"startColumn"_s].toInt());
        QCOMPARE(location[u"artifactLocation"_s][u"uriBaseId"_s].toString(), u"%SRCROOT%"_s);
        fromSarif << u"%1:%2:%3: %4: %5"_s.arg(location[u"artifactLocation"_s][u"uri"_s].toString())
                             .arg(region[u"startLine"_s].toInt())
                             .arg(region[u"startColumn"_s].toInt())
                             .arg(result[u"level"_s].toString(),
                                  result[u"message"_s][u"text"_s].toString());
        // The text from macro S points at the #define it was taken from.
        for (const QJsonValue place : result[u"relatedLocations"_s].toArray()) {
            QCOMPARE(place[u"physicalLocation"_s][u"region"_s][u"startLine"_s].toInt(), 2);
            QCOMPARE(place[u"physicalLocation"_s][u"region"_s][u"startColumn"_s].toInt(), 9);
            related = true;
        }
    }
    QCOMPARE(fromSarif, lines);
    QVERIFY(related);
    QStringList missing;
    for (const QString &id : ruleIds) {
        if (!found.contains(id) && id != u"unreadable-definition"_s) // no known input reaches it
            missing << id;
    }
    QCOMPARE(missing, QStringList());

    QStringList fromJson;
    QStringList jsonRules;
    for (const QJsonValue finding : QJsonDocument::fromJson(json.out.toUtf8()).array()) {
        fromJson << u"%1:%2:%3: %4: %5"_s.arg(finding[u"file"_s].toString())
                            .arg(finding[u"line"_s].toInt())
                            .arg(finding[u"column"_s].toInt())
                            .arg(finding[u"severity"_s].toString(),
                                 finding[u"message"_s].toString());
        jsonRules << finding[u"ruleId"_s].toString();
        QVERIFY(finding[u"end"_s][u"line"_s].toInt() >= finding[u"line"_s].toInt());
    }
    QCOMPARE(fromJson, lines);
    QStringList sarifRules;
    for (const QJsonValue result : run[u"results"_s].toArray())
        sarifRules << result[u"ruleId"_s].toString();
    QCOMPARE(jsonRules, sarifRules);
}

void tst_Gallery::sarifPassesItsSchema()
{
    // scripts/install-deps.sh brings the published schema and a validator.
    const QString modules = sourceDir() + u"/.deps/npm"_s;
    const QString node = QStandardPaths::findExecutable(u"node"_s);
    if (node.isEmpty() || !QFileInfo::exists(modules + u"/node_modules/ajv"_s))
        QSKIP("node or the SARIF schema package is missing: run scripts/install-deps.sh");
    const QString folder = m_dir.filePath(u"schema"_s);
    const auto sources = everyFinding();
    for (const auto &[name, source] : sources)
        writeFile(folder + u'/' + name + u".c"_s, source);
    writeFile(folder + u"/binary.c"_s, QByteArray("BEGIN_MENU\0\x01\x02", 14));
    const Run sarif = runTool({u"check"_s, folder, u"--format"_s, u"sarif"_s});
    QCOMPARE(sarif.exitCode, 2); // the binary file is told as a notification
    const Run validated
            = runProgram(node, {sourceDir() + u"/tests/tools/sarifschema.js"_s, modules},
                         QProcessEnvironment::systemEnvironment(), QString(), sarif.out.toUtf8());
    QVERIFY2(validated.exitCode == 0, qPrintable(validated.out + validated.err));
}

void tst_Gallery::changes_data()
{
    QTest::addColumn<bool>("againstGit");
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QStringList>("expected"); // the tool's change lines

    for (const bool againstGit : {false, true}) {
        const char *mode = againstGit ? "against" : "baseline";
        QTest::addRow("%s-unchanged", mode) << againstGit << u""_s << QStringList();
        QTest::addRow("%s-item-text", mode)
                << againstGit << u"item"_s
                << QStringList {u"changed: examples/main_menu.c:17: MainMenu"_s};
        QTest::addRow("%s-added", mode)
                << againstGit << u"added"_s
                << QStringList {u"added: examples/settings_menu.c:58: NewMenu"_s};
        QTest::addRow("%s-removed", mode)
                << againstGit << u"removed"_s
                << QStringList {u"removed: examples/main_menu.c:58: AboutMenu"_s};
        QTest::addRow("%s-moved", mode)
                << againstGit << u"moved"_s
                << QStringList {u"moved: examples/sub/settings_menu.c:14: SettingsMenu"_s,
                                u"moved: examples/sub/settings_menu.c:38: CalibrationMenu"_s,
                                u"moved: examples/sub/settings_menu.c:51: AlarmMenu"_s};
    }
}

void tst_Gallery::changes()
{
    QFETCH(bool, againstGit);
    QFETCH(QString, edit);
    QFETCH(QStringList, expected);
    if (againstGit && QStandardPaths::findExecutable(u"git"_s).isEmpty())
        QSKIP("git is not installed");
    QTemporaryDir dir;
    const QString tree = copyExamples(dir);
    const QString main = tree + u"/examples/main_menu.c"_s;
    const QString settings = tree + u"/examples/settings_menu.c"_s;
    if (againstGit) {
        QCOMPARE(git(tree, {u"init"_s, u"-q"_s}).exitCode, 0);
        QCOMPARE(git(tree, {u"add"_s, u"."_s}).exitCode, 0);
        QCOMPARE(git(tree, {u"commit"_s, u"-qm"_s, u"examples"_s}).exitCode, 0);
    } else {
        QCOMPARE(runTool({u"gallery"_s, u"examples"_s, u"-o"_s, u"../base"_s}, tree).exitCode, 0);
    }

    if (edit == u"item"_s) {
        writeFile(main, readFile(main).replace("\"Стоп\"", "\"Стоп!\""));
    } else if (edit == u"added"_s) {
        writeFile(settings, readFile(settings) + "\n" + menu("NewMenu", "New", {"\"One\""}));
    } else if (edit == u"removed"_s) {
        QByteArray text = readFile(main);
        const qsizetype from = text.indexOf("BEGIN_MENU(AboutMenu)");
        text.remove(from, text.indexOf("END_MENU(AboutMenu") - from);
        writeFile(main, text.replace("END_MENU(AboutMenu, \"О приборе\")", ""));
    } else if (edit == u"moved"_s) {
        QDir().mkpath(tree + u"/examples/sub"_s);
        QVERIFY(QFile::rename(settings, tree + u"/examples/sub/settings_menu.c"_s));
    }
    const QString status = againstGit ? git(tree, {u"status"_s, u"--porcelain"_s}).out : QString();

    const QStringList compare = againstGit ? QStringList {u"--against"_s, u"HEAD"_s}
                                           : QStringList {u"--baseline"_s, u"../base"_s};
    const Run run = runTool(
            QStringList {u"gallery"_s, u"examples"_s, u"-o"_s, u"../after"_s, u"--fail-on-change"_s}
                    + compare,
            tree);
    QVERIFY(!run.crashed);
    QCOMPARE(run.err, QString());
    QCOMPARE(run.exitCode, expected.isEmpty() ? 0 : 1);
    QStringList told = run.out.split(u'\n', Qt::SkipEmptyParts);
    QVERIFY(!told.isEmpty() && told.takeFirst().contains(u"index.html: "_s));
    QCOMPARE(told, expected);
    if (againstGit) // the work tree, the index and the repository as they were
        QCOMPARE(git(tree, {u"status"_s, u"--porcelain"_s}).out, status);

    const QString after = dir.filePath(u"after"_s);
    const QJsonObject changes
            = QJsonDocument::fromJson(readFile(after + u"/changes.json"_s)).object();
    QCOMPARE(changes[u"changes"_s].toArray().size(), expected.size());
    for (const QJsonValue change : changes[u"changes"_s].toArray()) {
        if (change[u"kind"_s].toString() != u"changed"_s)
            continue;
        // The mask marks exactly the pixels counted, at the pictures' magnification.
        const QJsonObject screen = change[u"screens"_s][0].toObject();
        const QImage mask(after + u'/' + screen[u"mask"_s].toString());
        QVERIFY(!mask.isNull());
        int marked = 0;
        for (int y = 0; y < mask.height(); ++y) {
            for (int x = 0; x < mask.width(); ++x) {
                const QRgb pixel = mask.pixel(x, y);
                marked += pixel == qRgb(0xE0, 0x30, 0x1E) || pixel == qRgb(0x1E, 0x78, 0xE0);
            }
        }
        QVERIFY(screen[u"changedPixels"_s].toInt() > 0);
        QCOMPARE(marked, screen[u"changedPixels"_s].toInt() * 4);
        QVERIFY(QFileInfo::exists(after + u'/' + screen[u"before"_s].toString()));
    }
}

void tst_Gallery::pageInBrowser()
{
    const QString chromium = QStandardPaths::findExecutable(u"chromium"_s);
    if (chromium.isEmpty())
        QSKIP("chromium is not installed: run scripts/install-deps.sh");
    const QString out = m_dir.filePath(u"page"_s);
    const QString examples = sourceDir() + u"/examples"_s;
    const Run run = runTool({u"gallery"_s, examples, u"-o"_s, out, u"--variant"_s, u"rs485:"_s,
                             u"--variant"_s, u"wifi:-DHAS_WIFI"_s});
    QCOMPARE(run.err, QString());
    QCOMPARE(run.exitCode, 0);

    QTemporaryDir profile;
    const QString url = QUrl::fromLocalFile(out + u"/index.html"_s).toString();
    const Run dom = runProgram(
            chromium, chromiumArguments(profile.path()) + QStringList {u"--dump-dom"_s, url},
            QProcessEnvironment::systemEnvironment());
    QCOMPARE(dom.exitCode, 0);
    // The script ran: the filter is offered.
    QVERIFY(dom.out.contains(u"<form id=\"filter\" class=\"filter\" role=\"search\">"_s));
    // One article per menu, one picture in it per variant: NetworkMenu's two
    // definitions, one per variant, stand side by side; the broken menu shows
    // its reason instead.
    const QStringList articles = dom.out.split(u"<article class=\"menu"_s).mid(1);
    QCOMPARE(articles.size(), 8);
    for (const QString &article : articles)
        QCOMPARE(article.count(u"<img "_s), article.contains(u"ServiceMenu"_s) ? 0 : 2);
    // Every finding of check is beside its menu, in check's words.
    const Run check = runTool({u"check"_s, examples, u"--format"_s, u"json"_s});
    const QJsonArray findings = QJsonDocument::fromJson(check.out.toUtf8()).array();
    QVERIFY(findings.size() >= 4);
    for (const QJsonValue finding : findings) {
        // As a serialized DOM writes text: only "&", "<" and ">" escaped.
        const QString message = finding[u"message"_s].toString();
        QVERIFY2(dom.out.contains(QString(message)
                                          .replace(u'&', u"&amp;"_s)
                                          .replace(u'<', u"&lt;"_s)
                                          .replace(u'>', u"&gt;"_s)),
                 qPrintable(message));
    }

    const QString shot = m_dir.filePath(u"gallery.png"_s);
    const Run screenshot = runProgram(
            chromium,
            chromiumArguments(profile.path())
                    + QStringList {u"--window-size=1200,900"_s, u"--screenshot="_s + shot, url},
            QProcessEnvironment::systemEnvironment());
    QCOMPARE(screenshot.exitCode, 0);
    const QImage image(shot);
    QCOMPARE(image.size(), QSize(1200, 900));
    // The first menu's title bar is in view: rows of the device's black.
    int black = 0;
    for (int y = 0; y < image.height(); ++y)
        black += image.pixel(300, y) == qRgb(0, 0, 0);
    QVERIFY(black > 10);
}

void tst_Gallery::filter_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<bool>("withFindings");
    QTest::addColumn<QStringList>("shown");

    QTest::addRow("everything") << u""_s << false
                                << QStringList {u"Alpha"_s, u"Beta"_s, u"Gamma"_s};
    QTest::addRow("files-with-findings") << u"  "_s << true << QStringList {u"Gamma"_s};
    QTest::addRow("item-text-any-case") << u"STO"_s << false << QStringList {u"Alpha"_s};
    QTest::addRow("every-word") << u"stop alpha"_s << false << QStringList {u"Alpha"_s};
    QTest::addRow("words-of-two-menus") << u"speed gamma"_s << false << QStringList();
    QTest::addRow("title") << u"weird <&>"_s << false << QStringList {u"Beta"_s};
    QTest::addRow("name-and-findings") << u"beta"_s << true << QStringList();
}

void tst_Gallery::filter()
{
    QFETCH(QString, query);
    QFETCH(bool, withFindings);
    QFETCH(QStringList, shown);
    const QString node = QStandardPaths::findExecutable(u"node"_s);
    if (node.isEmpty())
        QSKIP("node is not installed");
    const QString tree = m_dir.filePath(u"filter"_s);
    writeFile(tree + u"/a.c"_s,
              menu("Alpha", "A", {"\"Start\"", "\"Stop\""})
                      + menu("Beta", "Weird <&>", {"\"Speed %d\""}));
    writeFile(tree + u"/b.c"_s, menu("Gamma", "G", {"\"Ω\""}));
    const QString out = tree + u"/page"_s;
    QCOMPARE(runTool({u"gallery"_s, tree + u"/a.c"_s, tree + u"/b.c"_s, u"-o"_s, out}).exitCode, 0);

    // The page's own script on the page's own data.
    const QString html = QString::fromUtf8(readFile(out + u"/index.html"_s));
    const qsizetype open = html.lastIndexOf(u"<script>"_s) + 8;
    const QString script = html.mid(open, html.lastIndexOf(u"</script>"_s) - open);
    const QJsonObject input {
            {u"menus"_s, pageMenus(html)}, {u"query"_s, query}, {u"withFindings"_s, withFindings}};
    const QString driver = script
            + u"\nconst input = JSON.parse(require('fs').readFileSync(0, 'utf8'));\n"
              "console.log(input.menus.filter(m => menuMatches(m, input.query, input.withFindings))"
              ".map(m => m.name).join(','));\n"_s;
    const Run run = runProgram(node, {u"-e"_s, driver}, QProcessEnvironment::systemEnvironment(),
                               QString(), QJsonDocument(input).toJson());
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QCOMPARE(run.out.trimmed().split(u',', Qt::SkipEmptyParts), shown);
}

QTEST_MAIN(tst_Gallery)
#include "tst_gallery.moc"
