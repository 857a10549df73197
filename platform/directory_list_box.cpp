#include "platform/directory_list_box.h"

#include "platform/drives.h"
#include "platform/paths.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStyle>

namespace orvasel {
namespace {

constexpr int kItemHeight = 16;
constexpr int kIndent = 2;  // spaces per level, in front of each entry

bool canOpen(const QString& folder)
{
    const QFileInfo info(folder);
    return info.isDir() && info.isExecutable() && info.isReadable();
}

}  // namespace

DirectoryListBox::DirectoryListBox(QWidget* parent) : QListWidget(parent)
{
    setUniformItemSizes(true);
    directory_ = paths::folderName(QDir::currentPath());
    lastVisited_.insert(Drive(), directory_);
    fill();
    connect(this, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        SetDirectory(item->data(Qt::UserRole).toString());
    });
}

QString DirectoryListBox::Drive() const
{
    return drives::driveOf(directory_);
}

void DirectoryListBox::SetDirectory(const QString& folder)
{
    if (folder.isEmpty())
        return;
    const QString target = paths::folderName(folder);
    if (target == directory_ || !canOpen(target))
        return;
    directory_ = target;
    lastVisited_.insert(Drive(), directory_);
    fill();
    emit Change();
}

void DirectoryListBox::SetDrive(const QString& drive)
{
    if (drive.isEmpty() || drive == Drive())
        return;
    const QString root = drives::rootOf(drive);
    const QString last = lastVisited_.value(drive, root);
    SetDirectory(canOpen(last) ? last : root);
}

void DirectoryListBox::fill()
{
    clear();
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    const auto add = [this](const QIcon& icon, int level, const QString& name, const QString& path) {
        auto* item = new QListWidgetItem(icon, QString(level * kIndent, QLatin1Char(' ')) + name, this);
        item->setData(Qt::UserRole, path);
        // Read aloud without the indent that draws the tree.
        item->setData(Qt::AccessibleTextRole, name);
        item->setSizeHint(QSize(0, kItemHeight));
    };

    // The path from the root down: "/", "home", "user"… each one opens its folder.
    const QString root = drives::rootOf(drives::driveOf(directory_));
    QString path = paths::folderName(root);
    add(open, 0, path, path);
    const QString rest = directory_.mid(path.size());
    int level = 1;
    for (const QString& part : rest.split(paths::separator(), Qt::SkipEmptyParts)) {
        path = path.endsWith(paths::separator()) ? path + part : path + paths::separator() + part;
        add(open, level++, part, path);
    }
    const int current = count() - 1;
    const QString prefix = directory_.endsWith(paths::separator()) ? directory_ : directory_ + paths::separator();
    const QStringList children = QDir(directory_).entryList(
        QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
    for (const QString& child : children)
        add(closed, level, child, prefix + child);
    setCurrentRow(current);
}

}  // namespace orvasel
