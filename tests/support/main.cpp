#include "app/application.h"
#include "platform/file_io.h"
#include "platform/settings_location.h"
#include "support/typist.h"

#include <QFile>
#include <QThread>
#include <gtest/gtest.h>

namespace {

// Another copy of the program closing: it holds the settings file's lock while it reads, merges
// (slowly) and writes its own settings, then tells it has the lock by a file beside it.
//   --close-slowly <settings file> <settings to write> <milliseconds>
int closeSlowly(char** argv)
{
    const QString file = QString::fromLocal8Bit(argv[2]);
    orvasel::settings_location::WriteLock lock(file);
    if (!lock.take(0))
        return 3;
    QFile(file + ".held").open(QIODevice::WriteOnly);
    QThread::msleep(QByteArray(argv[4]).toULong());
    const QByteArray bytes = QByteArray(argv[3]).replace("|", "\r\n");
    return orvasel::file_io::writeFileAtomically(file.toStdString(), bytes.toStdString()).ok ? 0 : 4;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 5 && QByteArray(argv[1]) == "--close-slowly")
        return closeSlowly(argv);
    if (argc == 7 && QByteArray(argv[1]) == "--type") {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return orvasel::testing::typeUntilKilled(argc, argv);
    }
    // The windows are real but drawn nowhere.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    orvasel::Application application(argc, argv);
    return RUN_ALL_TESTS();
}
