// Cubase and the audio player. (Being written.)
#include "forms/main/TForm1.h"

void TForm1::Button4Click(QObject*) {}
void TForm1::Button9Click(QObject*) {}
