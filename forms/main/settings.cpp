// Settings and closing. (Being written: settings file load/save and the close question.)
#include "forms/main/TForm1.h"

void TForm1::FormCreate(QObject*)
{
    ComboBox1Change(this);
}

void TForm1::FormCloseQuery(QObject*, bool&) {}
void TForm1::LoadSettings() {}
void TForm1::SaveSettings() {}
