// Page writing. The filter's logic is the pure function menuMatches, which
// the page's script exports when run outside a browser, so that it can be
// tested on its own.
#include "menuview/review/gallerypage.h"

#include "menuview/analysis/devicescreen.h"

#include <QSet>

using namespace Qt::StringLiterals;
namespace VelkoMenuView {

namespace {

const char *const Style = R"css(
body { font: 15px/1.45 system-ui, sans-serif; margin: 0 auto; max-width: 84rem; padding: 0 1rem 3rem;
       color: #1d1d1f; background: #fff; }
a { color: #0b57d0; }
:focus-visible { outline: 3px solid #0b57d0; outline-offset: 2px; }
.skip { position: absolute; left: -100rem; }
.skip:focus { left: 1rem; top: 1rem; background: #fff; padding: .3rem .6rem; }
header { border-bottom: 1px solid #ddd; margin-bottom: 1rem; }
.filter { display: flex; flex-wrap: wrap; gap: .5rem 1.2rem; align-items: center; margin: .6rem 0 1rem; }
.filter input[type=search] { font: inherit; padding: .25rem .5rem; min-width: 18rem; }
nav ul { columns: 2 22rem; padding-left: 1.2rem; }
section.file { border-top: 1px solid #ddd; margin-top: 1.2rem; }
section.file > h2 { font-size: 1.1rem; font-family: ui-monospace, monospace; }
#changes > h2 { font-size: 1.1rem; }
article.menu { display: grid; grid-template-columns: minmax(17rem, max-content) 1fr; gap: .3rem 1.5rem;
               padding: .8rem 0; border-bottom: 1px dashed #e2e2e2; }
article.menu > header { grid-column: 1 / -1; border: 0; margin: 0; }
article.menu h3 { margin: 0; font-size: 1rem; }
.where { margin: 0; color: #555; }
.shots { display: flex; flex-wrap: wrap; gap: 1rem; align-items: flex-start; }
figure { margin: 0; }
figcaption { font-size: .85rem; color: #555; }
img { image-rendering: pixelated; display: block; border: 1px solid #ccc; }
.absent { color: #777; font-style: italic; max-width: 16rem; }
ul.findings { margin: 0; padding-left: 1.1rem; }
ul.findings li.error { color: #a50e0e; }
ul.findings li.warning { color: #7a4b00; }
ul.findings li.note { color: #333; }
.failure { color: #a50e0e; }
.kind { display: inline-block; font-size: .8rem; padding: 0 .4rem; border-radius: .3rem; margin-right: .4rem;
        background: #eee; text-transform: uppercase; letter-spacing: .03em; }
.kind.added { background: #d7f2dd; } .kind.removed { background: #fbdada; }
.kind.changed { background: #fdefc8; } .kind.moved { background: #dde7fb; }
details > summary { cursor: pointer; font-weight: 600; margin: 1.2rem 0 .5rem; }
[hidden] { display: none !important; }
)css";

// The filter: a menu shows when every word typed is in its name or texts,
// and, with the box ticked, its file has findings.
const char *const Script = R"js(
"use strict";
function menuMatches(menu, query, withFindings) {
  if (withFindings && !(menu.fileFindings > 0)) return false;
  const text = (menu.name + "\n" + menu.text).toLowerCase();
  return query.toLowerCase().split(/\s+/).filter(Boolean).every(function (word) {
    return text.indexOf(word) >= 0;
  });
}
if (typeof module !== "undefined") module.exports = { menuMatches: menuMatches };
if (typeof document !== "undefined") {
  const form = document.getElementById("filter");
  const query = document.getElementById("q");
  const withFindings = document.getElementById("withFindings");
  const count = document.getElementById("count");
  const menus = Array.prototype.slice.call(document.querySelectorAll("article.menu"));
  function apply() {
    let shown = 0;
    menus.forEach(function (article) {
      const visible = menuMatches({ name: article.dataset.name, text: article.dataset.text,
                                    fileFindings: Number(article.dataset.fileFindings) },
                                  query.value, withFindings.checked);
      article.hidden = !visible;
      if (visible) shown++;
    });
    document.querySelectorAll("section.file").forEach(function (section) {
      section.hidden = !section.querySelector("article.menu:not([hidden])");
    });
    count.textContent = shown + " of " + menus.length + " menus shown";
  }
  form.hidden = false;
  form.addEventListener("submit", function (event) { event.preventDefault(); });
  query.addEventListener("input", apply);
  withFindings.addEventListener("change", apply);
  document.addEventListener("keydown", function (event) {
    if (event.key === "/" && document.activeElement !== query) {
      event.preventDefault();
      query.focus();
    } else if (event.key === "Escape" && document.activeElement === query) {
      query.value = "";
      apply();
    }
  });
  apply();
}
)js";

// The order the changes are told in.
constexpr MenuChange::Kind Kinds[] = {MenuChange::Kind::Added, MenuChange::Kind::Removed,
                                      MenuChange::Kind::Changed, MenuChange::Kind::Moved};

QString esc(const QString &text)
{
    return text.toHtmlEscaped();
}

QString plural(qsizetype n, const char *one, const char *many)
{
    return QString::number(n) + u' ' + QLatin1String(n == 1 ? one : many);
}

QString image(const QString &png, const QImage &screen, int scale, const QString &alt,
              const QString &caption)
{
    QString html = u"<figure><img src=\"%1\" width=\"%2\" height=\"%3\" alt=\"%4\">"_s.arg(
            esc(png), QString::number(screen.width() * scale),
            QString::number(screen.height() * scale), esc(alt));
    if (!caption.isEmpty())
        html += u"<figcaption>%1</figcaption>"_s.arg(caption);
    return html + u"</figure>"_s;
}

QString findingsList(const QList<PlacedFinding> &findings)
{
    if (findings.isEmpty())
        return QString();
    QString html = u"<ul class=\"findings\">"_s;
    for (const PlacedFinding &finding : findings)
        html += u"<li class=\"%1\"><code>%2:%3:%4</code> %1: %5</li>"_s.arg(
                QString(severityName(finding.severity)), esc(finding.file),
                QString::number(finding.place.line), QString::number(finding.place.column),
                esc(finding.message));
    return html + u"</ul>"_s;
}

QString itemsNote(int items)
{
    const int fit = VelkoMenuView::DeviceScreen::ItemsOnScreen;
    if (items <= fit)
        return items == 0 ? u"no items"_s
                          : plural(items, "item", "items") + u", all on the screen"_s;
    return u"%1 items, %2 on the screen"_s.arg(items).arg(fit);
}

// A menu's findings in every variant, each told once.
QList<PlacedFinding> distinctFindings(const GalleryMenu &menu)
{
    QList<PlacedFinding> findings;
    QSet<QString> seen;
    for (const MenuShot &shot : menu.shots) {
        for (const PlacedFinding &finding : shot.findings) {
            const QString key = QString::number(finding.place.line) + u':'
                    + QString::number(finding.place.column) + u':' + finding.message;
            if (!seen.contains(key)) {
                seen.insert(key);
                findings << finding;
            }
        }
    }
    return findings;
}

class PageWriter
{
public:
    explicit PageWriter(const GalleryPage &page)
        : m_page(page)
    {
        for (const GalleryMenu &menu : page.after.menus)
            m_fileFindings[menu.file] += distinctFindings(menu).size();
        for (const FileNotes &notes : page.after.notes)
            m_fileFindings[notes.file] += notes.findings.size();
    }

    QString write();

private:
    QString articleStart(const GalleryMenu &menu, const QString &extraClass) const;
    QString menuArticle(const GalleryMenu &menu) const;
    QString changeArticle(qsizetype index) const;
    QString shotsOf(const Gallery &gallery, const GalleryMenu &menu, const QString &when) const;

    const GalleryPage &m_page;
    QHash<QString, qsizetype> m_fileFindings;
};

QString PageWriter::articleStart(const GalleryMenu &menu, const QString &extraClass) const
{
    return u"<article class=\"menu%1\" data-name=\"%2\" data-text=\"%3\" data-file-findings=\"%4\">"_s
            .arg(extraClass, esc(menu.name), esc(menu.text),
                 QString::number(m_fileFindings.value(menu.file)));
}

QString PageWriter::shotsOf(const Gallery &gallery, const GalleryMenu &menu,
                            const QString &when) const
{
    QString html = u"<div class=\"shots\">"_s;
    for (qsizetype v = 0; v < menu.shots.size(); ++v) {
        const MenuShot &shot = menu.shots.at(v);
        const QString variant = esc(gallery.variants.value(v));
        const QString caption = QStringList {when, variant}.join(u' ').trimmed();
        if (!shot.present) {
            html += u"<p class=\"absent\">%1: this variant has no menu %2 here</p>"_s.arg(
                    variant, esc(menu.name));
        } else if (!shot.failure.isEmpty() || shot.png.isEmpty()) {
            html += u"<p class=\"failure\">%1%2 the menu is not shown: %3</p>"_s.arg(
                    caption, caption.isEmpty() ? QString() : u":"_s, esc(shot.failure));
        } else {
            html += image(shot.png, shot.screen, m_page.scale,
                          u"Menu %1%2: title \"%3\", %4"_s.arg(
                                  menu.name,
                                  variant.isEmpty() ? QString() : u" ("_s + variant + u')',
                                  shot.title, itemsNote(shot.items)),
                          caption);
        }
    }
    return html + u"</div>"_s;
}

QString PageWriter::menuArticle(const GalleryMenu &menu) const
{
    const MenuShot *first = menu.firstShot();
    QString html = articleStart(menu, QString());
    const bool shown = first && first->failure.isEmpty();
    html += u"<header><h3>%1</h3><p class=\"where\"><code>%2:%3</code>%4</p></header>"_s.arg(
            menu.name.isEmpty() ? (shown ? u"(no name)"_s : u"(not read)"_s) : esc(menu.name),
            esc(menu.file), QString::number(first ? first->line : 0),
            shown ? u" · title “%1” · %2"_s.arg(esc(first->title), itemsNote(first->items))
                  : QString());
    html += shotsOf(m_page.after, menu, QString());
    html += u"<div>"_s + findingsList(distinctFindings(menu)) + u"</div>"_s;
    return html + u"</article>\n"_s;
}

QString PageWriter::changeArticle(qsizetype index) const
{
    const MenuChange &change = m_page.changes.at(index);
    const GalleryMenu *after = change.after >= 0 ? &m_page.after.menus.at(change.after) : nullptr;
    const GalleryMenu *before
            = change.before >= 0 ? &m_page.before.menus.at(change.before) : nullptr;
    const GalleryMenu &menu = after ? *after : *before;
    const QString kind = QString::fromLatin1(changeKindName(change.kind));
    QString html = articleStart(menu, u" change"_s);
    QString where;
    if (after && after->firstShot())
        where = u"<code>%1:%2</code>"_s.arg(esc(after->file)).arg(after->firstShot()->line);
    if (before && before->firstShot() && (!after || before->file != after->file))
        where += (where.isEmpty() ? u"was "_s : u" · was "_s)
                + u"<code>%1:%2</code>"_s.arg(esc(before->file)).arg(before->firstShot()->line);
    html += u"<header><h3><span class=\"kind %1\">%1</span>%2</h3><p class=\"where\">%3</p></header>"_s
                    .arg(kind, esc(menu.name), where);
    if (change.kind == MenuChange::Kind::Added
        || (change.kind == MenuChange::Kind::Moved && change.screens.isEmpty())) {
        html += shotsOf(m_page.after, *after, u"after"_s);
    } else if (change.kind == MenuChange::Kind::Removed) {
        html += shotsOf(m_page.before, *before, u"before"_s);
    } else {
        html += u"<div>"_s;
        for (qsizetype s = 0; s < change.screens.size(); ++s) {
            const ScreenChange &screen = change.screens.at(s);
            const GalleryPage::ChangePictures pictures
                    = m_page.changePictures.value(index).value(s);
            const QString variant = esc(screen.variant);
            const MenuShot was
                    = before->shots.value(m_page.before.variants.indexOf(screen.variant));
            const MenuShot is = after->shots.value(m_page.after.variants.indexOf(screen.variant));
            const auto side = [&](const QString &png, const MenuShot &shot, const QString &when) {
                return png.isEmpty()
                        ? u"<p class=\"absent\">%1 %2: not shown</p>"_s.arg(when, variant)
                        : image(png, shot.screen, m_page.scale,
                                u"%1 %2 %3"_s.arg(menu.name, when, variant),
                                (when + u' ' + variant).trimmed());
            };
            html += u"<div class=\"shots\">"_s;
            html += side(pictures.before, was, u"before"_s);
            html += side(pictures.after, is, u"after"_s);
            if (!pictures.mask.isEmpty())
                html += image(pictures.mask, screen.mask, m_page.scale,
                              u"%1: %2 pixels changed"_s.arg(menu.name).arg(screen.changedPixels),
                              u"%1 pixels changed: red lit now, blue unlit now"_s.arg(
                                      screen.changedPixels));
            html += u"</div>"_s;
        }
        html += u"</div>"_s;
    }
    return html + u"</article>\n"_s;
}

QString PageWriter::write()
{
    const Gallery &gallery = m_page.after;
    QStringList files;
    for (const GalleryMenu &menu : gallery.menus)
        files << menu.file;
    for (const FileNotes &notes : gallery.notes)
        files << notes.file;
    files.removeDuplicates();
    qsizetype findings = 0;
    for (const qsizetype count : m_fileFindings)
        findings += count;
    const bool comparing = !m_page.comparedWith.isEmpty();

    QString html = u"<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                   "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
                   "<title>Menus: velko-menu gallery</title>\n<style>"_s
            + QString::fromUtf8(Style) + u"</style>\n</head>\n<body>\n"_s;
    html += u"<a class=\"skip\" href=\"#menus\">Skip to the menus</a>\n<header>\n<h1>Menus</h1>\n"_s;
    QString summary = plural(gallery.menus.size(), "menu", "menus") + u" in "_s
            + plural(files.size(), "file", "files") + u" · "_s
            + plural(findings, "finding", "findings") + u" · the clock at "_s
            + m_page.clock.toString(u"HH:mm"_s);
    if (gallery.variants.size() > 1 || !gallery.variants.value(0).isEmpty())
        summary += u" · variants: "_s + esc(gallery.variants.join(u", "_s));
    html += u"<p>"_s + summary + u"</p>\n"_s;
    for (const QString &problem : gallery.unreadable)
        html += u"<p class=\"failure\">Not read: "_s + esc(problem) + u"</p>\n"_s;
    html += u"<form id=\"filter\" class=\"filter\" role=\"search\" hidden>\n"
            "<label for=\"q\">Filter</label> <input id=\"q\" type=\"search\" autocomplete=\"off\" "
            "placeholder=\"name or text (press /)\" aria-describedby=\"count\">\n"
            "<label><input id=\"withFindings\" type=\"checkbox\"> only files with "
            "findings</label>\n"
            "<span id=\"count\" role=\"status\" aria-live=\"polite\"></span>\n</form>\n</header>\n"_s;

    html += u"<nav aria-label=\"Files\"><h2>Files</h2><ul>\n"_s;
    for (qsizetype f = 0; f < files.size(); ++f) {
        qsizetype menus = 0;
        for (const GalleryMenu &menu : gallery.menus)
            menus += menu.file == files.at(f);
        html += u"<li><a href=\"#file-%1\">%2</a> %3, %4</li>\n"_s.arg(
                QString::number(f + 1), esc(files.at(f)), plural(menus, "menu", "menus"),
                plural(m_fileFindings.value(files.at(f)), "finding", "findings"));
    }
    html += u"</ul></nav>\n<main id=\"menus\">\n"_s;

    if (comparing) {
        QHash<MenuChange::Kind, int> counts;
        for (const MenuChange &change : m_page.changes)
            ++counts[change.kind];
        QStringList told;
        for (const MenuChange::Kind kind : Kinds)
            told << QString::number(counts.value(kind)) + u' '
                            + QLatin1String(changeKindName(kind));
        html += u"<section id=\"changes\" aria-labelledby=\"changes-title\">\n<h2 "
                u"id=\"changes-title\">"
                "Against %1: %2</h2>\n"_s.arg(esc(m_page.comparedWith), told.join(u", "_s));
        if (m_page.changes.isEmpty())
            html += u"<p>No menu changed.</p>\n"_s;
        for (const MenuChange::Kind kind : Kinds) {
            for (qsizetype i = 0; i < m_page.changes.size(); ++i) {
                if (m_page.changes.at(i).kind == kind)
                    html += changeArticle(i);
            }
        }
        html += u"</section>\n<details>\n<summary>The other menus (%1)</summary>\n"_s.arg(
                m_page.unchanged.size());
    }
    for (qsizetype f = 0; f < files.size(); ++f) {
        const QString &file = files.at(f);
        QString body;
        for (qsizetype i = 0; i < gallery.menus.size(); ++i) {
            if (gallery.menus.at(i).file == file && (!comparing || m_page.unchanged.contains(i)))
                body += menuArticle(gallery.menus.at(i));
        }
        for (const FileNotes &notes : gallery.notes) {
            if (notes.file == file)
                body += findingsList(notes.findings);
        }
        html += u"<section class=\"file\" id=\"file-%1\" aria-label=\"%2\">\n<h2>%2</h2>\n"_s.arg(
                        QString::number(f + 1), esc(file))
                + body + u"</section>\n"_s;
    }
    if (comparing)
        html += u"</details>\n"_s;
    html += u"</main>\n<script>"_s + QString::fromUtf8(Script) + u"</script>\n</body>\n</html>\n"_s;
    return html;
}

} // namespace

QByteArray galleryHtml(const GalleryPage &page)
{
    return PageWriter(page).write().toUtf8();
}

} // namespace VelkoMenuView
