// Fuzzes the parameter store with random sequences of document edits, value
// edits, document closes, cursor moves and store syncs over three documents,
// against a model of what must survive: the values of every item that still
// exists in its document are never lost, and no operation touches another
// document's group (a value edit changes exactly its own key, a close only
// removes keys of the closed document, anything else changes nothing).
//
// Input: one operation per group of bytes; see the switch below.
#include "fuzzapp.h"
#include "fuzzinput.h"

#include "coreplugin/editormanager/editormanager.h"
#include "memorydocument.h"
#include "menuview/menuitems.h"
#include "simpleeditor.h"

#include <QMap>
#include <QSettings>

#include <memory>

namespace {

const char *const paths[] = {"/fw/a.c", "/fw/b.c", "/fw/a.c.bak"};
const char *const names[] = {"Main", "Setup", "a/b", "Main2", ""};
const char *const itemTexts[] = {"Speed %d", "Gain %.1f dB", "On/Off %d", "Name %s",
                                 "Exit",     "Mode %u",      "Speed %d ", "Ratio %d/%d"};
const char *const values[] = {"42", "", " 7 ", "2,5", "мотор", "a/b", "x\\y", "%s"};
constexpr int DocumentCount = 3;

enum class Kind { Good, Editable, BrokenItem, WrongClosingName, CommentedOut };

struct Block
{
    QString name;
    Kind kind;
    QStringList items;
    int line; // of the opening keyword, from 1
};

struct Document
{
    std::unique_ptr<VelkoMenuView::MemoryDocument> document;
    std::unique_ptr<VelkoMenuView::SimpleEditor> editor;
    QList<Block> blocks;
};

struct Host
{
    MenuItems items;
    Document documents[DocumentCount];
};

Host *host = nullptr;

class Input
{
public:
    Input(const uint8_t *data, size_t size)
        : m_data(data)
        , m_size(size)
    { }
    bool atEnd() const { return m_at >= m_size; }
    int next(int bound) { return m_at < m_size ? m_data[m_at++] % bound : 0; }

private:
    const uint8_t *m_data;
    size_t m_size;
    size_t m_at = 0;
};

QString groupKey(QString text)
{
    return text.replace(QLatin1Char('/'), QLatin1Char('\\'));
}

// The item's group in the model: the n-th item of one text (n from 2) keeps
// its values in a numbered group below the first one's.
QString itemGroup(const QStringList &items, int index)
{
    const QString key = groupKey(items.at(index));
    const int n = int(items.first(index + 1).count(items.at(index)));
    return n == 1 ? key : key + u'/' + QString::number(n);
}

QString documentKey(int d)
{
    return groupKey(QString::fromLatin1(paths[d]));
}

bool claims(const Block &block)
{
    return (block.kind == Kind::Good || block.kind == Kind::Editable
            || block.kind == Kind::CommentedOut)
            && !block.name.isEmpty();
}

QByteArray sourceOf(QList<Block> &blocks)
{
    QByteArray text = "#include \"menu.h\"\n";
    int line = 2;
    for (Block &block : blocks) {
        const QByteArray name = block.name.toUtf8();
        const bool editable = block.kind == Kind::Editable;
        QByteArray source
                = editable ? "BEGIN_EDITABLE_MENU(" + name + ")\n" : "BEGIN_MENU(" + name + ")\n";
        for (int i = 0; i < block.items.size(); ++i) {
            source += "    MENU_ITEM(\"" + block.items.at(i).toUtf8() + "\"";
            source += block.kind == Kind::BrokenItem && i == block.items.size() - 1 ? "\n" : ")\n";
        }
        const QByteArray closingName = block.kind == Kind::WrongClosingName ? name + "x" : name;
        source += editable ? "END_EDITABLE_MENU(" + closingName + ", \"T\")\n"
                           : "END_MENU(" + closingName + ", \"T\")\n";
        if (block.kind == Kind::CommentedOut)
            source = "/*\n" + source + "*/\n";
        block.line = line + (block.kind == Kind::CommentedOut ? 1 : 0);
        line += int(source.count('\n')) + 1;
        text += source + "int filler;\n";
    }
    return text;
}

QMap<QString, QString> snapshot()
{
    QSettings *store = host->items.settings();
    QMap<QString, QString> keys;
    for (const QString &key : store->allKeys())
        keys.insert(key, store->value(key).toString());
    return keys;
}

// The keys that differ between two snapshots.
QStringList changedKeys(const QMap<QString, QString> &before, const QMap<QString, QString> &after)
{
    QStringList changed;
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        if (!after.contains(it.key()) || after.value(it.key()) != it.value())
            changed << it.key();
    }
    for (auto it = after.cbegin(); it != after.cend(); ++it) {
        if (!before.contains(it.key()))
            changed << it.key();
    }
    return changed;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    startFuzzApplication();
    host = new Host;
    for (int d = 0; d < DocumentCount; ++d) {
        Document &doc = host->documents[d];
        doc.document.reset(new VelkoMenuView::MemoryDocument(QString::fromLatin1(paths[d])));
        doc.editor.reset(new VelkoMenuView::SimpleEditor(doc.document.get()));
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QSettings *store = host->items.settings();
    store->clear();
    store->setValue(QStringLiteral("Multiplier"), 2); // the pane's own option, never touched
    store->sync();
    for (Document &doc : host->documents) {
        doc.blocks.clear();
        doc.document->setContents(QByteArray());
    }
    Core::EditorManager::activateEditor(nullptr);
    // (document, menu, item key, "ParamN") -> value that must be in the store
    QMap<QString, QString> model;

    Input input(data, size);
    for (int step = 0; step < 64 && !input.atEnd(); ++step) {
        const int op = input.next(5);
        const int d = input.next(DocumentCount);
        Document &doc = host->documents[d];
        const QString docKey = documentKey(d);
        const QMap<QString, QString> before = snapshot();
        QString changedKey; // the one key a value edit may change

        switch (op) {
        case 0: { // rewrite the document
            doc.blocks.clear();
            const int blocks = input.next(4);
            for (int b = 0; b < blocks; ++b) {
                Block block;
                block.name = QString::fromUtf8(names[input.next(5)]);
                block.kind = Kind(input.next(5));
                const int items = input.next(5);
                for (int i = 0; i < items; ++i)
                    block.items << QString::fromUtf8(itemTexts[input.next(8)]);
                if (block.kind == Kind::BrokenItem && block.items.isEmpty())
                    block.kind = Kind::Good;
                doc.blocks << block;
            }
            doc.document->setContents(sourceOf(doc.blocks));
            break;
        }
        case 1: { // confirm a value for an item of a menu that parses
            if (doc.blocks.isEmpty())
                break;
            const Block &block = doc.blocks.at(input.next(int(doc.blocks.size())));
            if (block.kind != Kind::Good && block.kind != Kind::Editable)
                break;
            Core::EditorManager::activateEditor(doc.editor.get());
            doc.editor->setCursor(block.line, 1);
            QMetaObject::invokeMethod(&host->items, "onTimeout");
            const MenuDefinition &menu = host->items.menuDefinition();
            FUZZ_CHECK(host->items.isMenuValid() && menu.name == block.name
                       && menu.itemTexts == block.items);
            if (block.items.isEmpty())
                break;
            const int item = input.next(int(block.items.size()));
            const int param = input.next(3) + 1;
            const QString value = QString::fromUtf8(values[input.next(8)]);
            QMetaObject::invokeMethod(&host->items, "saveSettingsParam", Q_ARG(int, item),
                                      Q_ARG(int, param), Q_ARG(QString, value));
            if (block.name.isEmpty())
                break; // a menu without a name keeps its values in memory only
            changedKey = docKey + u'/' + block.name + u'/' + itemGroup(block.items, item)
                    + QStringLiteral("/Param") + QString::number(param);
            model.insert(changedKey, value);
            break;
        }
        case 2: { // close the document: values of items its text no longer has may go
            Core::EditorManager::closeDocument(doc.document.get());
            for (auto it = model.begin(); it != model.end();) {
                bool kept = !it.key().startsWith(docKey + u'/');
                for (const Block &block : std::as_const(doc.blocks)) {
                    for (int i = 0; i < block.items.size(); ++i) {
                        const QString prefix = docKey + u'/' + block.name + u'/'
                                + itemGroup(block.items, i) + QStringLiteral("/Param");
                        kept = kept || (claims(block) && it.key().startsWith(prefix));
                    }
                }
                it = kept ? std::next(it) : model.erase(it);
            }
            break;
        }
        case 3: // another editor or another cursor position
            Core::EditorManager::activateEditor(doc.editor.get());
            doc.editor->setCursor(input.next(40) - 4, input.next(30) - 4);
            QMetaObject::invokeMethod(&host->items, "onTimeout");
            break;
        default: // the store writes itself back and re-reads the file
            store->sync();
            FUZZ_CHECK(store->status() == QSettings::NoError);
            break;
        }

        const QMap<QString, QString> after = snapshot();
        const QStringList changed = changedKeys(before, after);
        for (const QString &key : changed) {
            // A value written stamps its item group with the time, and the
            // groups of texts alike but for slashes name the text each holds.
            const QString group = changedKey.left(changedKey.lastIndexOf(u'/') + 1);
            const qsizetype menuEnd = changedKey.indexOf(u'/', docKey.size() + 1);
            const bool sibling = key == group + QStringLiteral("Written")
                    || (menuEnd > 0 && key.startsWith(changedKey.left(menuEnd + 1))
                        && key.endsWith(QStringLiteral("/Text")));
            const bool allowed = (op == 1 && (key == changedKey || sibling))
                    || (op == 2 && key.startsWith(docKey + u'/') && !after.contains(key));
            if (!allowed)
                qFatal("operation %d on %s changed %s", op, paths[d], qPrintable(key));
        }
        for (auto it = model.cbegin(); it != model.cend(); ++it) {
            if (after.value(it.key(), QStringLiteral("<missing>")) != it.value())
                qFatal("value lost after operation %d on %s: %s", op, paths[d],
                       qPrintable(it.key()));
        }
    }
    return 0;
}
