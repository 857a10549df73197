#pragma once
// The drive picker. Its change event comes whenever its drive changes, by the user or the program.
#include <QComboBox>

namespace orvasel {

class DriveComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit DriveComboBox(QWidget* parent = nullptr);

    QString Drive() const { return drive_; }
    void SetDrive(const QString& drive);  // a drive the list does not hold is added first

signals:
    void Change();

private:
    void show(const QString& drive);

    QString drive_;
};

}  // namespace orvasel
