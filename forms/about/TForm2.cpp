#include "forms/about/TForm2.h"

#include "platform/look.h"

using namespace orvasel;

TForm2* Form2 = nullptr;

TForm2::TForm2()
{
    setObjectName(QStringLiteral("Form2"));
    // A dialog with the ordinary sizeable frame and its buttons, not modal: the main window stays
    // usable beside it. The dialog type is what lets the window system keep it above its owner.
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint
                   | Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("Infos         -----  Orvasel  ----"));
    look::placeWindow(this, QPoint(198, 114), QSize(290, 288));
    look::useWhiteBackground(this);

    Image1 = look::picture(QStringLiteral(":/about.bmp"), this, QRect(0, 0, 281, 193));
    Image1->setAccessibleName(QStringLiteral("Orvasel 1.0"));
    Label1 = new Label(QStringLiteral("Des bugs?      Des Idées?"), this);
    Label1->move(72, 208);
    Label2 = new Label(QStringLiteral("contact@orvasel.fr"), this);
    Label2->move(96, 232);
    look::setTextColour(Label2, look::kMaroon);
    Label2->setTextInteractionFlags(Qt::TextSelectableByMouse);
}
