#include "platform/look.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFile>
#include <QFontDatabase>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPalette>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyleOption>
#include <QStyledItemDelegate>

namespace orvasel::look {
namespace {

// A usual sizeable frame at 96 dots per inch: 4 pixels of border, 26 of caption.
constexpr int kFrameWidth = 4;
constexpr int kCaptionHeight = 26;

class FixedHeightDelegate final : public QStyledItemDelegate {
public:
    FixedHeightDelegate(int height, QObject* parent) : QStyledItemDelegate(parent), height_(height) {}
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return {QStyledItemDelegate::sizeHint(option, index).width(), height_};
    }

private:
    int height_;
};

// The application's style, but a button's caption may use the whole height inside its border.
class CaptionRoomStyle final : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    QRect subElementRect(SubElement element, const QStyleOption* option, const QWidget* widget) const override
    {
        QRect room = QProxyStyle::subElementRect(element, option, widget);
        if (element == SE_PushButtonContents) {
            const int border = pixelMetric(PM_DefaultFrameWidth, option, widget);
            room.setTop(option->rect.top() + border);
            room.setBottom(option->rect.bottom() - border);
        }
        return room;
    }
    // As Qt's own, but with the room above: Qt's styles paint a button's caption in the room of
    // their own making.
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override
    {
        const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option);
        if (element != CE_PushButton || !button) {
            QProxyStyle::drawControl(element, option, painter, widget);
            return;
        }
        drawControl(CE_PushButtonBevel, button, painter, widget);
        QStyleOptionButton caption = *button;
        caption.rect = subElementRect(SE_PushButtonContents, button, widget);
        drawControl(CE_PushButtonLabel, &caption, painter, widget);
        if (button->state & State_HasFocus) {
            QStyleOptionFocusRect focus;
            focus.QStyleOption::operator=(*button);
            focus.rect = subElementRect(SE_PushButtonFocusRect, button, widget);
            drawPrimitive(PE_FrameFocusRect, &focus, painter, widget);
        }
    }
};

// Draws, at each paint, the version of its picture made for the screen's scale: a window moved to
// a screen of another scale keeps a sharp picture.
class ScaledPicture final : public QLabel {
public:
    ScaledPicture(const QString& resource, QWidget* parent) : QLabel(parent), resource_(resource)
    {
        // The 100 % picture gives the label its content for assistive technology and for size hints.
        setPixmap(QPixmap(resource));
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.drawPixmap(0, 0, pictureFor(devicePixelRatioF()));
    }

private:
    // The smallest picture made for at least this scale, else the largest there is.
    QPixmap pictureFor(qreal ratio)
    {
        if (ratio != shownRatio_) {
            shownRatio_ = ratio;
            shown_ = pixmap();
            const QString base = resource_.left(resource_.lastIndexOf(QLatin1Char('.')));
            for (const auto& [scale, suffix] : {std::pair{1.5, "@1.5x.png"}, std::pair{2.0, "@2x.png"}}) {
                const QString file = base + QLatin1String(suffix);
                if (ratio <= 1.0 || !QFile::exists(file))
                    break;
                shown_ = QPixmap(file);
                shown_.setDevicePixelRatio(scale);
                if (ratio <= scale)
                    break;
            }
        }
        return shown_;
    }

    QString resource_;
    qreal shownRatio_ = 0;
    QPixmap shown_;
};

}  // namespace

QFont defaultFont()
{
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Liberation Sans"),
                                QStringLiteral("Arimo"), QStringLiteral("DejaVu Sans")});
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

QFont fixedPitchFont()
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(11);
    font.setFixedPitch(true);
    return font;
}

void giveCaptionRoom(QPushButton* button)
{
    // A style of its own, made after the application's: the application's stays its own.
    auto* style = new CaptionRoomStyle(QApplication::style()->name());
    style->setParent(button);
    button->setStyle(style);
}

void placeWindow(QWidget* window, QPoint topLeft, QSize outerSize)
{
    window->resize(outerSize.width() - 2 * kFrameWidth, outerSize.height() - kCaptionHeight - kFrameWidth);
    window->move(topLeft);
}

void useWhiteBackground(QWidget* window)
{
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, Qt::white);
    window->setPalette(palette);
    window->setAutoFillBackground(true);
}

void useButtonFaceBackground(QWidget* window)
{
    window->setAutoFillBackground(true);
}

void setTextColour(QWidget* widget, const QColor& colour)
{
    // A disabled control keeps the system's greyed text, as any other does.
    QPalette palette = widget->palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
        for (const QPalette::ColorRole role : {QPalette::Text, QPalette::ButtonText, QPalette::WindowText})
            palette.setColor(group, role, colour);
    widget->setPalette(palette);
}

void setItemHeight(QAbstractItemView* view, int height)
{
    view->setItemDelegate(new FixedHeightDelegate(height, view));
}

QLabel* picture(const QString& resource, QWidget* parent, QRect box)
{
    auto* label = new ScaledPicture(resource, parent);
    label->setGeometry(box);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setScaledContents(false);
    return label;
}

QIcon programIcon()
{
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64}) {
        const QString file = size == 32 ? QStringLiteral(":/orvasel.png") : QStringLiteral(":/orvasel-%1.png").arg(size);
        if (QFile::exists(file))
            icon.addFile(file, QSize(size, size));
    }
    return icon;
}

}  // namespace orvasel::look
