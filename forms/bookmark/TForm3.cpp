#include "forms/bookmark/TForm3.h"

#include "forms/main/TForm1.h"
#include "platform/look.h"
#include "platform/prompts.h"
#include "platform/settings_text.h"

#include <QCloseEvent>
#include <QKeyEvent>

using namespace orvasel;

TForm3* Form3 = nullptr;

TForm3::TForm3()
{
    setObjectName(QStringLiteral("Form3"));
    // No title-bar buttons at all: the name is confirmed with OK or Return. A dialog, though not a
    // modal one, so that the window system keeps it above the main window it belongs to.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
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
    // Closing the main window while a name is asked would save a folder without its name.
    Form1->installEventFilter(this);
}

bool TForm3::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        FormActivate(this);
    return QWidget::event(event);
}

bool TForm3::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Form1 && event->type() == QEvent::Close)
        Cancel();
    if (watched == Edit1 && event->type() == QEvent::KeyPress) {
        const auto* press = static_cast<QKeyEvent*>(event);
        int key = press->key();
        Edit1KeyDown(Edit1, key, press->modifiers());
    }
    return QWidget::eventFilter(watched, event);
}

void TForm3::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        Cancel();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TForm3::closeEvent(QCloseEvent* event)
{
    // OK hides the dialog without closing it: a close request always means leaving without a name.
    Cancel();
    QWidget::closeEvent(event);
}

void TForm3::Cancel()
{
    if (!isVisible())
        return;
    // The name list still shows the bookmark that was current before "+ Ajouter +".
    Form1->ComboBox1->DeleteItem(Form1->ComboBox1->count() - 1);
    Form1->ComboBox1->SetItemIndex(Form1->ComboBox2->ItemIndex());
    Form1->setEnabled(true);
    Edit1->clear();
    hide();
}

void TForm3::Button1Click(QObject*)
{
    QString name = Form1->Label2->Caption();
    // A single character does not count as a name.
    if (Edit1->text().size() >= 2)
        name = Edit1->text();
    const QString why = settings_text::whyNotStorable(name, QStringLiteral("EOF"));
    if (!why.isEmpty()) {
        prompts::message(this, QStringLiteral("Impossible de donner ce nom au signet : le nom %1.\n\n"
                                              "Choisissez un autre nom.").arg(why));
        return;
    }
    Form1->ComboBox2->AddItem(name);
    Form1->ComboBox2->SetItemIndex(Form1->ComboBox2->count() - 1);
    Form1->ComboBox1Change(this);
    Form1->setEnabled(true);
    Edit1->clear();
    hide();
}

void TForm3::FormActivate(QObject*)
{
    Form1->setEnabled(false);
}

void TForm3::Edit1KeyDown(QObject*, int& Key, Qt::KeyboardModifiers)
{
    // The main keyboard's Return and the keypad's Enter are one key to the user.
    if (Key == Qt::Key_Return || Key == Qt::Key_Enter)
        Button1Click(Edit1);
}
