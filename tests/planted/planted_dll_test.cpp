// A DLL planted beside the installer, in the folder the user starts it
// from (their Downloads folder, say), is never loaded: not even one that a
// system DLL loads on demand while the dialog and the folder browser are
// open. Wine prefers its own uxtheme unless told, as Windows does, to take
// one found on the search path first.
#include "tests/e2e/installer_fixture.h"

namespace {

// Wine's DLL load order for the programs of one name started while it
// lives: Wine reads it from the prefix's registry when a program starts. (An
// environment variable set here would not reach them: Wine gives a program
// the one it was itself started with.)
class NativeFirst {
public:
    NativeFirst(const std::string &program, const char *pszDll)
        : app("Software\\Wine\\AppDefaults\\" + program), key(app + "\\DllOverrides")
    {
        HKEY hKey;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, NULL, 0, KEY_SET_VALUE, NULL, &hKey,
                            NULL) != ERROR_SUCCESS)
            return;
        static const char szOrder[] = "native,builtin";
        set = RegSetValueExA(hKey, pszDll, 0, REG_SZ, (const BYTE *)szOrder, sizeof(szOrder))
           == ERROR_SUCCESS;
        RegCloseKey(hKey);
    }
    ~NativeFirst()
    {
        RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, app.c_str());
    }
    bool set = false;

private:
    std::string app, key;
};

std::string MarkOf(const std::string &dll)
{
    std::string mark;
    return driver::ReadFile(dll + ".geladen", &mark) ? mark : "";
}

TEST_F(InstallerRun, UxthemeBesideTheInstallerIsNeverLoaded)
{
    const std::string planted = driver::ProgramFolder() + "planted\\uxtheme.dll";
    // The stand-in leaves its mark when it is loaded (under a name Wine has
    // no DLL of its own for).
    const std::string probe = root + "\\proef.dll";
    ASSERT_TRUE(CopyFileA(planted.c_str(), probe.c_str(), FALSE)) << planted;
    HMODULE hProbe = LoadLibraryA(probe.c_str());
    ASSERT_NE(hProbe, nullptr);
    FreeLibrary(hProbe);
    ASSERT_NE(MarkOf(probe), "") << "the stand-in leaves no mark";

    exe = StartPath("instrrse.exe");
    ASSERT_TRUE(CopyFileA(driver::InstallerPath().c_str(), exe.c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(planted.c_str(), StartPath("uxtheme.dll").c_str(), FALSE));
    AddSeries({"a.dat"});
    WriteList("a.dat\r\n");
    {
        NativeFirst order("instrrse.exe", "uxtheme");
        ASSERT_TRUE(order.set);
        EXPECT_EQ(InstallTo(data, "Succes"), kSuccessText);
    }
    EXPECT_EQ(MarkOf(StartPath("uxtheme.dll")), "") << "the planted uxtheme.dll was loaded";
    EXPECT_TRUE(InDataOnly("a.dat"));
    EXPECT_TRUE(ListDeleted());
}

}  // namespace
