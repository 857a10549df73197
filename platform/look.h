#pragma once
// The look the windows were designed with: fonts, colours, window frames and pictures.
#include <QColor>
#include <QFont>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

class QAbstractItemView;
class QIcon;
class QLabel;
class QPushButton;
class QWidget;

namespace orvasel::look {

inline const QColor kMaroon{128, 0, 0};
inline const QColor kRed{255, 0, 0};

// "MS Sans Serif" at 8 points, with the closest faces of this system standing in for it.
QFont defaultFont();
// The note editor's font: the same size with a fixed pitch.
QFont fixedPitchFont();

// Windows draws a button's caption anywhere inside the button's border; Qt's styles keep a margin
// of their own inside it, which leaves a button 17 pixels high less than a line of text, and
// clips the caption's descenders. Such a button gets the height inside its border for its caption.
void giveCaptionRoom(QPushButton* button);

// Places a window by its outer frame: top-left corner and outer size.
void placeWindow(QWidget* window, QPoint topLeft, QSize outerSize);
void useWhiteBackground(QWidget* window);
void useButtonFaceBackground(QWidget* window);
void setTextColour(QWidget* widget, const QColor& colour);
void setItemHeight(QAbstractItemView* view, int height);

// A picture drawn at its natural size from the top-left corner of its box, never scaled. On a
// screen set to 150 % or 200 %, the picture drawn for that scale is shown instead, when there is
// one: "<name>@1.5x.png" or "<name>@2x.png" beside the resource "<name>.<ext>".
QLabel* picture(const QString& resource, QWidget* parent, QRect box);

// The program's icon, in every size drawn for it.
QIcon programIcon();

}  // namespace orvasel::look
