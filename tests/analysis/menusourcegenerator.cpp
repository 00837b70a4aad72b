// The random sources of the differential test against the C compiler.
#include "menusourcegenerator.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopedValueRollback>

using namespace Qt::StringLiterals;

namespace {

const char *const groupNames[]
        = {"literals",   "adjacent",   "comments",     "macros",      "constants",
           "splices",    "prefixes",   "wide",         "escapes",     "arguments",
           "lineends",   "code",       "conditionals", "includes",    "zerobytes",
           "expansions", "predefined", "directives",   "expressions", "macromenus"};
constexpr int groupCount = int(sizeof(groupNames) / sizeof(*groupNames));

const QStringList plainWords
        = {"Start", "Stop", "Menu", "OK", "Back", " ",  "a", "Item 1", "x=", "(",  ")", ",",
           "'",     ":",    "-",    ".",  "[0]",  "<>", "!", "#",      "Z9", "_;", "+"};
const QStringList richWords
        = {"Пуск", "Настройки", "Темп. %d°C", "№",      "°",  "😀",    "🌡", "Гист. %.1f°C",
           "%s",   "%%",        "100%%",      "%u мин", "Ёж", "ÄÖÜß", "€",    "Ω",
           "%d",   "%.1f",      "%5.2f",      "%-3d",   "中"};
// Comment and keyword look-alikes inside literals.
const QStringList trickyWords
        = {"/*",      "*/", "//", "END_MENU", "MENU_ITEM(", "\\\"/*\\\"", "BEGIN_MENU(X)",
           "/* x */", "')'"};
const QStringList blockComments = {"/* ) , \" */", "/* \"fake\" */",   "/* it's */",
                                   "/**/",         "/* a // b */",     "/* END_MENU(X, \"no\") */",
                                   "/* \\\" */",   "/*\n * ) \"\n */", "/* MENU_ITEM(\"x\", f) */"};
const QStringList lineComments
        = {"// note \"zzz\"\n", "// it's\n", "// MENU_ITEM(\"x\", f)\n", "//\n",
           "// ) ,\n",          "// \"\n"};
const QStringList simpleEscapes = {"\\n", "\\t", "\\a", "\\e", "\\\"", "\\\\", "\\'",
                                   "\\?", "\\b", "\\f", "\\v", "\\r",  "\\E"};
// Not C, but gcc takes each as the character itself.
const QStringList otherEscapes = {"\\q", "\\(", "\\%", "\\{", "\\["};
const QStringList backslashRuns = {"\\\\\\\"", "\\\\\\\\", "a\\\\\\\"b", "\\\\\\\\\\\""};
const QStringList handlerArguments
        = {"f(1, (2), \")\")", "')'",       "cb, ','", "\"a,b\", 3", "(x)",  "g(\"\\\")\", '\\'')",
           "{1, 2}",           "h((a, b))", "0",       "'\"'",       "\"(\""};
const QStringList configNames
        = {"CFG_WIFI", "CFG_LANG", "CFG_MODEL", "CFG_DEBUG", "CFG_REV", "CFG_OPT"};
const QStringList configValues = {"0", "1", "2", "42", "0x1F", "'A'", "(3+4)", "-1", "07", "3u"};

bool isIdentifierChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

} // namespace

MenuSourceGenerator::Constructs MenuSourceGenerator::constructsFromNames(const QString &names,
                                                                         bool *ok)
{
    Constructs constructs = 0;
    *ok = true;
    for (QString name : names.split(u',', Qt::SkipEmptyParts)) {
        name = name.trimmed().toLower();
        if (name == u"default") {
            constructs |= defaultConstructs();
            continue;
        }
        if (name == u"all") {
            constructs |= (1u << groupCount) - 1;
            continue;
        }
        int group = 0;
        while (group < groupCount && name != QLatin1String(groupNames[group]))
            ++group;
        if (group == groupCount)
            *ok = false;
        else
            constructs |= 1u << group;
    }
    return constructs;
}

QStringList MenuSourceGenerator::names(Constructs constructs)
{
    QStringList list;
    for (int group = 0; group < groupCount; ++group) {
        if (constructs & (1u << group))
            list << QLatin1String(groupNames[group]);
    }
    return list;
}

MenuSourceGenerator::Constructs MenuSourceGenerator::defaultConstructs()
{
    return ((1u << groupCount) - 1)
            & ~Constructs(Wide | Conditionals | Includes | Expansions | Predefined | Directives
                          | Expressions | MacroMenus);
}

MenuSourceGenerator::MenuSourceGenerator(quint32 seed, Constructs constructs)
    : m_seed(seed)
    , m_constructs(constructs)
{ }

bool MenuSourceGenerator::chance(int percent)
{
    return int(m_rng.bounded(100)) < percent;
}

int MenuSourceGenerator::number(int low, int high)
{
    return low + int(m_rng.bounded(quint32(high - low + 1)));
}

QString MenuSourceGenerator::pick(const QStringList &list)
{
    return list.at(number(0, int(list.size()) - 1));
}

// Backslash-newline inside a word: the compiler joins the lines first.
QString MenuSourceGenerator::spliced(const QString &word)
{
    if (!has(Splices) || word.size() < 2 || !chance(12))
        return word;
    const int at = number(1, int(word.size()) - 1);
    return word.left(at) + "\\\n" + word.mid(at);
}

QString MenuSourceGenerator::gap(Context context, bool required)
{
    const int r = number(0, 99);
    if (has(ZeroBytes) && r >= 96)
        return chance(50) ? QString(QChar(0)) : u" "_s + QChar(0) + u"\t"_s;
    if ((has(Splices) || (context == Context::Directive && has(Macros))) && r < 8)
        return required ? (chance(50) ? " \\\n" : "\\\n ") : "\\\n";
    if (has(Comments) && r < 20)
        return comment(context);
    if (context == Context::Code && r < 30)
        return chance(50) ? "\n    " : "\n";
    if (r < 40)
        return "\t";
    if (!required && r < 70)
        return QString();
    return " ";
}

QString MenuSourceGenerator::comment(Context context)
{
    if (has(ZeroBytes) && chance(10))
        return u"/* "_s + QChar(0) + u" */"_s;
    if (context == Context::Code && chance(40))
        return " " + pick(lineComments) + "    ";
    return pick(blockComments);
}

// The characters between the quotes; *utf8Bound grows by the most bytes
// they can come to (no escape gives more bytes than it has characters).
QString MenuSourceGenerator::literalBody(int *utf8Bound)
{
    enum { Closed, OpenOctal, OpenHex } open = Closed;
    QString body;
    const int pieces = number(has(Literals) ? 0 : 1, 4);
    for (int i = 0; i < pieces; ++i) {
        const int kind = number(0, 19);
        if (has(Escapes) && kind >= 13) {
            open = Closed;
            switch (kind) {
            case 13:
                body += chance(85) ? pick(simpleEscapes) : pick(otherEscapes);
                break;
            case 14: {
                const int digits = number(1, 3);
                const int value = number(0, digits == 1 ? 7 : digits == 2 ? 63 : 255);
                body += "\\" + QString::number(value, 8).rightJustified(digits, u'0');
                open = digits < 3 ? OpenOctal : Closed;
                break;
            }
            case 15: // a zero in the middle, or an octal escape ended by 8 or 9
                body += chance(50) ? QStringLiteral("\\0")
                                   : "\\" + QString::number(number(0, 7)) + pick({"8", "9"});
                open = body.endsWith(u'0') ? OpenOctal : Closed;
                break;
            case 16: {
                const QString hex = QString::number(number(0, 255), 16);
                const QString digits = QString(number(0, 3), u'0') + hex;
                body += "\\x" + (chance(50) ? digits : digits.toUpper());
                open = OpenHex;
                break;
            }
            case 17: // UTF-8 written byte by byte
                for (const char byte : pick(richWords).left(2).toUtf8()) {
                    const bool hex = chance(50);
                    body += hex ? "\\x" + QString::number(quint8(byte), 16)
                                : "\\" + QString::number(quint8(byte), 8);
                    open = hex ? OpenHex : quint8(byte) < 64 ? OpenOctal : Closed;
                }
                break;
            case 18: {
                static const QList<QPair<uint, uint>> ranges
                        = {{0x24, 0x24},       {0x40, 0x40},       {0xA0, 0xFF},
                           {0x400, 0x4FF},     {0x2000, 0x2BFF},   {0xE000, 0xFFFD},
                           {0x1F300, 0x1F6FF}, {0x10000, 0x10FFFF}};
                const auto range = ranges.at(number(0, int(ranges.size()) - 1));
                const uint value = range.first + m_rng.bounded(range.second - range.first + 1);
                body += value > 0xFFFF || chance(30)
                        ? "\\U" + QString::number(value, 16).rightJustified(8, u'0')
                        : "\\u" + QString::number(value, 16).rightJustified(4, u'0');
                break;
            }
            default:
                body += pick(backslashRuns);
                break;
            }
            continue;
        }
        QString word = has(Literals) && kind >= 8 ? pick(richWords)
                : has(Comments) && kind == 7      ? pick(trickyWords)
                                                  : pick(plainWords);
        // A digit after an escape would lengthen it.
        const QChar first = word.front();
        if ((open == OpenOctal && first >= u'0' && first <= u'7')
            || (open == OpenHex && QStringLiteral("0123456789abcdefABCDEF").contains(first)))
            word.prepend(u' ');
        body += word;
        open = Closed;
    }
    if (has(Splices) && chance(12)) {
        qsizetype at = number(0, int(body.size()));
        if (at > 0 && at < body.size() && body.at(at).isLowSurrogate())
            --at;
        body.insert(at, chance(85) ? QStringLiteral("\\\n") : QStringLiteral("\\  \n"));
    }
    if (utf8Bound)
        *utf8Bound += int(body.toUtf8().size());
    return body;
}

QString MenuSourceGenerator::literal(const QString &prefix, int *utf8Bound)
{
    const QString open = prefix.isEmpty() ? QStringLiteral("\"") : spliced(prefix + '"');
    return open + literalBody(utf8Bound) + '"';
}

// Adjacent literals and string macros: one string for the compiler. With
// `wide`, one wide prefix for the whole run and no macros, which could
// bring a u8 piece.
QString MenuSourceGenerator::chain(Context context, bool macros, bool wide, int *utf8Bound,
                                   QStringList *refs)
{
    const int count = has(Adjacent) && chance(50) ? number(2, 4) : 1;
    const QString widePrefix = wide ? pick({"L", "u", "U"}) : QString();
    const QStringList names = macros && !wide && !utf8Bound ? usableMacros(true) : QStringList();
    QString text;
    for (int i = 0; i < count; ++i) {
        QString piece;
        if (!names.isEmpty() && chance(30)) {
            const QString name = pick(names);
            if (refs)
                *refs << name;
            piece = spliced(name);
        } else if (wide) {
            piece = literal(i == 0 || chance(50) ? widePrefix : QString(), utf8Bound);
        } else {
            piece = literal(has(Prefixes) && chance(20) ? QStringLiteral("u8") : QString(),
                            utf8Bound);
        }
        if (i > 0)
            text += gap(context, isIdentifierChar(text.back()) && isIdentifierChar(piece.front()));
        text += piece;
    }
    return text;
}

QString MenuSourceGenerator::textExpression()
{
    const int kind = number(0, 9);
    if (kind <= 1 && has(Constants) && !m_constants.isEmpty())
        return spliced(pick(m_constants));
    if (kind == 2 && has(Macros)) {
        const QStringList names = usableMacros(false);
        if (!names.isEmpty())
            return spliced(pick(names));
    }
    if (kind == 3 && has(Literals))
        return QStringLiteral("\"\"");
    if (kind >= 6 && (has(Expansions) || has(Predefined) || has(Expressions)) && chance(60)) {
        const QString text = expansionText();
        if (!text.isEmpty())
            return text;
    }
    return chain(Context::Code, has(Macros), has(Wide) && chance(15), nullptr);
}

// A text through what the prologue defines: wrappers, stringified versions
// and token soups, the compiler's own macros, and the expressions that come
// to a string.
QString MenuSourceGenerator::expansionText()
{
    const QString inner = chain(Context::Code, has(Macros), false, nullptr);
    QStringList kinds;
    if (has(Expansions))
        kinds << "wrap"
              << "wrap2"
              << "tr"
              << "istr"
              << "version"
              << "soup"
              << "soup"
              << "first"
              << "cat"
              << "ux"
              << "comma";
    if (has(Predefined))
        kinds << "line"
              << "file"
              << "level";
    if (has(Expressions)) {
        kinds << "cast"
              << "pstr"
              << "cond"
              << "function"
              << "gettext"
              << "extern";
        if (!m_arrays.isEmpty())
            kinds << "address"
                  << "plus";
    }
    if (kinds.isEmpty())
        return QString();
    const QString kind = pick(kinds);
    if (kind == u"wrap")
        return "T_(" + inner + ")";
    if (kind == u"wrap2")
        return "WRAP2(" + inner + ")";
    if (kind == u"tr")
        return "TR(" + inner + ", " + chain(Context::Code, false, false, nullptr) + ")";
    if (kind == u"istr")
        return "ISTR(" + inner + ")";
    if (kind == u"ux")
        return "_UxGT(" + inner + ") _UxGT(" + chain(Context::Code, false, false, nullptr) + ")";
    if (kind == u"version")
        return "\"FW \" X_S(VERSION)"
                + (chance(50) ? QStringLiteral(" \" r\" X_S(X_N)") : QString());
    if (kind == u"soup")
        return "X_S(" + soup(0) + ")";
    if (kind == u"first")
        return "X_FIRST(" + inner + ", " + soup(2) + ")";
    if (kind == u"comma")
        return "X_HEAD(X_COMMA(" + inner + (chance(50) ? QString() : QStringLiteral(", x")) + "))";
    if (kind == u"cat") {
        // A paste that names a macro or a constant of the file.
        QStringList names = usableMacros(true);
        names << m_constants;
        const QString name = names.isEmpty() ? QString() : pick(names);
        const qsizetype cut = name.indexOf(u'_');
        if (cut <= 0)
            return "X_S(X_CAT(a, b) X_XCAT(X_N, x))";
        return QStringLiteral("X_XCAT(%1, %2)").arg(name.left(cut + 1), name.mid(cut + 1));
    }
    if (kind == u"line")
        return "\"L\" X_S(__LINE__)";
    if (kind == u"file")
        return "__FILE__";
    if (kind == u"level")
        return "X_S(__INCLUDE_LEVEL__ __STDC__)";
    if (kind == u"cast")
        return pick({"(const char *)", "(char *)", "(const unsigned char *)", "(const char*)"})
                + "(" + inner + ")";
    if (kind == u"pstr")
        return "X_PSTR(" + inner + ")";
    if (kind == u"cond")
        return pick({"(X_N > 2 ? ", "(1 ? ", "(0 ? ", "('A' == 65 ? ", "(X_N - 3 ? "}) + inner
                + " : " + chain(Context::Code, false, false, nullptr) + ")";
    if (kind == u"function")
        return "X_tr(" + inner + ")";
    if (kind == u"gettext")
        return chance(50) ? "gettext(" + inner + ")" : "dgettext(\"x\", " + inner + ")";
    if (kind == u"extern")
        return pick({"X_ext1", "X_ext2"}) + QString::number(m_index);
    if (kind == u"address")
        return "&" + pick(m_arrays) + "[0]";
    return pick(m_arrays) + " + 0";
}

// Tokens of every kind the compiler's # can spell, through the prologue's
// macros: balanced parentheses, commas, literals with quotes inside. Commas,
// written or expanded, only where a variadic parameter takes them: a
// parenthesised group may follow X_G and become its arguments.
QString MenuSourceGenerator::soup(int depth, bool commas)
{
    static const QStringList atoms
            = {"a",           "b1",      "X_N",       "X_EMPTY",    "X_SELF",  "X_A",  "X_OBJ",
               "X_F",         "VERSION", "42",        "0x1F",       "1.5e+3",  "+",    "-",
               "*",           "->",      "<<=",       "#",          "##",      "%:",   "<:",
               ".",           "'\\''",   "\"q\\\"\"", "\"a\\\\b\"", "u8\"x\"", "L'c'", "__LINE__",
               "X_NOTHING()", "X_G",     "x_",        "_",          "@"};
    static const QStringList spaces = {"", " ", "  ", "/**/", " /* c */ ", "\t"};
    QString out;
    for (int i = number(1, depth >= 2 ? 3 : 6); i > 0; --i) {
        if (!out.isEmpty())
            out += pick(spaces);
        const int r = number(0, 19);
        if (depth < 3 && r == 0)
            out += "X_ID(" + soup(depth + 1, false) + ")";
        else if (depth < 3 && r == 1)
            out += "X_TWICE(" + soup(depth + 1, false) + ")";
        else if (depth < 3 && r == 2)
            out += "(" + soup(depth + 1, false) + ")";
        else if (depth < 3 && r == 3)
            out += "X_OPT(" + (chance(50) ? soup(depth + 1, commas) : QString()) + ")";
        else if (depth < 3 && r == 4)
            out += "X_REST(" + soup(depth + 1, false) + ", " + soup(depth + 1, commas) + ")";
        else if (depth < 3 && r == 5)
            out += "X_G(" + soup(depth + 1, false) + ")";
        else if (depth < 3 && r == 6)
            out += "X_Q(" + soup(depth + 1, false) + ")";
        else if (r == 7)
            out += pick({"X_CAT(a, b)", "X_CAT(, b)", "X_CAT(a, )", "X_CAT(, )", "X_CAT(1, x)",
                         "X_XCAT(X_N, 0)", "X_CAT(+, =)", "X_CAT(<, <)"});
        else if (depth < 3 && r == 8)
            out += "X_NAMED(" + soup(depth + 1, false)
                    + (chance(50) ? ", " + soup(depth + 1, commas) : QString()) + ")";
        else if (r == 9 && commas)
            out += ",";
        else
            out += pick(atoms);
    }
    return out;
}

void MenuSourceGenerator::writePrologue(QString &out)
{
    if (has(Expansions) || has(Predefined) || has(Expressions) || has(MacroMenus)) {
        out += "#define X_S_(...) #__VA_ARGS__\n#define X_S(...) X_S_(__VA_ARGS__)\n"
               "#define X_N 3\n#define VERSION 2.1.0\n";
    }
    if (has(Expansions)) {
        out += "#define X_CAT(a, b) a ## b\n#define X_XCAT(a, b) X_CAT(a, b)\n"
               "#define X_ID(x) x\n#define X_TWICE(x) x x\n#define X_FIRST(x, ...) x\n"
               "#define X_REST(x, ...) __VA_ARGS__\n#define X_OPT(...) __VA_OPT__(< __VA_ARGS__ "
               ">)\n"
               "#define X_COMMA(x, ...) x , ## __VA_ARGS__\n#define X_HEAD(...) "
               "X_FIRST(__VA_ARGS__)\n"
               "#define X_NAMED(first, rest...) first rest\n#define X_EMPTY\n"
               "#define X_NOTHING()\n#define X_SELF X_SELF + 1\n#define X_A X_B\n"
               "#define X_B X_A\n#define X_F X_G\n#define X_G(x) [x]\n"
               "#define X_OBJ 7 X_OBJ\n#define X_Q(x) X_S(x) x\n"
               "#define _UxGT(a) a\n#define T_(s) s\n#define WRAP2(s) T_(_UxGT(s))\n"
               "#define ISTR(s) \"\\u00bb \" s\n";
        // Short texts or long ones, by the display's width.
        out += chance(50) ? "#if X_N > 2\n#define TR(x, y) x\n#else\n#define TR(x, y) y\n#endif\n"
                          : "#if X_N < 2\n#define TR(x, y) x\n#else\n#define TR(x, y) y\n#endif\n";
    }
    if (has(Expressions)) {
        out += "#include <libintl.h>\n"
               "#define X_PSTR(s) (__extension__({static const char __c[] "
               "__attribute__((section(\".rodata\"))) = (s); &__c[0];}))\n"
               "static const char *X_tr(const char *s) { return s; }\n"
                + QStringLiteral(
                          "extern const char X_ext1%1[];\nextern const char *const X_ext2%1;\n")
                          .arg(m_index);
        m_textFunctions << QStringLiteral("X_tr");
    }
    if (has(MacroMenus)) {
        out += "#define PROGMEM_N1 __attribute__((section(\".rodata\")))\n"
               "#define LSTR static const char\n#define PGM_P const char *\n"
               "#define X_BACK MENU_ITEM(\"Back\", goBack)\n#define X_ITEM(t) MENU_ITEM(t, 0)\n"
               "#define X_ITEMS(a, b) X_ITEM(a) X_ITEM(b)\n"
               "#define X_MENU(n, t, i) BEGIN_MENU(n) MENU_ITEM(i, 0) END_MENU(n, t)\n"
               "#define X_EMENU(n, t) BEGIN_EDITABLE_MENU(n) X_BACK END_EDITABLE_MENU(n, t)\n";
    }
}

// Definitions the prologue declared extern, after the menus that use them.
void MenuSourceGenerator::writeEpilogue(QString &out)
{
    if (has(Expressions))
        out += QStringLiteral("const char X_ext1%1[] = \"Ext\" \"ern\";\n"
                              "const char *const X_ext2%1 = \"Ptr\";\n")
                       .arg(m_index);
}

QString MenuSourceGenerator::directive(const QString &name)
{
    QString text = chance(10) ? QStringLiteral("  #") : QStringLiteral("#");
    if (chance(10))
        text += ' ';
    return text + spliced(name);
}

bool MenuSourceGenerator::expandable(const QString &name, bool chain, int depth) const
{
    const auto it = m_macros.constFind(name);
    if (it == m_macros.cend() || !it->defined || (chain && !it->chainable) || depth > 8)
        return false; // a cycle leaves a name the compiler does not know
    for (const QString &ref : it->refs) {
        if (!expandable(ref, true, depth + 1))
            return false;
    }
    return true;
}

QStringList MenuSourceGenerator::usableMacros(bool chain) const
{
    QStringList names;
    for (auto it = m_macros.cbegin(); it != m_macros.cend(); ++it) {
        if (expandable(it.key(), chain, 0))
            names << it.key();
    }
    names.sort(); // hash order differs between runs
    return names;
}

QString MenuSourceGenerator::join(const QStringList &tokens)
{
    QString text;
    for (const QString &token : tokens) {
        if (!text.isEmpty())
            text += gap(Context::Code,
                        isIdentifierChar(text.back()) && isIdentifierChar(token.front()));
        text += token;
    }
    return text;
}

// `#define name body`. Kind 5 names a constant, 6 puts a run of literals in
// parentheses, 7 names a macro defined on the next line, 8 is empty; any
// other is a run of literals and macros.
MenuSourceGenerator::Macro MenuSourceGenerator::defineMacro(QString &out, const QString &name,
                                                            int kind)
{
    Macro macro;
    QString body;
    QString after;
    if (kind == 5 && has(Constants) && !m_constants.isEmpty()) {
        body = spliced(pick(m_constants));
        macro.chainable = false;
    } else if (kind == 6) {
        body = '(' + chain(Context::Directive, true, false, nullptr, &macro.refs) + ')';
        macro.chainable = false;
    } else if (kind == 7) {
        // The compiler expands the body where it is used, not where it is defined.
        const QString later = QStringLiteral("STR_%1").arg(m_counter++);
        body = literal(QString(), nullptr) + gap(Context::Directive, true) + spliced(later);
        macro.refs << later;
        after = directive("define") + ' ' + later + ' ' + literal(QString(), nullptr) + '\n';
        m_macros[later] = Macro {};
    } else if (kind == 8 && has(Literals)) {
        body = QStringLiteral("\"\"");
    } else {
        body = chain(Context::Directive, true, false, nullptr, &macro.refs);
    }
    out += directive("define") + ' ' + spliced(name) + gap(Context::Directive, true) + body;
    if (has(Comments) && chance(15))
        out += QStringLiteral(" // it's \"%1\"").arg(name);
    out += '\n' + after;
    return macro;
}

void MenuSourceGenerator::writeMacro(QString &out)
{
    const int kind = number(0, 11);
    const QStringList defined = usableMacros(false);
    if (kind == 0 && !defined.isEmpty()) {
        const QString name = pick(defined);
        out += directive("undef") + ' ' + spliced(name) + '\n';
        m_macros[name].defined = false;
        return;
    }
    if (kind == 1) { // a keyword in a body that is never expanded
        out += directive("define") + QStringLiteral(" MENU_HELPER%1(n) ").arg(m_counter++)
                + pick({"BEGIN_MENU(n)", "END_MENU(n, \"x\")", "MENU_ITEM(n, f)",
                        "BEGIN_EDITABLE_MENU(n)"})
                + '\n';
        return;
    }
    QString name = QStringLiteral("STR_%1").arg(m_counter++);
    if (kind <= 4 && !m_macros.isEmpty()) {
        QStringList all = m_macros.keys();
        all.sort();
        name = pick(all);
        if (m_macros.value(name).defined && chance(50))
            out += directive("undef") + ' ' + name + '\n';
    }
    m_macros[name] = defineMacro(out, name, kind);
}

void MenuSourceGenerator::defineConstant(QString &out, const QString &name)
{
    const int form = number(0, 12);
    int bound = 1;
    const QString init
            = chain(Context::Code, has(Macros) && form != 6, false, form == 6 ? &bound : nullptr);
    QStringList tokens;
    switch (form) {
    case 0:
        tokens = {"static", "const", "char", name, "[", "]", "=", init, ";"};
        break;
    case 1:
        tokens = {"const", "char", name, "[", "]", "=", init, ";"};
        break;
    case 2:
        tokens = {
                "static", "const", "char", name, "[", "]", "__attribute__((section(\".rodata\")))",
                "=",      init,    ";"};
        break;
    case 3:
        tokens = {"static", "const", "char", "*", "const", name, "=", init, ";"};
        break;
    case 4:
        tokens = {"static", "char", "const", name, "[", "]", "=", init, ";"};
        break;
    case 5:
        tokens = {"const", "static", "char", name, "[", "]", "=", init, ";"};
        break;
    case 6:
        tokens = {"static", "const", "char", name, "[", QString::number(bound + number(0, 8)),
                  "]",      "=",     init,   ";"};
        break;
    case 7:
        tokens = {
                "__attribute__((used))", "static", "const", "char", name, "[", "]", "=", init, ";"};
        break;
    case 8:
        tokens = {"static", "const", "char", "__attribute__((aligned(4)))", name, "[", "]",
                  "=",      init,    ";"};
        break;
    case 9:
        tokens = {"static", "const", "char", "*", "const", name, "__attribute__((unused))",
                  "=",      init,    ";"};
        break;
    case 10:
        tokens = {"static", "volatile", "const", "char", name, "[", "]", "=", init, ";"};
        break;
    case 11:
        tokens = {"const", "char", "*", "const", name, "=", init, ";"};
        break;
    default:
        tokens = {"static", "const", "char", name, "[", "]", "=", "{", init, "}", ";"};
        break;
    }
    if (has(MacroMenus) && chance(25)) {
        const int through = number(0, 2);
        tokens = through == 0
                ? QStringList {"const", "char", name, "[", "]", "PROGMEM_N1", "=", init, ";"}
                : through == 1 ? QStringList {"LSTR", name, "[", "]", "=", init, ";"}
                               : QStringList {"static", "PGM_P", "const", name, "=", init, ";"};
    }
    if (!tokens.contains(QStringLiteral("*")) && !tokens.contains(QStringLiteral("PGM_P")))
        m_arrays << name;
    out += join(tokens) + '\n';
}

void MenuSourceGenerator::writeDefinition(QString &out)
{
    if (has(Macros) && (!has(Constants) || chance(50))) {
        writeMacro(out);
    } else if (has(Constants)) {
        const QString name = QStringLiteral("kText%1_%2").arg(m_index).arg(m_counter++);
        defineConstant(out, name);
        m_constants << name;
    }
}

void MenuSourceGenerator::writeCode(QString &out)
{
    static const QStringList snippets = {
            "#include <stdint.h>\n",
            "#include <stddef.h>\n",
            "#include <stdbool.h>\n",
            "#include <string.h>\n",
            "#include <limits.h>\n",
            "static int helper@(int v)\n{\n    return v * 2 + ')';\n}\n",
            "static const char *fake@(void)\n{\n    return \"BEGIN_MENU(Fake) "
            "MENU_ITEM(\\\"no\\\", "
            "f) END_MENU(Fake, \\\"x\\\")\";\n}\n",
            "typedef struct {\n    const char *text;\n    int id;\n} Row@;\n",
            "enum { Count@ = 3, Last@ = Count@ - 1 };\n",
            "static const int table@[] = { 1, 2, '\"', '\\'' };\n",
            "extern void handler@(int);\n",
            "static char quote@ = '\"';\n",
            "#define MAX@(a, b) ((a) > (b) ? (a) : (b))\n",
            "#pragma once\n",
            "#pragma GCC diagnostic push\n#pragma GCC diagnostic pop\n",
            "#ident \"fw 1.0\"\n",
            "#\n",
            "#pragma pack(push, 1)\n#pragma pack(pop)\n",
            "#line @000000\n",
            "_Pragma(\"GCC diagnostic push\") _Pragma(\"GCC diagnostic pop\")\n",
            "struct Point@ { int x, y; };\nstatic struct Point@ origin@ = { 0, 0 };\n",
    };
    QString snippet = pick(snippets);
    // Each #line numbers beyond the last: every menu keeps a line of its own.
    if (snippet.startsWith(QLatin1String("#line")))
        snippet.replace(u'@', QString::number(++m_lineBase));
    out += snippet.replace(u'@', QString::number(m_counter++));
}

void MenuSourceGenerator::writeComment(QString &out)
{
    static const QStringList comments = {
            "/* it's \"quoted\" */\n",
            "// don't \"stop\n",
            "/* BEGIN_MENU(Ghost)\n    MENU_ITEM(\"boo\", f)\nEND_MENU(Ghost, \"x\") */\n",
            "// END_MENU(Ghost, \"x\")\n",
            "/*\n * Multi-line, with a * star and a ' quote\n */\n",
            "/* ) , \" */\n",
            "//\n",
    };
    if (has(Splices) && chance(20)) // a line comment that goes on past its line
        out += "// old: \\\nBEGIN_MENU(Ghost) MENU_ITEM(\"boo\", f) END_MENU(Ghost, \"x\")\n";
    else
        out += pick(comments);
}

void MenuSourceGenerator::writeItem(QString &out)
{
    if (has(MacroMenus) && chance(15)) {
        const int form = number(0, 2);
        out += "    "
                + (form == 0 ? QStringLiteral("X_BACK")
                           : form == 1
                           ? "X_ITEM(" + textExpression() + ")"
                           : "X_ITEMS(" + textExpression() + ", " + textExpression() + ")")
                + '\n';
        return;
    }
    QStringList tokens = {spliced("MENU_ITEM"), "("};
    if (has(Comments) && chance(20))
        tokens << comment(Context::Code);
    // A macro that writes an item, as an argument, writes none.
    const QString handler = has(MacroMenus) && chance(5) ? QStringLiteral("X_BACK")
            : has(Arguments)                             ? pick(handlerArguments)
                                                         : QStringLiteral("on%1").arg(m_counter++);
    tokens << textExpression() << "," << handler << ")";
    out += "    " + join(tokens);
    out += has(Comments) && chance(10) ? ' ' + pick(lineComments) : QStringLiteral("\n");
}

void MenuSourceGenerator::writeMenu(QString &out)
{
    const bool editable = chance(35);
    const QString name = QStringLiteral("Menu%1").arg(m_counter++);
    if (has(MacroMenus) && chance(10)) {
        // A whole menu one invocation writes, on one line.
        out += editable ? QStringLiteral("X_EMENU(%1, %2)\n").arg(name, textExpression())
                        : QStringLiteral("X_MENU(%1, %2, %3)\n")
                                  .arg(name, textExpression(), textExpression());
        ++m_menus;
        return;
    }
    out += join({spliced(editable ? "BEGIN_EDITABLE_MENU" : "BEGIN_MENU"), "(", spliced(name), ")"})
            + '\n';
    const int items = chance(5) ? 0 : number(1, 7);
    for (int i = 0; i < items; ++i) {
        if (has(Conditionals) && chance(8)) {
            out += directive(pick({"ifdef", "ifndef"})) + ' ' + configName() + '\n';
            writeItem(out);
            if (chance(50)) {
                out += directive("else") + '\n';
                writeItem(out);
            }
            out += directive("endif") + '\n';
            continue;
        }
        if (has(Macros) && m_nesting == 0 && chance(3)) // a branch would hide it from later menus
            writeMacro(out);
        if (has(Comments) && chance(5))
            writeComment(out);
        writeItem(out);
    }
    QStringList closing
            = {spliced(editable ? "END_EDITABLE_MENU" : "END_MENU"), "(", spliced(name), ","};
    if (has(Comments) && chance(20))
        closing << comment(Context::Code);
    closing << textExpression() << ")";
    out += join(closing) + '\n';
    ++m_menus;
}

// A menu being written, kept from the compiler.
void MenuSourceGenerator::writeDraft(QString &out)
{
    static const QStringList lines = {
            "BEGIN_MENU(Draft)",      "    MENU_ITEM(\"Unfinished, f)",
            "    MENU_ITEM(STR_1,",   "// don't",
            "END_MENU(Draft, \"Ti",   "#error not ready",
            "#define STR_1 \"dead\"", "    MENU_ITEM(\"Half\" STR_NONE, f)",
            "BEGIN_EDITABLE_MENU(",   "it's",
            "END_MENU(Other, \"x\")",
    };
    out += directive("if") + (chance(70) ? " 0" : " defined(NEVER_DEFINED) && 0") + '\n';
    for (int i = number(1, 5); i > 0; --i)
        out += pick(lines) + '\n';
    if (chance(40)) {
        out += directive("else") + '\n';
        ++m_nesting;
        writeMenu(out);
        --m_nesting;
    }
    out += directive("endif") + '\n';
}

QString MenuSourceGenerator::configName()
{
    return pick(configNames);
}

QString MenuSourceGenerator::condition(int depth)
{
    if (has(Predefined) && chance(15))
        return pick({"__GNUC__ >= 4", "defined(__x86_64__)", "__SIZEOF_POINTER__ == 8",
                     "__STDC_VERSION__ >= 201112L", "__CHAR_BIT__ == 8", "defined __linux__",
                     "__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__", "__COUNTER__ % 2",
                     "__LINE__ > 100", "__INCLUDE_LEVEL__ == 0", "defined(__AVR__)",
                     "__STDC_HOSTED__"});
    if (has(Directives) && chance(10))
        return pick({"__has_include(<stdint.h>)", "__has_include(\"no_such_header.h\")",
                     "__has_include(<no/such.h>)", "defined(__has_include)"});
    switch (depth >= 3 ? number(0, 4) : number(0, 9)) {
    case 0:
        return pick({"0", "1", "2", "0x10", "010", "3u", "42L"});
    case 1:
        return configName();
    case 2: {
        QString name = configName();
        if (has(Macros) && !m_macros.isEmpty() && chance(30)) {
            QStringList all = m_macros.keys();
            all.sort();
            name = pick(all);
        }
        const int form = number(0, 2);
        return form == 0    ? "defined " + name
                : form == 1 ? "defined(" + name + ')'
                            : "defined ( " + name + " )";
    }
    case 3:
        return pick({"'A'", "'0'", "'\\n'", "'\\x41'", "'\"'", "'\\''"});
    case 4:
        return configName() + ' ' + pick({"==", "!=", ">", ">=", "<", "<="}) + ' '
                + pick(configValues);
    case 5:
    case 6:
        return condition(depth + 1) + ' '
                + pick({"+", "-", "*", "==", "!=", "<", "<=", ">", ">=", "&&", "||", "&", "|", "^"})
                + ' ' + condition(depth + 1);
    case 7:
        return pick({"!", "-", "~"}) + '(' + condition(depth + 1) + ')';
    case 8:
        return '(' + condition(depth + 1) + " ? " + condition(depth + 1) + " : "
                + condition(depth + 1) + ')';
    default:
        return '(' + condition(depth + 1) + ')';
    }
}

void MenuSourceGenerator::writeConditional(QString &out, int depth)
{
    const int kind = number(0, 5);
    if (kind == 0) {
        writeDraft(out);
        return;
    }
    if (kind == 1 && depth == 0) {
        writeVariants(out);
        return;
    }
    if (kind == 2) { // the file's own word on a configuration name
        out += chance(50)
                ? directive("undef") + ' ' + configName() + '\n'
                : directive("define") + ' ' + configName() + ' ' + pick(configValues) + '\n';
        return;
    }
    const auto branch = [&] {
        const QScopedValueRollback<int> nested(m_nesting, m_nesting + 1);
        const int what = number(0, 5);
        if (what == 0)
            return;
        if (what == 1 && depth < 2) {
            writeConditional(out, depth + 1);
            return;
        }
        writeMenu(out);
        if (what == 2)
            writeMenu(out);
    };
    const int opening = number(0, 2);
    out += directive(opening == 0           ? "if"
                             : opening == 1 ? "ifdef"
                                            : "ifndef")
            + ' ' + (opening == 0 ? condition(0) : configName()) + '\n';
    branch();
    for (int i = number(0, 2); i > 0; --i) {
        if (has(Directives) && chance(30))
            out += directive(pick({"elifdef", "elifndef"})) + ' ' + configName() + '\n';
        else
            out += directive("elif") + ' ' + condition(0) + '\n';
        branch();
    }
    if (chance(50)) {
        out += directive("else") + '\n';
        branch();
    }
    out += directive("endif") + (has(Comments) && chance(20) ? " /* CFG */" : "") + '\n';
}

// One name defined on every path through a conditional, so it is known after it.
void MenuSourceGenerator::writeVariants(QString &out)
{
    const bool macro = has(Macros) && (!has(Constants) || chance(50));
    if (!macro && !has(Constants))
        return;
    const QString name = macro ? QStringLiteral("STR_%1").arg(m_counter++)
                               : QStringLiteral("kText%1_%2").arg(m_index).arg(m_counter++);
    Macro merged;
    const auto define = [&] {
        if (!macro) {
            defineConstant(out, name);
            return;
        }
        const Macro variant = defineMacro(out, name, pick({"2", "5", "6", "8"}).toInt());
        merged.refs += variant.refs;
        merged.chainable = merged.chainable && variant.chainable;
    };
    if (macro && chance(40)) { // a default that the command line may override
        if (chance(50))
            addOption("-D", name + "=\"" + pick(plainWords + richWords) + '"');
        out += directive("ifndef") + ' ' + name + '\n';
        define();
        out += directive("endif") + '\n';
    } else {
        out += directive("if") + ' ' + condition(0) + '\n';
        define();
        for (int i = number(0, 2); i > 0; --i) {
            out += directive("elif") + ' ' + condition(0) + '\n';
            define();
        }
        out += directive("else") + '\n';
        define();
        out += directive("endif") + '\n';
    }
    if (macro)
        m_macros[name] = merged;
    else
        m_constants << name;
}

// A header of definitions, beside the source (quotes) or in the include
// folder (quotes or angle brackets). One in the include folder includes only
// others there, where both spellings find them.
void MenuSourceGenerator::writeInclude(QString &out, int depth, bool fromIncludeFolder)
{
    const bool besideSource = !fromIncludeFolder && chance(40);
    const QString name = QStringLiteral("%1f%2_%3.h")
                                 .arg(!besideSource && chance(30) ? "sub/" : "")
                                 .arg(m_index)
                                 .arg(m_counter++);
    const bool pragmaOnce = chance(50);
    const QString guard = QStringLiteral("F%1_%2_H").arg(m_index).arg(m_counter++);
    QString text = pragmaOnce ? "#pragma once\n" : "#ifndef " + guard + "\n#define " + guard + '\n';
    for (int i = number(1, 4); i > 0; --i) {
        if (depth < 2 && chance(20))
            writeInclude(text, depth + 1, !besideSource);
        else
            writeDefinition(text);
    }
    if (has(Conditionals) && chance(30))
        writeVariants(text);
    if (!pragmaOnce)
        text += "#endif\n";
    m_headers << File {(besideSource ? "src/" : "inc/") + name, encode(text)};
    const QString spelling = !besideSource && chance(50) ? '<' + name + '>' : '"' + name + '"';
    if (has(Directives) && chance(40)) {
        // The header named by a macro: a language chosen by the build.
        const QString macro = QStringLiteral("INCLUDE_%1").arg(m_counter++);
        out += directive("define") + ' ' + macro + ' ' + spelling + '\n' + directive("include")
                + ' ' + macro + '\n';
    } else {
        out += directive("include") + ' ' + spelling + '\n';
    }
    if (chance(15)) // the guard makes it a no-op
        out += directive("include") + ' ' + spelling + '\n';
}

void MenuSourceGenerator::addOption(const QString &flag, const QString &value)
{
    if (chance(30))
        m_options << flag << value;
    else
        m_options << flag + value;
}

void MenuSourceGenerator::addOptions()
{
    for (const QString &name : configNames) {
        const int r = number(0, 5);
        if (r == 0)
            continue;
        if (r == 1)
            addOption("-U", name);
        else if (r == 2)
            addOption("-D", name);
        else
            addOption("-D", name + '=' + pick(configValues));
        if (chance(15)) // the later option wins
            addOption(r == 1 ? "-D" : "-U", name);
    }
}

QByteArray MenuSourceGenerator::encode(const QString &text)
{
    QString lines = text;
    if (has(LineEnds)) {
        const int style = number(0, 9);
        if (style >= 7)
            lines.replace(u'\n', u'\r');
        else if (style >= 4)
            lines.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    }
    QByteArray bytes = lines.toUtf8();
    if (has(LineEnds) && chance(20))
        bytes.prepend("\xEF\xBB\xBF");
    return bytes;
}

MenuSourceGenerator::Source MenuSourceGenerator::generate(int index, const QString &folder)
{
    const quint32 seeds[] = {m_seed, quint32(index)};
    m_rng = QRandomGenerator(seeds, 2);
    m_index = index;
    m_counter = 0;
    m_menus = 0;
    m_macros.clear();
    m_constants.clear();
    m_arrays.clear();
    m_headers.clear();
    m_options.clear();
    m_textFunctions.clear();
    m_lineBase = 0;
    if (has(Conditionals))
        addOptions();
    if (has(Includes))
        addOption("-I", folder + "/inc");

    QString out;
    if (has(Comments))
        out += QStringLiteral("/*\n * Menus of file %1: it's \"generated\".\n */\n").arg(index);
    writePrologue(out);
    for (int i = number(0, 4); i > 0; --i)
        writeDefinition(out);
    const int target = number(15, 45);
    while (m_menus < target) {
        const int r = number(0, 99);
        if (r < 50)
            writeMenu(out);
        else if (r < 68)
            writeDefinition(out);
        else if (r < 74 && has(Code))
            writeCode(out);
        else if (r >= 74 && r < 80 && has(Comments))
            writeComment(out);
        else if (r >= 80 && r < 92 && has(Conditionals))
            writeConditional(out, 0);
        else if (r >= 92 && has(Includes))
            writeInclude(out, 0, false);
    }
    writeEpilogue(out);
    Source source;
    source.main = {QStringLiteral("src/f%1.c").arg(index), encode(out)};
    source.headers = m_headers;
    source.options = m_options;
    source.textFunctions = m_textFunctions;
    return source;
}

bool MenuSourceGenerator::write(const Source &source, const QString &folder)
{
    for (const File &file : QList {source.main} + source.headers) {
        const QString path = folder + QLatin1Char('/') + file.path;
        QDir().mkpath(QFileInfo(path).path());
        QFile written(path);
        if (!written.open(QIODevice::WriteOnly) || written.write(file.bytes) != file.bytes.size())
            return false;
    }
    return true;
}

QString MenuSourceGenerator::randomInsertion(QRandomGenerator &rng, QStringView text)
{
    static const QStringList pieces {u"/*"_s,
                                     u"*/"_s,
                                     u"\""_s,
                                     u"'"_s,
                                     u"\\\n"_s,
                                     u"\r"_s,
                                     u"\n"_s,
                                     u"#if 0\n"_s,
                                     u"#endif\n"_s,
                                     u"#else\n"_s,
                                     u"#define "_s,
                                     u"#undef "_s,
                                     u"END_MENU("_s,
                                     u")"_s,
                                     u"BEGIN_MENU("_s,
                                     u"MENU_ITEM("_s,
                                     u"//"_s,
                                     u"R\"("_s,
                                     u")\""_s,
                                     u"x"_s,
                                     u"Ω"_s,
                                     u"#include \""_s,
                                     u"#pragma once\n"_s};
    if (rng.bounded(2) == 0)
        return pieces.at(rng.bounded(pieces.size()));
    return text.mid(rng.bounded(text.size() + 1), rng.bounded(60)).toString();
}

GeneratedSources::GeneratedSources(quint32 seed, const QString &constructNames, int count)
{
    bool known = false;
    MenuSourceGenerator generator(seed,
                                  MenuSourceGenerator::constructsFromNames(constructNames, &known));
    if (!known) {
        error = QStringLiteral("unknown construct in '%1'").arg(constructNames);
        return;
    }
    for (int index = 0; index < count && error.isEmpty(); ++index) {
        sources << generator.generate(index, folder.path());
        if (!folder.isValid() || !MenuSourceGenerator::write(sources.last(), folder.path()))
            error = QStringLiteral("cannot write source %1 under %2").arg(index).arg(folder.path());
    }
    if (!error.isEmpty())
        sources.clear();
}
