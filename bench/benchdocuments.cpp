// Document generators for the benchmarks. The code between menus is varied
// enough (literals, comments, Cyrillic text) that no search skips it cheaply.
#include "benchdocuments.h"

#include <QFile>
#include <QSettings>

namespace {

// Appends ordinary code until the text has grown by `bytes`.
void appendCode(QByteArray &text, qsizetype bytes, int &counter)
{
    const qsizetype target = text.size() + bytes;
    while (text.size() < target) {
        const QByteArray n = QByteArray::number(counter++);
        switch (counter % 6) {
        case 0:
            text += "static const uint16_t calibration_" + n + "[4] = {0x12, 0x3F, 0x7A, 0x01};\n";
            break;
        case 1:
            text += "    status = adc_read(ADC_CHANNEL_" + n + ", &samples[" + n
                    + "]); // раз в 10 мс\n";
            break;
        case 2:
            text += "    if (status != OK) { log_error(\"adc (" + n
                    + ") failed: %d\\n\", status); }\n";
            break;
        case 3:
            text += "/* Пороги срабатывания защиты, канал " + n + " */\n";
            break;
        case 4:
            text += "void handler_" + n + "(void) { counters[" + n + " % 16] += 1; }\n";
            break;
        default:
            text += "#define LIMIT_" + n + " (" + n + " * 4 + 1)\n";
            break;
        }
    }
}

QString pathKey(const QString &path)
{
    return QString(path).replace(QLatin1Char('/'), QLatin1Char('\\'));
}

// A menu in source form; the cursor line is that of its third line.
BenchMenu appendMenu(QByteArray &text, const QByteArray &name, const QList<QByteArray> &items,
                     const QByteArray &title, bool editable, int *cursorLine)
{
    BenchMenu menu;
    menu.name = QString::fromUtf8(name);
    if (cursorLine)
        *cursorLine = int(text.count('\n')) + 3; // counted only for the menu the cursor stands in
    text += editable ? "BEGIN_EDITABLE_MENU(" : "BEGIN_MENU(";
    text += name + ")\n";
    for (const QByteArray &item : items) {
        text += "    MENU_ITEM(\"" + item + "\")\n";
        const QString decoded = QString::fromUtf8(item);
        menu.itemTexts << decoded;
        if (decoded.contains(QLatin1Char('%')) && !decoded.contains(QLatin1String("%%")))
            menu.storedItems << decoded;
    }
    text += editable ? "END_EDITABLE_MENU(" : "END_MENU(";
    text += name + ", \"" + title + "\")\n";
    return menu;
}

const QList<QByteArray> setupItems {
        "Скорость %d об/мин", "Gain %.1f dB", "Порог %u мВ",  "Имя: %s",
        "Окно %d x %d",       "Режим авто",   "Load 50%%",    "Время %02d:%02d",
        "Калибровка",         "Канал %d",     "Смещение %+d", "Выход",
};

} // namespace

BenchDocument oneMenuDocument(qsizetype bytes, MenuPlace place)
{
    BenchDocument document;
    int counter = 0;
    QByteArray menu;
    int menuLine = 0;
    document.menus << appendMenu(menu, "setupMenu", setupItems, "Настройка", true, &menuLine);
    const qsizetype code = qMax<qsizetype>(bytes - menu.size(), 0);
    const qsizetype before = place == MenuPlace::Start ? 0
            : place == MenuPlace::Middle               ? code / 2
                                                       : code;
    appendCode(document.text, before, counter);
    document.cursorLine = int(document.text.count('\n')) + menuLine;
    document.text += menu;
    appendCode(document.text, code - before, counter);
    return document;
}

BenchDocument manyMenusDocument(qsizetype bytes, int menus)
{
    BenchDocument document;
    int counter = 0;
    const qsizetype gap = bytes / menus;
    for (int m = 0; m < menus; ++m) {
        const qsizetype start = document.text.size();
        const QByteArray name = "menu" + QByteArray::number(m);
        document.menus << appendMenu(document.text, name,
                                     {"Уровень %d", "Gain %.1f dB", "Имя %s", "Назад"},
                                     "Меню " + QByteArray::number(m), m % 2 == 1,
                                     m == menus / 2 ? &document.cursorLine : nullptr);
        appendCode(document.text, gap - (document.text.size() - start), counter);
    }
    return document;
}

BenchDocument withWrappedTexts(const BenchDocument &document, const QString &folder,
                               qsizetype headerBytes)
{
    BenchDocument wrapped = document;
    QByteArray header = "#define WRAP(s) s\n#define UI(s) WRAP(s)\n";
    int constant = 0;
    for (const BenchMenu &menu : document.menus) {
        for (const QString &text : menu.itemTexts) {
            const QByteArray literal = '"' + text.toUtf8() + '"';
            const QByteArray name = "MSG_" + QByteArray::number(constant++);
            header += "#define " + name + " " + literal + "\n";
            wrapped.text.replace("MENU_ITEM(" + literal + ")", "MENU_ITEM(UI(" + name + "))");
        }
    }
    int counter = 0;
    appendCode(header, headerBytes, counter);
    QFile file(folder + QStringLiteral("/texts.h"));
    if (!file.open(QIODevice::WriteOnly) || file.write(header) != header.size())
        return document; // the figure then names what it lacks
    wrapped.text.prepend("#include \"texts.h\"\n");
    wrapped.cursorLine += 1;
    return wrapped;
}

BenchDocument paintDocument()
{
    QList<QByteArray> items;
    const QList<QByteArray> kinds {"Скорость %d об/мин", "Gain %.1f dB", "Имя: %s",
                                   "Load 50%%",          "Порог %u мВ",  "Выход"};
    for (int i = 0; i < 21; ++i)
        items << kinds.at(i % kinds.size()) + " " + QByteArray::number(i + 1);
    BenchDocument document;
    int cursorLine = 0;
    document.menus << appendMenu(document.text, "paintMenu", items, "Настройки", true, &cursorLine);
    document.cursorLine = cursorLine;
    return document;
}

void storeValues(QSettings &settings, const QString &path, const BenchDocument &document, bool kept,
                 int removed)
{
    for (const BenchMenu &menu : document.menus) {
        const QString group = pathKey(path) + QLatin1Char('/') + menu.name + QLatin1Char('/');
        if (kept) {
            // As the entry dialog stores them: one value per conversion, three at most.
            for (const QString &item : menu.storedItems) {
                const QString key = group + pathKey(item) + QLatin1String("/Param");
                const bool isString = item.contains(QLatin1String("%s"));
                const int conversions = int(qMin<qsizetype>(item.count(QLatin1Char('%')), 3));
                for (int n = 1; n <= conversions; ++n)
                    settings.setValue(key + QString::number(n),
                                      isString ? QStringLiteral("мотор")
                                               : QString::number(1500 + n));
            }
        }
        for (int n = 0; n < removed; ++n)
            settings.setValue(group + QStringLiteral("Removed item %1 %d/Param1").arg(n),
                              QStringLiteral("7"));
    }
}

BenchDocument withIncludes(const BenchDocument &document, const QString &folder, int headers,
                           qsizetype headerBytes)
{
    BenchDocument included = document;
    QByteArray lines;
    int counter = 0;
    for (int h = 0; h < headers; ++h) {
        const QByteArray name = "strings" + QByteArray::number(h) + ".h";
        lines += "#include \"" + name + "\"\n";
        QByteArray header = "#define STR_HEADER_" + QByteArray::number(h) + " \"Заголовок\"\n";
        appendCode(header, headerBytes, counter);
        QFile file(folder + QLatin1Char('/') + QString::fromLatin1(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(header) != header.size())
            return document; // the figure then names what it lacks
    }
    included.text.prepend(lines);
    included.cursorLine += headers;
    return included;
}
