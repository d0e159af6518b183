#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "aztec/levelrun.h"
#include "storage/settings.h"
#include "support/headless.h"

namespace {
std::string slurp(const std::string& path) {
    std::stringstream s;
    s << std::ifstream(path, std::ios::binary).rdbuf();
    return s.str();
}
}  // namespace

TEST(BestTimes, WrittenFreshPaddedAndReadBack) {
    userpath = temp_folder("besttimes");
    besttime[5] = 77;
    loadbesttimes(9999);
    EXPECT_EQ(besttime[5], -1);
    std::string fresh = slurp(userpath + "besttimes.ppp");
    ASSERT_EQ(fresh.size(), 3200u);

    besttime[1] = 0x01020304;
    besttimename[1] = "ANN";
    besttime[200] = 9;
    besttimename[200] = "TWELVELETTER";
    besttime[2] = 5;
    besttimename[2] = "FOURTEEN CHARS";  // cut to 12 so that the entries stay in place
    savebesttimes();
    std::string b = slurp(userpath + "besttimes.ppp");
    ASSERT_EQ(b.size(), 3200u);
    EXPECT_EQ(b.substr(0, 16), std::string("\x04\x03\x02\x01" "ANN         ", 16));
    EXPECT_EQ(b.substr(20, 12), "FOURTEEN CHA");
    EXPECT_EQ(b.substr(3188), "TWELVELETTER");

    loadbesttimes(0);
    EXPECT_EQ(besttime[1], 0x01020304);
    EXPECT_EQ(besttimename[1], "ANN");
    EXPECT_EQ(besttimename[200], "TWELVELETTER");
    EXPECT_EQ(besttime[3], -1);
    EXPECT_EQ(besttimename[3], "");

    // A short file keeps its whole entries; the others read as none.
    std::ofstream(userpath + "besttimes.ppp", std::ios::binary).write(b.data(), 40);
    testing::internal::CaptureStdout();
    loadbesttimes(0);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("is short (40 of 3200 bytes)"), std::string::npos) << out;
    EXPECT_EQ(besttime[2], 5);
    EXPECT_EQ(besttime[3], -1);
    EXPECT_EQ(besttime[200], -1);
}
