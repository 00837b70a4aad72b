// velko-ide-settings: adds `velko-menu lsp` to an IDE settings folder as a
// generic language client for C sources and headers, so that the IDE's own
// editor underlines what `velko-menu check` finds and shows it in tool tips.
// The IDE 9 keeps its language clients in QtProject/QtCreator.ini, group
// "LanguageClient", key "clients": a list of maps, one per stdio server,
// written by QSettings as the IDE itself writes them. It shows the findings
// of one language server per file, clangd's where clangd runs: the IDE's key
// "ClangdSettings/UseClangdV7" turns clangd off, leaving its built-in C/C++
// code model.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include <cstdio>

namespace {

// Fixed, so that running again replaces the entry rather than adding one.
constexpr char ClientId[] = "{5f0b8c1e-7a43-4d2b-9e61-0c9d2a7b3e58}";
// The IDE's names: its stdio client type; start once a file of the types is open.
constexpr char StdioType[] = "LanguageClient::StdIOSettingsID";
constexpr int RequiresFile = 1;

int fail(const QString &message)
{
    std::fprintf(stderr, "velko-ide-settings: %s\n", qPrintable(message));
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("velko-ide-settings"));
    QCommandLineParser parser;
    parser.setApplicationDescription(
            QStringLiteral("Adds velko-menu's language server to the IDE's settings in "
                           "SETTINGS_DIR (the folder the IDE is started with -settingspath, or "
                           "~/.config for your own), for C sources and headers. Run it while the "
                           "IDE is closed: the IDE writes its settings when it quits."));
    parser.addHelpOption();
    const QCommandLineOption withoutClangd(
            QStringLiteral("without-clangd"),
            QStringLiteral("turn the IDE's clangd off, so that the IDE shows velko-menu's findings "
                           "(it shows one language server's per file); its built-in C/C++ code "
                           "model goes on highlighting, completing and following symbols"));
    parser.addOption(withoutClangd);
    parser.addPositionalArgument(QStringLiteral("SETTINGS_DIR"),
                                 QStringLiteral("the folder holding QtProject/QtCreator.ini"));
    parser.addPositionalArgument(QStringLiteral("VELKO_MENU"),
                                 QStringLiteral("the velko-menu program the IDE starts"));
    parser.process(application);
    const QStringList arguments = parser.positionalArguments();
    if (arguments.size() != 2)
        return fail(QStringLiteral("needs SETTINGS_DIR and VELKO_MENU (see --help)"));

    const QFileInfo program(arguments.at(1));
    if (!program.isFile() || !program.isExecutable())
        return fail(QStringLiteral("%1 is no program").arg(arguments.at(1)));
    const QString file = QDir(arguments.at(0)).filePath(QStringLiteral("QtProject/QtCreator.ini"));
    if (!QDir().mkpath(QFileInfo(file).absolutePath()))
        return fail(QStringLiteral("cannot make the folder of %1").arg(file));

    QSettings settings(file, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError)
        return fail(QStringLiteral("cannot read %1").arg(file));
    settings.beginGroup(QStringLiteral("LanguageClient"));
    QVariantList clients = settings.value(QStringLiteral("clients")).toList();
    clients.removeIf([](const QVariant &client) {
        return client.toMap().value(QStringLiteral("id")).toString() == QLatin1String(ClientId);
    });
    const QVariantMap client {
            {QStringLiteral("typeId"), QString::fromLatin1(StdioType)},
            {QStringLiteral("name"), QStringLiteral("Velko Menu")},
            {QStringLiteral("id"), QString::fromLatin1(ClientId)},
            {QStringLiteral("enabled"), true},
            {QStringLiteral("startupBehavior"), RequiresFile},
            {QStringLiteral("mimeType"),
             QStringList {QStringLiteral("text/x-csrc"), QStringLiteral("text/x-chdr")}},
            {QStringLiteral("filePattern"), QStringList()},
            {QStringLiteral("initializationOptions"), QString()},
            {QStringLiteral("configuration"), QString()},
            {QStringLiteral("executable"), program.absoluteFilePath()},
            {QStringLiteral("arguments"), QStringLiteral("lsp")},
    };
    clients.append(client);
    settings.setValue(QStringLiteral("clients"), clients);
    settings.endGroup();
    if (parser.isSet(withoutClangd))
        settings.setValue(QStringLiteral("ClangdSettings/UseClangdV7"), false);
    settings.sync();
    if (settings.status() != QSettings::NoError)
        return fail(QStringLiteral("cannot write %1").arg(file));
    std::printf("%s: language client \"Velko Menu\" runs %s lsp for C files%s\n", qPrintable(file),
                qPrintable(program.absoluteFilePath()),
                parser.isSet(withoutClangd) ? ", clangd off" : "");
    return 0;
}
