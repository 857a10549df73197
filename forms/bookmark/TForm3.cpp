#include "forms/bookmark/TForm3.h"

#include "platform/look.h"

#include <QCloseEvent>
#include <QKeyEvent>

using namespace orvasel;

TForm3* Form3 = nullptr;

TForm3::TForm3()
{
    setObjectName(QStringLiteral("Form3"));
    // No title-bar buttons at all: the name is confirmed with OK or Return.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowTitle(QStringLiteral("Définir un signet"));
    look::placeWindow(this, QPoint(223, 207), QSize(430, 145));
    look::useButtonFaceBackground(this);

    Label1 = new Label(QStringLiteral("Quel nom voulez-vous donner à ce signet ?"), this);
    Label1->move(24, 16);
    Edit1 = new QLineEdit(this);
    Edit1->setGeometry(24, 40, 377, 21);
    Edit1->setAccessibleName(QStringLiteral("Nom du signet"));
    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setGeometry(176, 72, 75, 25);
    Button1->setAutoDefault(false);
    Button1->setDefault(false);
    QWidget::setTabOrder(Edit1, Button1);

    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(Button1); });
    Edit1->installEventFilter(this);
}

bool TForm3::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        FormActivate(this);
    return QWidget::event(event);
}

void TForm3::keyPressEvent(QKeyEvent* event)
{
    QWidget::keyPressEvent(event);
}

void TForm3::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
}

void TForm3::Button1Click(QObject*) {}
void TForm3::FormActivate(QObject*) {}
void TForm3::Edit1KeyDown(QObject*, int&, Qt::KeyboardModifiers) {}
