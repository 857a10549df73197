#include "support/window_test.h"

#include "app/application.h"
#include "platform/drafts.h"
#include "platform/index_location.h"
#include "platform/paths.h"
#include "platform/program.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QWindow>

namespace orvasel::testing {

void WindowTest::SetUp()
{
    ASSERT_TRUE(programDir.isValid());
    ASSERT_TRUE(workDir.isValid());
    program::overrideProgramFolder(folderText(programDir.path()));
    drafts::overrideFolder(folderText(dataDir.path()));
    index_location::overrideIndexFile(programDir.filePath("projets.sqlite"));
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
    drafts::overrideFolder(QString());
    index_location::overrideIndexFile(QString());
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

namespace {

// The entry is known by the shortcut its text shows ("Co&ller\tCtrl+V"), whatever the language.
void trigger(QMenu* menu, QKeySequence::StandardKey action)
{
    const QString shortcut = QLatin1Char('\t') + QKeySequence(action).toString(QKeySequence::NativeText);
    const QList<QAction*> actions = menu->actions();
    const auto found = std::find_if(actions.cbegin(), actions.cend(),
                                    [&shortcut](const QAction* entry) { return entry->text().endsWith(shortcut); });
    ASSERT_NE(found, actions.cend()) << shortcut.toStdString();
    ASSERT_TRUE((*found)->isEnabled()) << shortcut.toStdString();
    (*found)->trigger();
    delete menu;
}

}  // namespace

void WindowTest::triggerMenuAction(QPlainTextEdit* control, QKeySequence::StandardKey action)
{
    trigger(control->createStandardContextMenu(), action);
}

void WindowTest::triggerMenuAction(QLineEdit* control, QKeySequence::StandardKey action)
{
    trigger(control->createStandardContextMenu(), action);
}

void WindowTest::dropText(QWidget* target, const QString& text)
{
    QMimeData data;
    data.setText(text);
    const QPointF place = QRectF(target->rect()).center();
    QDragEnterEvent enter(place.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(place, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(target, &drop);
    ASSERT_TRUE(drop.isAccepted()) << "the drop was refused";
}

QString WindowTest::settingsPath() const
{
    return folderText(programDir.path()) + QStringLiteral("Orvasel.you");
}

// Qt's platform windows on X11 and on Windows send the window system the window's title followed
// by the application's display name, when the program set one, unless the title already ends with
// it. The offscreen windows of the tests keep no title of their own, so the same rule is applied
// here to the title of the window's platform window.
QString WindowTest::shownTitle(const QWidget* window)
{
    const QWindow* platformWindow = window->windowHandle();
    if (!platformWindow || !window->isVisible())
        return QStringLiteral("<not shown>");
    // A display name that was never set follows the application name.
    const QString name = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName(name + QStringLiteral("?"));
    const QString displayName = QGuiApplication::applicationDisplayName();
    const bool displayNameSet = displayName != QCoreApplication::applicationName();
    QCoreApplication::setApplicationName(name);

    QString title = platformWindow->title();
    if (displayNameSet && !title.endsWith(displayName)) {
#ifdef _WIN32
        title += QStringLiteral(" - ") + displayName;
#else
        title += QStringLiteral(" \u2014 ") + displayName;
#endif
    }
    return title;
}

}  // namespace orvasel::testing
