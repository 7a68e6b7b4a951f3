// The run when Raadrups is found: its INI file in the folder above the
// start folder names the data folder, which the dialog offers.
#include "tests/e2e/installer_fixture.h"

namespace {

const char kFoundText[] =
    "Het programma Raadrups is gevonden in een andere map. De nieuwe series "
    "moeten in de data-map van Raadrups komen te staan. Wil je de series naar "
    "de onderstaande map verplaatsen? Klik op 'Blader' als de map toch onjuist is.";

class FoundRun : public InstallerRun {
protected:
    void SetUp() override
    {
        InstallerRun::SetUp();
        driver::WriteFile(root + "\\tolpen.ini", "[Tolpen]\r\nData=.\\data\r\n");
    }
};

TEST_F(FoundRun, OffersTheDataFolderAndOkMovesThere)
{
    AddSeries({"a.dat", "b.dat"});
    WriteList("a.dat\r\nb.dat\r\n");
    HWND hDlg = StartDialog();
    ASSERT_NE(hDlg, nullptr);
    EXPECT_EQ(driver::ItemText(hDlg, IDC_MESSAGE), kFoundText);
    EXPECT_EQ(driver::ItemText(hDlg, IDC_DATAPATH), data + "\\");
    driver::Press(hDlg, IDOK);
    EXPECT_EQ(AnswerMessageBox("Succes"), kSuccessText);
    ExpectCleanExit();
    ExpectInDataOnly("a.dat");
    ExpectInDataOnly("b.dat");
    ExpectListDeleted();
}

TEST_F(FoundRun, StartedInTheDataFolderItselfShowsNothingAndDeletesTheList)
{
    start = data;
    AddSeries({"a.dat"});
    WriteList("a.dat\r\n");
    ASSERT_TRUE(driver::Start(inst, driver::InstallerPath(), data));
    EXPECT_TRUE(driver::ShowsNothingFor(inst, driver::kWaitMs));
    ExpectCleanExit();
    std::string bytes;
    EXPECT_TRUE(driver::ReadFile(data + "\\a.dat", &bytes) && bytes == driver::SeriesBytes("a.dat"));
    ExpectListDeleted();
}

}  // namespace
