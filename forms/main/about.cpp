// "Infos": the about box, one window shown modeless and brought back as it was left.
#include "forms/about/TForm2.h"
#include "forms/main/TForm1.h"

void TForm1::Button7Click(QObject*)
{
    Form2->show();
    Form2->raise();
    Form2->activateWindow();
}
