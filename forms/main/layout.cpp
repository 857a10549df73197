// The main window's controls at their places, and each event bound to its handler.
#include "forms/main/TForm1.h"

#include "platform/look.h"

#include <QApplication>
#include <QCloseEvent>
#include <QSessionManager>
#include <QKeyEvent>

using namespace orvasel;

TForm1* Form1 = nullptr;

namespace {

QPushButton* makeButton(const QString& caption, QWidget* parent, QRect geometry)
{
    auto* button = new QPushButton(caption, parent);
    button->setGeometry(geometry);
    return button;
}

}  // namespace

TForm1::TForm1()
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Orvasel"));
    look::placeWindow(this, QPoint(200, 128), QSize(787, 499));
    look::useWhiteBackground(this);
    createControls();
    bindEvents();
    setTabOrder();
    FormCreate(this);
}

void TForm1::createControls()
{
    ListBox2 = new ListBox(this);
    ListBox2->setGeometry(192, 96, 201, 361);
    look::setTextColour(ListBox2, look::kMaroon);
    look::setItemHeight(ListBox2, 13);
    ListBox2->setAccessibleName(QStringLiteral("Projets"));

    Memo1 = new Memo(this);
    Memo1->setGeometry(400, 128, 377, 289);
    Memo1->setFont(look::fixedPitchFont());
    // Tab leaves the note for the next control, as in the system's own multi-line fields.
    Memo1->setTabChangesFocus(true);
    Memo1->setAccessibleName(QStringLiteral("Note du projet"));

    Button2 = makeButton(QStringLiteral("Enregistrer"), this, {400, 96, 377, 25});
    Button2->setEnabled(false);
    Button3 = makeButton(QStringLiteral("Rafraichir"), this, {192, 8, 105, 25});
    Button3->setEnabled(false);
    Button4 = makeButton(QStringLiteral("Ouvrir dans Cubase"), this, {304, 8, 217, 25});
    QFont bold = Button4->font();
    bold.setBold(true);
    Button4->setFont(bold);
    look::setTextColour(Button4, look::kRed);
    Button4->setEnabled(false);

    GroupBox1 = new QGroupBox(QStringLiteral("Signets"), this);
    GroupBox1->setGeometry(192, 32, 585, 57);
    ComboBox1 = new ComboBox(GroupBox1);
    ComboBox1->setGeometry(320, 8, 241, 21);
    ComboBox1->setAccessibleName(QStringLiteral("Dossiers des signets"));
    ComboBox1->hide();
    Button5 = makeButton(QStringLiteral("+ Ajouter +"), GroupBox1, {16, 13, 75, 17});
    Button6 = makeButton(QStringLiteral("- Supprimer -"), GroupBox1, {16, 34, 75, 17});
    look::giveCaptionRoom(Button5);
    look::giveCaptionRoom(Button6);
    ComboBox2 = new ComboBox(GroupBox1);
    ComboBox2->setGeometry(96, 32, 481, 21);
    ComboBox2->setAccessibleName(QStringLiteral("Signets"));
    Label1 = new Label(QStringLiteral("Dossier en cours: "), GroupBox1);
    Label1->move(96, 13);
    // A screen reader reads the folder the label shows: it tells what the project list holds.
    Label2 = new Label(QString(), GroupBox1);
    Label2->move(184, 13);
    Label1->setBuddy(Label2);

    Button7 = makeButton(QStringLiteral("Infos"), this, {544, 8, 75, 25});

    DriveComboBox1 = new DriveComboBox(this);
    DriveComboBox1->setGeometry(2, 8, 185, 19);
    DriveComboBox1->setAccessibleName(QStringLiteral("Lecteur"));
    DirectoryListBox1 = new DirectoryListBox(this);
    DirectoryListBox1->setGeometry(2, 32, 185, 425);
    DirectoryListBox1->setAccessibleName(QStringLiteral("Dossiers"));

    Edit1 = new QLineEdit(this);
    Edit1->setGeometry(400, 436, 273, 21);
    Edit1->setAccessibleName(QStringLiteral("Exporté sous"));
    Button8 = makeButton(QStringLiteral("..."), this, {680, 436, 33, 21});
    Button8->setAccessibleName(QStringLiteral("Choisir l'export audio"));
    Button9 = makeButton(QStringLiteral("Play"), this, {720, 436, 49, 21});

    Image1 = look::picture(QStringLiteral(":/title_strip.bmp"), this, QRect(632, 0, 145, 38));
    Image1->setAccessibleName(QStringLiteral("Orvasel"));
    Label3 = new Label(QStringLiteral("Exporté sous :"), this);
    Label3->move(400, 420);
}

void TForm1::bindEvents()
{
    connect(ListBox2, &ListBox::Click, this, [this] { ListBox2Click(ListBox2); });
    connect(Memo1, &Memo::Enter, this, [this] { Memo1Enter(Memo1); });
    connect(Memo1, &Memo::KeyDown, this, [this](int key, Qt::KeyboardModifiers shift) {
        Memo1KeyDown(Memo1, key, shift);
    });
    connect(Memo1, &Memo::KeyUp, this, [this](int key, Qt::KeyboardModifiers shift) {
        Memo1KeyUp(Memo1, key, shift);
    });
    connect(Memo1, &Memo::Change, this, [this] { Memo1Change(Memo1); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(Button2); });
    connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(Button3); });
    connect(Button4, &QPushButton::clicked, this, [this] { Button4Click(Button4); });
    connect(ComboBox1, &ComboBox::Change, this, [this] { ComboBox1Change(ComboBox1); });
    connect(Button5, &QPushButton::clicked, this, [this] { Button5Click(Button5); });
    connect(Button6, &QPushButton::clicked, this, [this] { Button6Click(Button6); });
    connect(ComboBox2, &ComboBox::Change, this, [this] { ComboBox2Change(ComboBox2); });
    connect(Button7, &QPushButton::clicked, this, [this] { Button7Click(Button7); });
    connect(DriveComboBox1, &DriveComboBox::Change, this, [this] { DriveComboBox1Change(DriveComboBox1); });
    connect(DirectoryListBox1, &DirectoryListBox::Change, this, [this] { DirectoryListBox1Change(DirectoryListBox1); });
    connect(Edit1, &QLineEdit::textChanged, this, [this] { Edit1Change(Edit1); });
    connect(Button8, &QPushButton::clicked, this, [this] { Button8Click(Button8); });
    connect(Button9, &QPushButton::clicked, this, [this] { Button9Click(Button9); });
    connect(&DiskWatch1, &DiskWatch::FolderChange, this, [this] { DiskWatch1FolderChange(&DiskWatch1); });
    connect(&DiskWatch1, &DiskWatch::FileChange, this, [this] { DiskWatch1FileChange(&DiskWatch1); });
    DraftTimer1.setSingleShot(true);
    connect(&DraftTimer1, &QTimer::timeout, this, [this] { DraftTimer1Timer(&DraftTimer1); });
    // The session's end comes to the main window, which holds the note and the settings.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& manager) {
        if (!FormSessionEnd(manager.allowsInteraction()))
            manager.cancel();
        manager.release();
    });
}

void TForm1::setTabOrder()
{
    const QList<QWidget*> order{ListBox2, Memo1, Button2, Button3, Button4, ComboBox1, Button5, Button6,
                                ComboBox2, Button7, DriveComboBox1, DirectoryListBox1, Edit1, Button8,
                                Button9};
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(order.at(i), order.at(i + 1));
    for (QWidget* outside : {static_cast<QWidget*>(Image1), static_cast<QWidget*>(Label1),
                             static_cast<QWidget*>(Label2), static_cast<QWidget*>(Label3)})
        outside->setFocusPolicy(Qt::NoFocus);
}

void TForm1::closeEvent(QCloseEvent* event)
{
    bool canClose = true;
    FormCloseQuery(this, canClose);
    if (canClose)
        event->accept();
    else
        event->ignore();
}
