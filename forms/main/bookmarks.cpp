// Bookmarks. (Being written.)
#include "forms/main/TForm1.h"

void TForm1::Button5Click(QObject*) {}
void TForm1::Button6Click(QObject*) {}
void TForm1::ComboBox2Change(QObject*) {}
