// A run in which the installer finds Raadrups and its dialog offers the
// data folder, on top of whatever run Base sets up.
#pragma once
#include "tests/e2e/installer_fixture.h"

inline constexpr char kFoundText[] =
    "Het programma Raadrups is gevonden in een andere map. De nieuwe series "
    "moeten in de data-map van Raadrups komen te staan. Wil je de series naar "
    "de onderstaande map verplaatsen? Klik op 'Blader' als de map toch onjuist is.";

template <class Base> class FoundRunOf : public Base {
protected:
    // Starts the installer, expects its dialog to say Raadrups was found
    // and to offer the data folder, presses "Ok" and expects the success
    // box and the program to end by itself.
    void OkOnTheFoundDataFolder(driver::Here here = {})
    {
        HWND hDlg = this->StartDialog(here);
        if (hDlg == nullptr)
            return;
        driver::Check(here, driver::Says(driver::ItemText(hDlg, IDC_MESSAGE), kFoundText));
        driver::Check(here, driver::Says(driver::ItemText(hDlg, IDC_DATAPATH), this->data + "\\"));
        driver::Press(hDlg, IDOK);
        driver::Check(here, driver::Says(this->AnswerMessageBox("Succes", nullptr, nullptr, here), kSuccessText));
        driver::Check(here, driver::EndsCleanly(this->inst));
    }
};
