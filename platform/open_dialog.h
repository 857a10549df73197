#pragma once
// An open-file dialog that keeps its title, filter and last file name between uses, so that two
// users of one dialog each set what they need and leave the rest as the previous use left it.
#include <QString>

class QWidget;

namespace orvasel {

class OpenDialog {
public:
    QString Title;
    QString Filter;    // "description|pattern;pattern"
    QString FileName;  // the confirmed file, full path

    // Runs the dialog; true when the user confirmed a file, which is then in FileName.
    bool Execute(QWidget* owner);
};

// The locate-once step of an outside program: asks whether to locate it now (Yes or No) and, on
// Yes, runs the dialog with this use's own title and filter, since the dialog is shared. True when
// a file was confirmed, which is then in the dialog's FileName, and the settings file can keep
// its path; a path it cannot keep is told to the user and counts as no file.
bool locateProgram(QWidget* owner, OpenDialog& dialog, const QString& question, const QString& title,
                   const QString& filter);

}  // namespace orvasel
