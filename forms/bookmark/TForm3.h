#pragma once
// The bookmark-name dialog: asks the name of the folder just bookmarked.
#include "platform/label.h"

#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

class TForm3 : public QWidget {
    Q_OBJECT
public:
    TForm3();

    orvasel::Label* Label1;
    QLineEdit* Edit1;
    QPushButton* Button1;

    void Button1Click(QObject* Sender);
    void FormActivate(QObject* Sender);
    void Edit1KeyDown(QObject* Sender, int& Key, Qt::KeyboardModifiers Shift);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Leaving without OK: the pending folder is dropped and the main window given back.
    void Cancel();
};

extern TForm3* Form3;
