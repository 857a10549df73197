// The note editor and the exported-audio field. (Being written.)
#include "forms/main/TForm1.h"

void TForm1::ListBox2Click(QObject*) {}
void TForm1::Button2Click(QObject*) {}
void TForm1::Memo1Enter(QObject*) {}
void TForm1::Memo1KeyDown(QObject*, int&, Qt::KeyboardModifiers) {}
void TForm1::Memo1KeyUp(QObject*, int&, Qt::KeyboardModifiers) {}
void TForm1::Edit1Change(QObject*) {}
void TForm1::Button8Click(QObject*) {}
void TForm1::EnterUnsavedState() {}
void TForm1::LeaveUnsavedState() {}
