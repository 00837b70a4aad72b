// Random but valid firmware menu sources for the differential test against
// the C compiler: many menus per file, in the constructs a reader of C gets
// wrong. It knows nothing of what the texts come to; the compiler tells.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class MenuSourceGenerator
{
public:
    // Groups of constructs, so that a disagreement can be narrowed down to one.
    enum Construct : quint32 {
        Literals = 1 << 0, // Cyrillic, °, №, emoji, printf conversions, empty texts
        Adjacent = 1 << 1, // "a" "b"
        Comments = 1 << 2, // between and before literals, around tokens, with quotes inside
        Macros = 1 << 3, // object-like string macros, #undef, redefinitions, continued defines
        Constants = 1 << 4, // const char arrays and pointers, qualifiers and attributes
        Splices = 1 << 5, // backslash-newline between tokens, in literals and identifiers
        Prefixes = 1 << 6, // u8"x"
        Wide = 1 << 7, // L"x", u"x", U"x" read as bytes
        Escapes = 1 << 8, // simple, octal, hex, \u, \U, odd backslash runs
        Arguments = 1 << 9, // handler arguments with parentheses, commas and quotes
        LineEnds = 1 << 10, // CRLF or lone CR per file, a byte-order mark
        Code = 1 << 11, // functions, declarations, system headers, harmless directives
        Conditionals = 1 << 12, // #if chains with -D and -U options
        Includes = 1 << 13, // constants and macros from generated headers, -I folders
        ZeroBytes = 1 << 14, // between tokens, in directives and comments: white space to gcc
        Expansions = 1 << 15, // function-like wrappers, #, ##, variadic, __VA_OPT__, token soups
        Predefined = 1 << 16, // the compiler's own macros, __LINE__, __FILE__, __COUNTER__, #line
        Directives = 1 << 17, // computed includes, __has_include, #elifdef, _Pragma
        Expressions = 1 << 18, // casts, &NAME[0], ? :, statement expressions, text functions
        MacroMenus = 1 << 19, // items and whole menus a macro writes, attributes through macros
    };
    using Constructs = quint32;

    // A comma-separated list of group names; "default" and "all" stand for
    // those sets. *ok turns false on an unknown name.
    static Constructs constructsFromNames(const QString &names, bool *ok);
    static QStringList names(Constructs constructs);
    static Constructs defaultConstructs();

    struct File
    {
        QString path; // relative to the folder given to generate()
        QByteArray bytes;
    };

    struct Source
    {
        File main;
        QList<File> headers;
        QStringList options; // -D, -U and -I arguments, for the compiler and the reader alike
        QStringList textFunctions; // functions the source defines to return their argument
    };

    MenuSourceGenerator(quint32 seed, Constructs constructs);

    // Source number `index`; include folders lie under `folder`. The same
    // seed, constructs and index give the same source.
    Source generate(int index, const QString &folder);

    // Writes the source's files under `folder`; false when one cannot be written.
    static bool write(const Source &source, const QString &folder);
    // What a random edit of `text` inserts: a piece that changes how
    // everything after it reads, or a piece of the text itself.
    static QString randomInsertion(QRandomGenerator &rng, QStringView text);

private:
    enum class Context { Code, Directive };

    struct Macro
    {
        QStringList refs; // macros named in the body
        bool chainable = true; // the body is string literals only, so it joins others
        bool defined = true;
    };

    bool has(Construct construct) const { return m_constructs & construct; }
    bool chance(int percent);
    int number(int low, int high);
    QString pick(const QStringList &list);

    QString spliced(const QString &word);
    QString gap(Context context, bool required);
    QString comment(Context context);
    QString literalBody(int *utf8Bound);
    QString literal(const QString &prefix, int *utf8Bound);
    QString chain(Context context, bool macros, bool wide, int *utf8Bound,
                  QStringList *refs = nullptr);
    QString textExpression();
    QString expansionText();
    QString soup(int depth, bool commas = true);
    void writePrologue(QString &out);
    void writeEpilogue(QString &out);
    QString join(const QStringList &tokens);
    QString directive(const QString &name);
    bool expandable(const QString &name, bool chain, int depth) const;
    QStringList usableMacros(bool chain) const;

    Macro defineMacro(QString &out, const QString &name, int kind);
    void defineConstant(QString &out, const QString &name);
    void writeMacro(QString &out);
    void writeDefinition(QString &out);
    void writeCode(QString &out);
    void writeComment(QString &out);
    void writeMenu(QString &out);
    void writeDraft(QString &out);
    void writeItem(QString &out);
    void writeConditional(QString &out, int depth);
    void writeVariants(QString &out);
    void writeInclude(QString &out, int depth, bool fromIncludeFolder);
    QString condition(int depth);
    QString configName();
    void addOption(const QString &flag, const QString &value);
    void addOptions();
    QByteArray encode(const QString &text);

    QRandomGenerator m_rng;
    quint32 m_seed;
    Constructs m_constructs;

    // Per source.
    int m_index = 0;
    int m_counter = 0;
    int m_menus = 0;
    int m_nesting = 0; // conditional groups around what is written
    QHash<QString, Macro> m_macros;
    QStringList m_constants;
    QStringList m_arrays; // constants that are arrays, for &NAME[0]
    QList<File> m_headers;
    int m_lineBase = 0; // for #line: each one numbers beyond the last
    QStringList m_textFunctions;
    QStringList m_options;
};

// Sources 0 to count - 1 of the named constructs, written into a temporary
// folder of their own; none, and the reason in `error`, when a name is
// unknown or a file cannot be written.
struct GeneratedSources
{
    GeneratedSources(quint32 seed, const QString &constructNames, int count);

    QTemporaryDir folder;
    QList<MenuSourceGenerator::Source> sources;
    QString error;
};
