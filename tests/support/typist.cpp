#include "support/typist.h"

#include "app/application.h"
#include "forms/main/TForm1.h"
#include "forms/main/state.h"
#include "platform/drafts.h"
#include "platform/program.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace orvasel::testing {

int typeUntilKilled(int argc, char** argv)
{
    Application application(argc, argv);
    program::overrideProgramFolder(QString::fromLocal8Bit(argv[2]));
    drafts::overrideFolder(QString::fromLocal8Bit(argv[3]));
    const QString folder = QString::fromLocal8Bit(argv[4]);
    // The folder list starts elsewhere, so that opening the project's folder lists it.
    QDir::setCurrent(QString::fromLocal8Bit(argv[2]));
    CreateWindows();
    Form1->show();
    Form1->DirectoryListBox1->SetDirectory(folder);
    const int row = int(Form1->ListBox2->Items().indexOf(QString::fromLocal8Bit(argv[5])));
    if (row < 0)
        return 3;
    Form1->ListBox2->SetItemIndex(row);
    Form1->ListBox2Click(Form1->ListBox2);
    QFile log(QString::fromLocal8Bit(argv[6]));
    if (!log.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return 4;
    // The draft's own rhythm: a word is typed, then kept by the program at its moment.
    for (int word = 1; word <= 60; ++word) {
        const QByteArray typed = "mot" + QByteArray::number(word) + " ";
        Form1->Memo1->moveCursor(QTextCursor::End);
        QTest::keyClicks(Form1->Memo1, QString::fromLatin1(typed));
        const QString draftFile = drafts::fileFor(CurrentInfoPath);
        const bool kept = QTest::qWaitFor([&] {
            QFile draft(draftFile);
            return draft.open(QIODevice::ReadOnly) && draft.readAll().contains(typed);
        }, 5000);
        if (!kept)
            return 5;
        log.write(typed + "\n");
    }
    return 6;
}

}  // namespace orvasel::testing
