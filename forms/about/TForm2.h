#pragma once
// The about box: a picture, a question to the users and the author's address.
#include "platform/label.h"

#include <QWidget>

class TForm2 : public QWidget {
    Q_OBJECT
public:
    TForm2();

    QLabel* Image1;
    orvasel::Label* Label1;
    orvasel::Label* Label2;
};

extern TForm2* Form2;
