// Help text. The option lines come from the option tables and the theme list
// from the theme table, so that neither can drift from what is parsed.
#include "usage.h"

#include "menuview/screen/theme.h"
#include "options.h"

using namespace Qt::StringLiterals;
namespace VelkoMenuView {

namespace {

// "{group}" lines stand for the option lines of the groups.
const char *const Text = R"usage(Usage: velko-menu render FILE:LINE[:COLUMN] [-o OUT.png] [--ascii]
                         [--scale 1|2|3] [--time HH:MM] [--theme NAME]
                         [--screen-edge] [--verbose] [BUILD]
       velko-menu render FILE --all -o DIR [--all-branches] [--verbose]
                         [--scale 1|2|3] [--time HH:MM] [--theme NAME]
                         [--screen-edge] [BUILD]
       velko-menu check FILE|DIR... [--werror] [--real-digits N]
                         [--format text|sarif|json] [--all-branches] [--verbose]
                         [BUILD]
       velko-menu gallery FILE|DIR... -o DIR [--variant NAME:OPTIONS]...
                         [--baseline DIR | --against REV] [--fail-on-change]
                         [--time HH:MM] [--all-branches] [BUILD]
       velko-menu lsp [--stdio] [BUILD]
       velko-menu --help | --version
BUILD: [-D NAME[=VALUE]]... [-U NAME]... [-I DIR]... [--compile-commands FILE]

Renders and checks the on-screen menus of VELKO-OS firmware sources with the
code of the Velko Menu View pane: its parser, item formatting and screen, the
device's 6x8 font, and the parameter values stored in the pane (per-user
settings of Ombrix/VelkoMenuView, keyed by the file's absolute path, the
menu's name and the item's text). Nothing is ever written to that store.

Files must be UTF-8 text; missing files, folders, binary files (control bytes
over one in eight of the first 4 KiB), files that are not UTF-8 and files over
64 MiB are refused. Zero bytes are white space, as to the compiler; check
warns at the first. Lines and columns count from
1; a column counts UTF-16 code units, as the editor's column does (one per
character, two for a character outside the Basic Multilingual Plane; a tab
is one).

The variant built: sources are read as the compiler reads them for the build,
conditional groups (#if, #ifdef, #elif, ...) decided and headers included.
The build's options come from a compile_commands.json (CMake writes one with
CMAKE_EXPORT_COMPILE_COMMANDS) in the file's folder or one of its parents, in
a build*/ folder of one of them, or in a sibling of one of them named
build-NAME-* after it (an IDE's build folder beside the source tree, such as
build-fw-Desktop-Debug for fw): the entry for the file, or failing that one
of a file in the same folder, gives -D, -U, -I, -iquote and -include. Where
several databases hold an entry, the one written last is taken; --verbose
says which.
{build}
  -D, -U and -I are taken after the database's, so they win. A header that
  is not found is skipped.

render FILE:LINE[:COLUMN]
  Draws the menu around that cursor position (COLUMN defaults to 1) exactly
  as the pane paints it: the inverted title row with its clock, then one row
  of 8 pixels per item.
{render}
  At least one of -o and --ascii is needed. No menu at the position, or a
  menu there that does not parse, is reported on standard error with exit
  status 1. A menu in a conditional group the build leaves out is drawn as if
  the group were taken, with a note on standard error.

render FILE --all -o DIR
  Writes one PNG per menu definition of FILE into DIR (created if missing)
  and prints the path of each. A file is named after its menu: letters,
  digits, '_' and '-' are kept, anything else becomes '_', an empty name
  becomes "menu", and a name met before (ignoring case) gets "-2", "-3", ...
{render --all}
  --scale, --time and --theme apply. Definitions that do not parse are
  reported on standard error and make the exit status 1; the others are
  still written. Only the menus the build compiles are written, unless
  --all-branches asks for those of the groups it leaves out too.

check FILE|DIR...
  Reports on standard output, one finding per line, file by file, sorted by
  position:
      FILE:LINE:COLUMN: error|warning|note: message
  A folder stands for the .c and .h files under it (hidden folders and links
  to folders left out), in order of their paths.
  Sources are read as the compiler reads them for the build (see above):
  keywords are whole identifiers of compiled code, and texts are literals,
  object-like macros and string constants as the compiler decodes them. Menus
  in conditional groups the build leaves out are checked only with
  --all-branches.
  Errors, at the keyword the parser stopped at:
    missing closing macro      no END_MENU / END_EDITABLE_MENU follows the
                               opening keyword before the next menu (at the
                               opening keyword)
    wrong closing macro        closed only by the other kind's keyword (at it)
    no name                    no "(name)" right after the opening keyword
    closing macro arguments    no "(" and "," after the closing keyword
    name mismatch              the closing macro names another menu
    unclosed item argument     a MENU_ITEM has no "(", or its argument list
                               does not end before the closing keyword (at
                               the MENU_ITEM)
    stray closing macro        an END_MENU / END_EDITABLE_MENU that closes no
                               menu (at it)
    escape out of range        a hex or octal escape beyond 8 bits: the
                               compiler keeps the low bits
    unterminated title         the title literal runs into the line's end
    closing macro not closed   no ")" after the title
  Warnings, for definitions that parse:
    empty name, empty title    "BEGIN_MENU()" keeps no values; "END_MENU(M, )"
                               shows only the clock
    title                      longer than 15 characters (no room for the
                               clock) or than 21 (cut); at the title argument
    text cannot be read        an item or title that is no literal, macro or
                               string constant defined before it (naming the
                               headers not found), an unterminated literal or
                               an escape the compiler refuses; it shows empty
    macro defined twice        defined again without #undef before the menu:
                               the last definition is used
    zero in the text           "Stop\0Hidden": the device shows "Stop"
    wide literal               L"", u"" or U"": the device reads the code
                               units' bytes, up to the first zero
    control escapes            \t, \n, \x01 and the like: the device drops them
    conversions                one that takes no value and is shown as
                               written (a letter other than d, u, f, s; a
                               "*" width; "%1$d"; a kind other than the
                               item's, whose first d, u, f or s decides it;
                               more than three reals or one string), or an
                               integer beyond the third, which the parameter
                               dialog cannot enter and which always shows 0
    item line overflow         the line as written, with the values stored
                               for it, takes more than the 21 cells of a row;
                               a string item's line is cut to 21 characters,
                               so for it the cut is reported instead
    possible overflow          the line fits as written, but its values at
                               their widest would not (see below); says how
                               many characters the values have room for
    missing glyph              a character the 6x8 font lacks, named by its
                               code point; the device skips it (at the
                               character where the source spells it out)
  Notes, which never make the exit status 1:
    items below the screen     the 64-pixel screen shows the title and 7
                               items at once (at the opening keyword)
  Item findings point at the item's MENU_ITEM; items are quoted as written.
  With --format sarif the findings go out as a SARIF 2.1.0 log for
  code-scanning services: one run, a rule with an id and help for every kind
  of finding, regions counted in UTF-16 code units, the #define a text comes
  from as a related location. With --format json: an array of objects with
  file, line, column, end (line, column), severity, ruleId and message.
{check}

  Widest values: %d 11 characters ("-2147483648"), %u 10, with hh 4 and 3,
  with h 6 and 5, with l, ll, j, z or t 20; a precision raises the digits and
  a width the total. %f: a sign, N integer digits (--real-digits), and a
  point with the precision's digits (6 by default, none for ".0"), so %.1f
  takes 13 and %f 18 by default. %s has no bound: a string item's line is cut
  to 21 characters, so only a line already cut, or text that leaves its
  string no room, is reported. A value never exceeds the device's 127-byte
  line buffer.

gallery FILE|DIR... -o DIR
  Writes DIR/index.html, one page with every menu of the files (folders as
  for check), file by file: a PNG of each at magnification 2 in the device's
  colours, the screen's lower edge marked as --screen-edge does, its title,
  place, items against the 7 the screen shows, and check's findings beside
  it; a filter box (name, text, files with findings). The page needs nothing
  beyond the folder and no script to be read. DIR/changes.json is its twin
  for machines. Menus are shown as written, without stored values, and the
  clock at 12:00, so that galleries compare. A progress line goes to
  standard error when it is a terminal.
{gallery}
  With --baseline or --against, the menus added, removed, changed and moved
  (a name that left one file for another) come first, the screens before and
  after side by side with the changed pixels marked, the rest folded; menus
  pair by file and name. --against reads the revision with git from PATH
  (ls-tree and cat-file only: nothing the repository configures runs) into
  a temporary folder, with the build options of the work tree's files.

lsp
  A language server for editors (Language Server Protocol 3.17, JSON-RPC
  with Content-Length framing on standard input and output). While a C file
  is open, the findings of check are published as diagnostics, at the same
  positions, when it opens and a moment after typing stops; hovering a menu
  shows its screen as a PNG and as text art.
{lsp}
  The build's options apply to every document; the client's
  initializationOptions add to them: {"defines": ["NAME=VALUE"], "undefines":
  ["NAME"], "includePaths": ["DIR"], "compileCommands": "FILE",
  "queryDriver": ["GLOB"], "textFunctions": ["NAME"]}. Headers open in the
  editor are read as they stand there.
  Nothing is ever written to the store of values. Messages are limited to
  64 MiB. The exit status is 0 after shutdown and exit, 1 otherwise.

Exit status:
  0  done; check found no errors (and, with --werror, no warnings)
  1  render: no menu at the position, or it does not parse; check: errors;
     gallery: a menu changed, with --fail-on-change
  2  bad arguments, or a file that cannot be read or written
)usage";

} // namespace

QString usageText()
{
    QString themesText;
    for (const Theme &theme : themes())
        themesText += u"      %1  %2\n"_s.arg(theme.name.leftJustified(15), theme.description);
    return QString::fromUtf8(Text)
            .replace(u"{build}\n"_s, optionHelp({OptionGroup::Build, OptionGroup::Branches}))
            .replace(u"{render}\n"_s, optionHelp({OptionGroup::Render}) + themesText)
            .replace(u"{render --all}\n"_s, optionHelp({OptionGroup::RenderAll}))
            .replace(u"{check}\n"_s, optionHelp({OptionGroup::Check}))
            .replace(u"{gallery}\n"_s, optionHelp({OptionGroup::Gallery}))
            .replace(u"{lsp}\n"_s, optionHelp({OptionGroup::Lsp}));
}

} // namespace VelkoMenuView
