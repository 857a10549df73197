#include "platform/drive_combo_box.h"

#include "platform/drives.h"

#include <QDir>

namespace orvasel {

DriveComboBox::DriveComboBox(QWidget* parent) : QComboBox(parent)
{
    for (const QString& drive : drives::available())
        addItem(drive, drive);
    drive_ = drives::driveOf(QDir::toNativeSeparators(QDir::currentPath()));
    show(drive_);
    connect(this, &QComboBox::activated, this, [this](int index) { SetDrive(itemData(index).toString()); });
}

void DriveComboBox::show(const QString& drive)
{
    int index = findData(drive);
    if (index < 0) {
        addItem(drive, drive);
        index = count() - 1;
    }
    setCurrentIndex(index);
}

void DriveComboBox::SetDrive(const QString& drive)
{
    show(drive);
    if (drive == drive_)
        return;
    drive_ = drive;
    emit Change();
}

}  // namespace orvasel
