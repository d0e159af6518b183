// Test fixture: a fresh user-data folder of the test's own (through XDG_DATA_HOME), every profile slot reset
// and no player chosen.
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/profiles.h"
#include "storage/settings.h"
#include "support/headless.h"

class UserFolderTest : public ::testing::Test {
protected:
    std::string home;
    void SetUp() override {
        home = temp_folder(::testing::UnitTest::GetInstance()->current_test_info()->name());
        setenv("XDG_DATA_HOME", home.c_str(), 1);
        testing::internal::CaptureStdout();
        makepath();
        testing::internal::GetCapturedStdout();
        for (int s = 0; s < PLAYERSLOTS; ++s) resetplayer(s);
        curplayer = -1;
    }
    void TearDown() override {
        unsetenv("XDG_DATA_HOME");
        curplayer = -1;
    }
};
