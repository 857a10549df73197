// Every caption shown whole: no button, label, group box or choice of any window, in any style the
// program may get, has a caption wider than the room its control's style gives it, nor letters
// that reach out of that room, which clips them. The build runs this test twice: at 100 %, and at
// 200 % (QT_SCALE_FACTOR=2), where the fonts are hinted at twice the size and a caption that only
// just fitted may no longer.
#include "support/window_test.h"

#include "forms/search/search_window.h"
#include "platform/prompts.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QStyleFactory>
#include <QStyleOption>
#include <QTest>
#include <QTimer>
#include <optional>

namespace orvasel::testing {
namespace {

// The style option the control paints itself with (Qt keeps the function that makes it protected).
template <typename Control, typename Option>
Option paintedWith(const Control* control)
{
    struct Opened : Control {
        using Control::initStyleOption;
    };
    Option option;
    (control->*&Opened::initStyleOption)(&option);
    return option;
}

struct Caption {
    QString text;
    QRect room;  // where the control's style draws it, and clips it
};

std::optional<Caption> captionOf(const QWidget* control)
{
    const auto caption = [](const QString& text, QRect room) -> std::optional<Caption> {
        if (text.isEmpty())
            return std::nullopt;
        return Caption{text, room};
    };
    QStyle* style = control->style();
    if (const auto* button = qobject_cast<const QPushButton*>(control)) {
        const auto option = paintedWith<QPushButton, QStyleOptionButton>(button);
        return caption(button->text(), style->subElementRect(QStyle::SE_PushButtonContents, &option, button));
    }
    if (const auto* choice = qobject_cast<const QRadioButton*>(control)) {
        const auto option = paintedWith<QRadioButton, QStyleOptionButton>(choice);
        return caption(choice->text(), style->subElementRect(QStyle::SE_RadioButtonContents, &option, choice));
    }
    if (const auto* box = qobject_cast<const QGroupBox*>(control)) {
        const auto option = paintedWith<QGroupBox, QStyleOptionGroupBox>(box);
        return caption(box->title(),
                       style->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box));
    }
    if (const auto* label = qobject_cast<const QLabel*>(control))
        return caption(label->text(), label->contentsRect());
    return std::nullopt;
}

// Every shown caption of the window and of the controls in it; the number checked. A caption is one
// line centred in its room (a label's may wrap): its advance must fit the room's width, and its ink
// the room's height, where the line puts it.
int expectWholeCaptions(const QWidget* window)
{
    int checked = 0;
    for (const QWidget* control : window->findChildren<const QWidget*>()) {
        const auto caption = control->isVisibleTo(window) ? captionOf(control) : std::nullopt;
        if (!caption)
            continue;
        ++checked;
        const QFontMetricsF metrics(control->font(), control);
        const QRectF room = caption->room;
        const QString where = window->windowTitle() + QStringLiteral(" in ") + QApplication::style()->name()
                              + QStringLiteral(" at ") + QString::number(window->devicePixelRatioF())
                              + QStringLiteral(": \"") + caption->text + QLatin1Char('"');
        if (const auto* label = qobject_cast<const QLabel*>(control)) {
            // A label's lines (a box's text may hold several, and wrap) in whole pixels, as it lays them out.
            const int wraps = label->wordWrap() ? Qt::TextWordWrap : 0;
            const QRect lines = control->fontMetrics().boundingRect(caption->room, wraps | Qt::TextShowMnemonic, caption->text);
            EXPECT_LE(lines.width(), caption->room.width()) << where.toStdString();
            EXPECT_LE(lines.height(), caption->room.height()) << where.toStdString();
            continue;
        }
        // Widths in whole pixels, as the controls lay their text out: the "&" of a shortcut takes no room.
        EXPECT_LE(control->fontMetrics().size(Qt::TextShowMnemonic, caption->text).width(), room.width())
            << where.toStdString();
        const qreal baseline = room.top() + (room.height() - metrics.height()) / 2 + metrics.ascent();
        const QRectF ink = metrics.tightBoundingRect(caption->text).translated(0, baseline);
        EXPECT_GE(ink.top(), room.top()) << where.toStdString();
        EXPECT_LE(ink.bottom(), room.bottom() + 1) << where.toStdString();
    }
    return checked;
}

using CaptionsTest = WindowTest;

TEST_F(CaptionsTest, EveryCaptionOfEveryWindowIsShownWholeInEveryStyle)
{
    const QString ownStyle = QApplication::style()->name();
    const auto restore = qScopeGuard([&] { QApplication::setStyle(ownStyle); });
    for (const QString& style : QStyleFactory::keys()) {
        QApplication::setStyle(style);
        start();
        openFolder(makeFolder("Mes projets"));
        EXPECT_EQ(expectWholeCaptions(Form1), 12);
        click(Form1->Button7);
        EXPECT_EQ(expectWholeCaptions(Form2), 2);
        click(Form1->Button5);
        ASSERT_TRUE(Form3->isVisible());
        EXPECT_EQ(expectWholeCaptions(Form3), 2);
        Form3->close();
        QTest::keyClick(Form1, Qt::Key_F, Qt::ControlModifier);
        const auto* search = Form1->findChild<SearchWindow*>();
        ASSERT_NE(search, nullptr);
        EXPECT_GE(expectWholeCaptions(search), 6);

        // The boxes and the file dialog the program really shows, checked once they are up.
        prompts::install(nullptr);
        int boxes = 0;
        const auto checkShownBox = [&] {
            EXPECT_TRUE(QTest::qWaitFor([] { return QApplication::activeModalWidget() != nullptr; }));
            if (auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                EXPECT_GE(expectWholeCaptions(box), 2) << box->metaObject()->className();
                ++boxes;
                box->reject();
            }
        };
        QTimer::singleShot(0, checkShownBox);
        prompts::confirm(Form1, QStringLiteral("Fermer Orvasel sans enregistrer?"), prompts::Choice::YesNo);
        QTimer::singleShot(0, checkShownBox);
        prompts::message(Form1, QStringLiteral("Impossible de donner ce nom au signet : le nom contient un saut de "
                                               "ligne.\n\nChoisissez un autre nom."));
        QTimer::singleShot(0, checkShownBox);
        prompts::current().openFile(Form1, {QStringLiteral("Où se trouve votre lecteur audio ?"),
                                            QStringLiteral("Programmes|*.exe"), QString()});
        EXPECT_EQ(boxes, 3);
        prompts::install(&prompts);
        stop();
    }
}

}  // namespace
}  // namespace orvasel::testing
