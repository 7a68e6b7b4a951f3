// The run when Raadrups is found: its INI file in the folder above the
// start folder names the data folder, which the dialog offers.
#include "tests/e2e/found_run.h"

namespace {

class FoundRun : public FoundRunOf<InstallerRun> {
protected:
    void SetUp() override
    {
        FoundRunOf<InstallerRun>::SetUp();
        driver::WriteFile(root + "\\tolpen.ini", "[Tolpen]\r\nData=.\\data\r\n");
    }
};

TEST_F(FoundRun, OffersTheDataFolderAndOkMovesThere)
{
    AddSeries({"a.dat", "b.dat"});
    WriteList("a.dat\r\nb.dat\r\n");
    OkOnTheFoundDataFolder();
    EXPECT_TRUE(InDataOnly("a.dat"));
    EXPECT_TRUE(InDataOnly("b.dat"));
    EXPECT_TRUE(ListDeleted());
}

TEST_F(FoundRun, StartedInTheDataFolderItselfShowsNothingAndDeletesTheList)
{
    start = data;
    AddSeries({"a.dat"});
    WriteList("a.dat\r\n");
    ASSERT_TRUE(driver::Start(inst, driver::InstallerPath(), data));
    EXPECT_TRUE(driver::ShowsNothingFor(inst, driver::kWaitMs));
    EXPECT_TRUE(driver::EndsCleanly(inst));
    EXPECT_TRUE(driver::HasBytes(data + "\\a.dat", driver::SeriesBytes("a.dat")));
    EXPECT_TRUE(ListDeleted());
}

}  // namespace
