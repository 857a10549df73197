#include "support/window_test.h"

#include "app/application.h"
#include "platform/paths.h"
#include "platform/program.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

namespace orvasel::testing {

void WindowTest::SetUp()
{
    ASSERT_TRUE(programDir.isValid());
    ASSERT_TRUE(workDir.isValid());
    program::overrideProgramFolder(folderText(programDir.path()));
    prompts::install(&prompts);
    shell::install(&shell);
    // The folder list starts in the process's working folder.
    QDir::setCurrent(workDir.path());
}

void WindowTest::TearDown()
{
    stop();
    prompts::install(nullptr);
    shell::install(nullptr);
    program::overrideProgramFolder(QString());
}

void WindowTest::start()
{
    CreateWindows();
    Form1->show();
    QApplication::setActiveWindow(Form1);
    QApplication::processEvents();
}

void WindowTest::stop()
{
    if (Form1)
        DestroyWindows();
}

bool WindowTest::requestClose()
{
    const bool closed = Form1->close();
    QApplication::processEvents();
    return closed;
}

QString WindowTest::folderText(const QString& path)
{
    return QDir::toNativeSeparators(path) + paths::separator();
}

QString WindowTest::makeFolder(const QString& relative)
{
    const QString path = workDir.filePath(relative);
    EXPECT_TRUE(QDir().mkpath(path));
    return path;
}

void WindowTest::writeFile(const QString& path, const std::string& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    file.write(bytes.data(), qint64(bytes.size()));
}

std::string WindowTest::readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "<missing>";
    return file.readAll().toStdString();
}

bool WindowTest::exists(const QString& path)
{
    return QFileInfo::exists(path);
}

void WindowTest::openFolder(const QString& path)
{
    Form1->DirectoryListBox1->SetDirectory(path);
}

void WindowTest::selectProject(const QString& name)
{
    const auto items = Form1->ListBox2->findItems(name, Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1) << name.toStdString();
    const QRect place = Form1->ListBox2->visualItemRect(items.constFirst());
    QTest::mouseClick(Form1->ListBox2->viewport(), Qt::LeftButton, {}, place.center());
}

void WindowTest::click(QWidget* widget)
{
    QTest::mouseClick(widget, Qt::LeftButton);
}

void WindowTest::typeInNote(const QString& text)
{
    Form1->Memo1->setFocus();
    QTest::keyClicks(Form1->Memo1, text);
}

QString WindowTest::settingsPath() const
{
    return folderText(programDir.path()) + QStringLiteral("Orvasel.you");
}

}  // namespace orvasel::testing
