#include "platform/look.h"

#include <QAbstractItemView>
#include <QFontDatabase>
#include <QLabel>
#include <QPalette>
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
    auto* label = new QLabel(parent);
    label->setGeometry(box);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setScaledContents(false);
    label->setPixmap(QPixmap(resource));
    return label;
}

}  // namespace orvasel::look
