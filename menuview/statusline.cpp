// The status line's texts and the screen's picture.
#include "menuview/statusline.h"

#include "creader/compilecommands.h"
#include "menuview/analysis/devicescreen.h"
#include "menuview/analysis/parsemessages.h"
#include "menuview/files/menufilenames.h"
#include "menuview/menuitems.h"

#include <QAction>
#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QImageWriter>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QToolButton>
#include <QVBoxLayout>

namespace VelkoMenuView {

StatusLine::StatusLine(MenuItems *screen, QWidget *parent)
    : StatusLine(parent)
{
    setScreen(screen);
}

StatusLine::StatusLine(QWidget *parent)
    : QWidget(parent)
    , m_label(new QLabel(this))
    , m_variantLabel(new QLabel(this))
    , m_pictureButton(new QToolButton(this))
{
    setObjectName(QStringLiteral("statusLine"));
    m_label->setObjectName(QStringLiteral("statusLabel"));
    m_label->setWordWrap(true);
    m_label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_variantLabel->setObjectName(QStringLiteral("variantLabel"));
    // One line, cut with an ellipsis rather than broken at a "-D": the tool
    // tip has it all.
    m_variantLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_variantLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_pictureButton->setObjectName(QStringLiteral("pictureButton"));
    m_pictureButton->setPopupMode(QToolButton::InstantPopup);
    m_pictureButton->setAutoRaise(true);
    m_pictureButton->setText(tr("Изображение"));
    m_pictureButton->setToolTip(tr("Изображение экрана"));

    auto menu = new QMenu(m_pictureButton);
    QAction *copy = menu->addAction(tr("Копировать изображение"), this, &StatusLine::copyImage);
    copy->setObjectName(QStringLiteral("copyImageAction"));
    // Shown in the menu; it acts only in the menu, never on the editor's Ctrl+C.
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    QAction *save = menu->addAction(tr("Сохранить как PNG…"), this, &StatusLine::saveImageAs);
    save->setObjectName(QStringLiteral("saveImageAction"));
    m_pictureButton->setMenu(menu);

    auto texts = new QVBoxLayout;
    texts->setContentsMargins(0, 0, 0, 0);
    texts->addWidget(m_label);
    texts->addWidget(m_variantLabel);
    auto layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 2, 2);
    layout->addLayout(texts, 1);
    layout->addWidget(m_pictureButton, 0, Qt::AlignTop);
}

void StatusLine::setScreen(MenuItems *screen)
{
    m_screen = screen;
    // Ctrl+C on the focused screen copies its picture.
    auto copyScreen = new QAction(m_screen);
    copyScreen->setObjectName(QStringLiteral("copyScreenAction"));
    copyScreen->setShortcut(QKeySequence::Copy);
    copyScreen->setShortcutContext(Qt::WidgetShortcut);
    connect(copyScreen, &QAction::triggered, this, &StatusLine::copyImage);
    m_screen->addAction(copyScreen);
    m_screen->setFocusPolicy(Qt::StrongFocus);

    m_screen->status()->setMessageTexts(messageTexts());
    m_screen->status()->setNoteTexts(noteTexts());
    connect(m_screen->status(), &ScreenStatus::changed, this, &StatusLine::updateText);
    updateText();
}

ParseMessageTexts StatusLine::messageTexts()
{
    return {tr("нет закрывающего макроса: после %1 нет %2"),
            tr("не тот закрывающий макрос: %1 закрывает %2%3, а нужен %4"),
            tr("после %1 нет имени меню в скобках"),
            tr("после %1, закрывающего %2(%3)%4, нет «(» и «,»; нужно %1(%3, \"заголовок\")"),
            tr("несовпадение имён: %1(%2, ...) закрывает %3(%4)%5"),
            tr("незакрытый аргумент пункта: список аргументов MENU_ITEM не кончается до %1 "
               "(нет «)» или литерал не закрыт)"),
            tr("лишний закрывающий макрос: %1(%2, ...) не закрывает ни одного меню; перед ним нет "
               "открытого %3"),
            tr(" из %1:%2"),
            tr("определение меню не читается")};
}

ScreenStatus::NoteTexts StatusLine::noteTexts()
{
    ScreenStatus::NoteTexts t;
    TextMessageTexts &x = t.text;
    x.cannotRead = tr("%1 не читается: %2; %1 показывает %3");
    x.item = tr("текст пункта");
    x.title = tr("заголовок");
    x.emptyLine = tr("пустую строку");
    x.noTitle = tr("пустоту");
    x.escape = tr("escape-последовательность, которую компилятор не принимает");
    x.unterminated = tr("литерал не закрыт");
    x.notText = tr("предпросмотр читает строковые литералы, строковые константы, приведения типа, "
                   "&ИМЯ[0], ({ ... }), вычислимые условия и функции, объявленные возвращающими "
                   "свой аргумент, а здесь ни одно из них");
    x.undefined = tr("предпросмотр не находит до этого меню ни макроса, ни строковой константы "
                     "«%1»");
    x.prefixes = tr("у литералов разные префиксы, компилятор их не соединяет");
    x.tooLarge = tr("макросы раскрываются слишком глубоко или далеко для предпросмотра");
    x.call = tr("текст проходит через %1(), которую предпросмотр не может выполнить; если она "
                "возвращает свой аргумент, %2");
    x.notConstant = tr("«%1» — переменная, которую прошивка может изменить, а предпросмотр читает "
                       "только константы");
    x.arithmetic
            = tr("текст получается арифметикой указателей, за которой предпросмотр не следует");
    x.condition = tr("текст зависит от условия, которое предпросмотр не может вычислить");
    x.externOnly = tr("«%1» объявлена extern, а её определения нет ни в этом файле, ни в "
                      "подключённых заголовках");
    x.refused = tr("компилятор не принимает её макросы: %1");
    x.fromMacro = tr(" (из определения %1 в %2:%3)");
    x.fromPlace = tr(" (из %1:%2)");
    x.declareTextFunction = tr("добавьте %1 в настройку TextFunctions");
    x.missingHeaders = tr("; не найдены: %1");
    t.where = tr("Строка %1: %2");
    t.compilerNotFound = tr("Компилятор сборки %1 не найден: макросы компилятора взяты за "
                            "типичные для gcc");
    t.compilerNotAllowed = tr("Компилятор сборки %1 не запускается: его нет среди разрешённых "
                              "(%2); разрешите его в настройке QueryDriver, а пока макросы "
                              "компилятора взяты за типичные для gcc");
    t.compilerFailed = tr("Компилятор сборки %1 не назвал свои макросы (%2): они взяты за "
                          "типичные для gcc");
    return t;
}

void StatusLine::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    showVariant();
}

void StatusLine::showVariant()
{
    m_variantLabel->setText(m_variantLabel->fontMetrics().elidedText(
            m_variant, Qt::ElideRight, qMax(m_variantLabel->width(), 1)));
    m_variantLabel->setAccessibleName(m_variant);
}

void StatusLine::updateVariant()
{
    const BuildVariant &variant = m_screen->status()->variant();
    m_variantLabel->setVisible(m_screen->status()->state() != ScreenStatus::State::NoDocument);
    QStringList details;
    if (variant.database.isEmpty()) {
        m_variant = tr("без параметров сборки");
        details << tr("Ни одна база compile_commands.json не содержит записи для этого файла; "
                      "файл читается без параметров сборки.");
        if (!variant.places.isEmpty())
            details << tr("Где искали:") + QLatin1Char('\n')
                            + variant.places.join(QLatin1Char('\n'));
    } else {
        // A phrase to glance at: the variant's name and its first few macros.
        constexpr int ShownOptions = 3;
        QString phrase = tr("вариант: %1").arg(CompileCommands::variantName(variant.database));
        if (!variant.options.isEmpty()) {
            phrase += QStringLiteral(", ")
                    + variant.options.mid(0, ShownOptions).join(QLatin1Char(' '));
            if (variant.options.size() > ShownOptions)
                phrase += QStringLiteral(" …");
        }
        m_variant = phrase;
        details << tr("Параметры сборки из %1").arg(variant.database);
        if (!variant.ideConfiguration.isEmpty())
            details << tr("Конфигурация сборки IDE: %1, комплект %2")
                               .arg(variant.ideConfiguration, variant.ideKit);
        if (!variant.older.isEmpty())
            details << tr("Самая новая из %1 баз с записью для файла; более старые:")
                                    .arg(variant.older.size() + 1)
                            + QLatin1Char('\n') + variant.older.join(QLatin1Char('\n'));
        details << (variant.options.isEmpty()
                            ? tr("Макросов нет")
                            : tr("Макросы: %1").arg(variant.options.join(QLatin1Char(' '))));
    }
    if (!variant.ideFolder.isEmpty())
        details << tr("В папке сборки IDE %1 пока нет compile_commands.json с записью для файла.")
                           .arg(variant.ideFolder);
    m_variantLabel->setToolTip(details.join(QLatin1Char('\n')));
    showVariant();
}

void StatusLine::updateText()
{
    const ScreenStatus *status = m_screen->status();
    QString text;
    switch (status->state()) {
    case ScreenStatus::State::NoDocument:
        text = tr("Нет документа");
        break;
    case ScreenStatus::State::NoMenu:
        text = tr("Курсор не в меню");
        break;
    case ScreenStatus::State::Shown:
        if (status->inactiveGroupLine() > 0)
            text = tr("Меню %1, строки %2–%3; ветвь из строки %4 не входит в сборку")
                           .arg(status->menuName())
                           .arg(status->firstLine())
                           .arg(status->lastLine())
                           .arg(status->inactiveGroupLine());
        else
            text = tr("Меню %1, строки %2–%3")
                           .arg(status->menuName())
                           .arg(status->firstLine())
                           .arg(status->lastLine());
        break;
    case ScreenStatus::State::CannotRead:
        text = tr("Строка %1, столбец %2: %3")
                       .arg(status->firstLine())
                       .arg(status->column())
                       .arg(status->reason());
        break;
    case ScreenStatus::State::DocumentClosed: {
        const QString closed
                = status->closedDocument().isEmpty() ? tr("без имени") : status->closedDocument();
        if (status->keepsMenu())
            text = tr("Меню %1, строки %2–%3; документ %4 закрыт")
                           .arg(status->menuName())
                           .arg(status->firstLine())
                           .arg(status->lastLine())
                           .arg(closed);
        else
            text = tr("Документ %1 закрыт").arg(closed);
        break;
    }
    }
    if (status->state() == ScreenStatus::State::Shown
        && status->itemCount() > DeviceScreen::ItemsOnScreen) {
        // "из" takes the genitive: singular after 21, 31, ..., plural otherwise.
        const int items = status->itemCount();
        const bool singular = items % 10 == 1 && items % 100 != 11;
        text += (singular ? tr("; %1 из %2 пункта на экране") : tr("; %1 из %2 пунктов на экране"))
                        .arg(DeviceScreen::ItemsOnScreen)
                        .arg(items);
    }
    if (!status->note().isEmpty())
        text += QLatin1Char('\n') + status->note();
    if (!status->storeFailure().isEmpty())
        text += QLatin1Char('\n')
                + tr("Не удалось записать значения в %1").arg(status->storeFailure());
    m_label->setText(text);
    updateVariant();
    m_pictureButton->setEnabled(
            status->state() == ScreenStatus::State::Shown
            || (status->state() == ScreenStatus::State::DocumentClosed && status->keepsMenu()));
}

bool StatusLine::copyImage()
{
    const QImage image = m_screen->screenImage();
    if (image.isNull())
        return false;
    QGuiApplication::clipboard()->setImage(image);
    return true;
}

void StatusLine::saveImageAs()
{
    if (!m_screen->isMenuValid())
        return;
    const QString name = MenuFileNames().take(m_screen->menuDefinition().name);
    const QString path = QFileDialog::getSaveFileName(this, tr("Сохранить как PNG"),
                                                      name + QStringLiteral(".png"),
                                                      tr("Изображения PNG (*.png)"));
    // The menu may have gone while the dialog was open.
    const QImage image = m_screen->screenImage();
    if (path.isEmpty() || image.isNull())
        return;
    QImageWriter writer(path, "png");
    if (!writer.write(image))
        QMessageBox::warning(this, tr("Сохранить как PNG"),
                             tr("Не удалось записать %1: %2").arg(path, writer.errorString()));
}

} // namespace VelkoMenuView
