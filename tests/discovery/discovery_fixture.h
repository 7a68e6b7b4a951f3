// Runs the real program search inside the test prefix, with the prefix's
// own Start menu and desktops. Each test starts from shell folders without
// shortcuts and leaves them so: what it made is removed in TearDown.
#pragma once
#include "tests/discovery/install_tree.h"
#include "app/globals.h"
#include "discovery/discovery.h"
#include <gtest/gtest.h>
#include <shlobj.h>
#include <string.h>

class Discovery : public ::testing::Test {
protected:
    void SetUp() override
    {
        CoInitialize(NULL);
        hwnd_ = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10,
                                NULL, NULL, GetModuleHandleA(NULL), NULL);
        ASSERT_NE(hwnd_, nullptr);
        startMenu = tree::ShellFolder(CSIDL_COMMON_PROGRAMS);
        commonDesktop = tree::ShellFolder(CSIDL_COMMON_DESKTOPDIRECTORY);
        userDesktop = tree::ShellFolder(CSIDL_DESKTOPDIRECTORY);
        raadrupsMenu = startMenu + "\\Raadrups";
        ASSERT_FALSE(startMenu.empty());
        ASSERT_FALSE(commonDesktop.empty());
        ASSERT_FALSE(userDesktop.empty());
        ExpectShellFoldersClean();
        ASSERT_FALSE(HasFailure()) << "the prefix holds shortcuts from elsewhere";

        g_szIniPath[0] = '\0';
        g_szLinkPath[0] = '\0';
        g_szDataDir[0] = '\0';
        // No INI file above this start folder: only shortcuts can find one.
        SetStartFolder("C:\\dtest\\uitgepakt\\series");
    }

    void TearDown() override
    {
        EXPECT_TRUE(made.Remove()) << "something the test made stayed behind";
        ExpectShellFoldersClean();
        if (hwnd_ != NULL)
            DestroyWindow(hwnd_);
        CoUninitialize();
    }

    void ExpectShellFoldersClean()
    {
        EXPECT_TRUE(tree::ListShortcuts(startMenu).empty());
        EXPECT_TRUE(tree::ListShortcuts(commonDesktop).empty());
        EXPECT_TRUE(tree::ListShortcuts(userDesktop).empty());
        EXPECT_EQ(GetFileAttributesA(raadrupsMenu.c_str()), INVALID_FILE_ATTRIBUTES)
            << raadrupsMenu;
    }

    // As GetCurrentDirectoryA gives it: no trailing backslash but for a root.
    void SetStartFolder(const std::string &folder)
    {
        ASSERT_LT(folder.size(), (size_t)MAX_PATH);
        strcpy(g_szCurrentDir, folder.c_str());
    }

    std::string Find()
    {
        FindTargetProgram(hwnd_);
        return g_szIniPath;
    }

    // Searches from this start folder and expects no shortcut examined:
    // every one examined would have been named in g_szLinkPath first.
    std::string FindWithoutShortcuts(const std::string &startFolder)
    {
        SetStartFolder(startFolder);
        lstrcpynA(g_szLinkPath, "onaangeroerd", sizeof(g_szLinkPath));
        std::string ini = Find();
        EXPECT_STREQ(g_szLinkPath, "onaangeroerd") << "a shortcut was examined";
        return ini;
    }

    HWND hwnd_ = NULL;
    tree::TreeBuilder made;
    std::string startMenu, commonDesktop, userDesktop, raadrupsMenu;
};
