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

namespace orvasel::bookmarks {

// Why the settings file could not keep this bookmark text (a folder or a name), as a French
// phrase that follows "le dossier" or "le nom"; empty when it can. `marker` is the line that ends
// the text's list in the file.
QString whyNotStorable(const QString& text, const QString& marker);

}  // namespace orvasel::bookmarks
