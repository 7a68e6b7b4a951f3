// Runs the real program search inside the test prefix, with the prefix's
// own Start menu and desktops. Each test starts from shell folders without
// shortcuts and leaves them so: what it made is removed in TearDown.
#pragma once
#include "tests/discovery/install_tree.h"
#include "tests/driver/expect.h"
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
        ASSERT_TRUE(ShellFoldersClean()) << "the prefix holds shortcuts from elsewhere";

        g_szIniPath[0] = '\0';
        g_szLinkPath[0] = '\0';
        g_szDataDir[0] = '\0';
        // No INI file above this start folder: only shortcuts can find one.
        ASSERT_TRUE(SetStartFolder("C:\\dtest\\uitgepakt\\series"));
    }

    void TearDown() override
    {
        EXPECT_TRUE(made.Remove()) << "something the test made stayed behind";
        EXPECT_TRUE(ShellFoldersClean());
        if (hwnd_ != NULL)
            DestroyWindow(hwnd_);
        CoUninitialize();
    }

    ::testing::AssertionResult ShellFoldersClean() const
    {
        for (const std::string &folder : {startMenu, commonDesktop, userDesktop})
            if (!tree::ListShortcuts(folder).empty())
                return ::testing::AssertionFailure() << "shortcuts in " << folder;
        if (GetFileAttributesA(raadrupsMenu.c_str()) != INVALID_FILE_ATTRIBUTES)
            return ::testing::AssertionFailure() << raadrupsMenu << " is there";
        return ::testing::AssertionSuccess();
    }

    // As GetCurrentDirectoryA gives it: no trailing backslash but for a root.
    static ::testing::AssertionResult SetStartFolder(const std::string &folder)
    {
        if (folder.size() >= MAX_PATH)
            return ::testing::AssertionFailure() << folder << " does not fit MAX_PATH";
        strcpy(g_szCurrentDir, folder.c_str());
        return ::testing::AssertionSuccess();
    }

    std::string Find()
    {
        FindTargetProgram(hwnd_);
        return g_szIniPath;
    }

    // Searches from this start folder and expects no shortcut examined:
    // every one examined would have been named in g_szLinkPath first.
    std::string FindWithoutShortcuts(const std::string &startFolder, driver::Here here = {})
    {
        if (!driver::Check(here, SetStartFolder(startFolder)))
            return "";
        lstrcpynA(g_szLinkPath, "onaangeroerd", sizeof(g_szLinkPath));
        std::string ini = Find();
        if (strcmp(g_szLinkPath, "onaangeroerd") != 0)
            ADD_FAILURE_AT(here.file, here.line) << "a shortcut was examined: " << g_szLinkPath;
        return ini;
    }

    HWND hwnd_ = NULL;
    tree::TreeBuilder made;
    std::string startMenu, commonDesktop, userDesktop, raadrupsMenu;
};
