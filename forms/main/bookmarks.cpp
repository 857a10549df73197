// Bookmarks: adding, choosing and deleting them. ComboBox1 holds the folders and ComboBox2 the
// names, parallel by position; the current bookmark is the position selected in both.
#include "forms/bookmark/TForm3.h"
#include "forms/main/TForm1.h"

#include "platform/prompts.h"
#include "platform/settings_text.h"

using namespace orvasel;

void TForm1::Button5Click(QObject*)
{
    const QString folder = Label2->Caption();
    if (folder.isEmpty()) {
        prompts::message(this, QStringLiteral("Aucun dossier n'est affiché : ouvrez d'abord le dossier "
                                              "à ajouter aux signets."));
        return;
    }
    const QString why = settings_text::whyNotStorable(folder, QStringLiteral("SIG"));
    if (!why.isEmpty()) {
        prompts::message(this, QStringLiteral("Impossible d'ajouter ce signet : le dossier %1.").arg(why));
        return;
    }
    // Two folders differing only in letter case are two bookmarks.
    int matches = 0;
    for (const QString& bookmarked : ComboBox1->Items()) {
        if (QString::localeAwareCompare(folder, bookmarked) == 0) {
            prompts::message(this, QStringLiteral("Ce signet est déjà référencé!"));
            ++matches;
        }
    }
    if (matches > 0)
        return;
    ComboBox1->AddItem(folder);
    ComboBox1->SetItemIndex(ComboBox1->count() - 1);
    // Not modal: the dialog's OK completes the bookmark, its activation disables this window.
    Form3->show();
    Form3->activateWindow();
}

void TForm1::Button6Click(QObject*)
{
    if (prompts::confirm(this, QStringLiteral("Etes-vous sûr de vouloir supprimer ce signet?\n\n"),
                         prompts::Choice::YesNo) != prompts::Answer::Yes)
        return;
    // The bookmark before the deleted one becomes current; none before the first.
    const int before = ComboBox1->ItemIndex() - 1;
    ComboBox1->DeleteItem(ComboBox1->ItemIndex());
    ComboBox1->SetItemIndex(before);
    ComboBox2->DeleteItem(ComboBox2->ItemIndex());
    // Below 0 nothing is selected, so the deleted name no longer shows.
    ComboBox2->SetItemIndex(before);
    ComboBox2Change(this);
}

void TForm1::ComboBox2Change(QObject*)
{
    ComboBox1->SetItemIndex(ComboBox2->ItemIndex());
    ComboBox1Change(this);
}
