// Fuzzes MenuItems with an arbitrary document (any bytes, UTF-8 or not) and
// cursor: the edit re-analyses at once, the timer tick with the new cursor,
// then the screen is painted and read back against the device library. One
// view takes every input as an edit of the one before: what it shows must be
// what a reading of the text afresh shows.
//
// Input: line and column (2 bytes each, or 4 when byte 8 says so), the
// magnification, then the document.
#include "fuzzapp.h"
#include "fuzzinput.h"
#include "menuview/analysis/menukeywords.h"

#include "coreplugin/editormanager/editormanager.h"
#include "creader/linemap.h"
#include "devicegfx/gfx.h"
#include "memorydocument.h"
#include "menuview/analysis/menupreview.h"
#include "menuview/menuitems.h"
#include "simpleeditor.h"
#include "utils/filepath.h"

#include <QImage>

#include <cstring>

namespace {

struct Host
{
    MenuItems items;
    VelkoMenuView::MemoryDocument document {QStringLiteral("/fuzz/menu.c")};
    VelkoMenuView::SimpleEditor editor {&document};
};

Host *host = nullptr;

// Screen rows painted and compared; a longer menu is painted in full but
// only its top is read back.
constexpr int CheckedRows = 24;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    startFuzzApplication();
    host = new Host;
    host->items.setFixedTime(QTime(12, 34));
    Core::EditorManager::activateEditor(&host->editor);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 10)
        return 0;
    int32_t line, column;
    if (data[8] & 1) {
        std::memcpy(&line, data, 4);
        std::memcpy(&column, data + 4, 4);
    } else {
        line = int16_t(data[0] | data[1] << 8);
        column = int16_t(data[2] | data[3] << 8);
    }
    const int m = data[9] % 3 + 1;
    MenuItems &items = host->items;

    host->document.setContents(
            QByteArray(reinterpret_cast<const char *>(data + 10), qsizetype(size - 10)));
    host->editor.setCursor(line, column);
    QMetaObject::invokeMethod(&items, "onTimeout");

    const MenuDefinition &menu = items.menuDefinition();
    VelkoMenuView::ReadOptions context;
    context.path = host->document.filePath().toString();
    const QString text = QString::fromUtf8(host->document.contents()); // as the view decodes it
    VelkoMenuView::SourceReading afresh(text, VelkoMenuView::menuKeywords(), context);
    const VelkoMenuView::MenuPreview preview = VelkoMenuView::previewMenu(
            afresh, VelkoMenuView::LineMap(text).cursorOffset(line, column), {}, {});
    using Outcome = VelkoMenuView::MenuPreview::Outcome;
    if (preview.outcome != Outcome::Unsettled) {
        FUZZ_CHECK(items.isMenuValid() == (preview.outcome == Outcome::Shown));
        FUZZ_CHECK(!items.isMenuValid()
                   || (menu.name == preview.block.menu.name
                       && menu.title == preview.block.menu.title
                       && menu.itemTexts == preview.block.menu.itemTexts));
    }
    FUZZ_CHECK(items.rowCount() == (items.isMenuValid() ? menu.itemLines.size() + 1 : 0));
    if (!items.isMenuValid())
        return 0;
    FUZZ_CHECK(menu.itemLines.size() == menu.itemTexts.size());
    FUZZ_CHECK(menu.itemParams.size() == menu.itemTexts.size());
    FUZZ_CHECK(menu.paramValues.size() == menu.itemTexts.size());
    for (const QString &itemLine : menu.itemLines)
        FUZZ_CHECK(itemLine.size()
                   <= 127); // 127 bytes at most, each decoding to one character or none

    // Every item row on the widget is the device row the library draws.
    const int rows = qMin(items.rowCount(), CheckedRows);
    items.setMultiplier(m);
    items.resize(128 * m, 8 * m * rows);
    QImage image(items.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    items.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    for (int row = 1; row < rows; ++row) {
        gfxClear();
        gfxPrint(0, 0, "%s", menu.itemLines.at(row - 1).toUtf8().constData());
        for (int y = 0; y < 8; ++y) {
            for (int dy = 0; dy < m; ++dy) {
                const auto *pixels = reinterpret_cast<const QRgb *>(
                        image.constScanLine((row * 8 + y) * m + dy));
                for (int x = 0; x < 128 * m; ++x) {
                    const bool lit = gfxFrameBuffer[x / m] >> y & 1;
                    FUZZ_CHECK((pixels[x] == qRgb(0, 0, 0)) == lit);
                }
            }
        }
    }
    return 0;
}
