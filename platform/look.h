#pragma once
// The look the windows were designed with: fonts, colours, window frames and pictures.
#include <QColor>
#include <QFont>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

class QAbstractItemView;
class QLabel;
class QWidget;

namespace orvasel::look {

inline const QColor kMaroon{128, 0, 0};
inline const QColor kRed{255, 0, 0};

// "MS Sans Serif" at 8 points, with the closest faces of this system standing in for it.
QFont defaultFont();
// The note editor's font: the same size with a fixed pitch.
QFont fixedPitchFont();

// Places a window by its outer frame: top-left corner and outer size.
void placeWindow(QWidget* window, QPoint topLeft, QSize outerSize);
void useWhiteBackground(QWidget* window);
void useButtonFaceBackground(QWidget* window);
void setTextColour(QWidget* widget, const QColor& colour);
void setItemHeight(QAbstractItemView* view, int height);

// A picture drawn at its natural size from the top-left corner of its box, never scaled.
QLabel* picture(const QString& resource, QWidget* parent, QRect box);

}  // namespace orvasel::look
