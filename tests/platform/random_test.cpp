#include <gtest/gtest.h>

#include <set>

#include "platform/random.h"

namespace {
// The generator written out directly in 64-bit arithmetic, to check the game's version against.
struct Reference {
    int64_t s;
    int64_t step() { return s = s * 48271 % 2147483647; }
    double real() {
        int64_t s1 = step(), s2 = step();
        return ((double)(s1 & 0x1ffffffc) + (double)(s2 & 0x1ffffff8) / 134217728.0) / 536870912.0;
    }
};
}  // namespace

TEST(Random, MatchesTheDefinitionStepByStep) {
    seed_rnd(12345);
    Reference ref{12345};
    for (int i = 0; i < 1000; ++i) {
        double r = ref.real();
        int d = 9 - 3;
        EXPECT_EQ(rand_range(3, 9), 3 + (int)(r * (d + 1))) << "draw " << i;
    }
}

TEST(Random, RangeInEitherOrderAndDegenerate) {
    seed_rnd(77);
    std::set<int> seen;
    for (int i = 0; i < 2000; ++i) {
        int v = rand_range(5, 1);
        ASSERT_GE(v, 1);
        ASSERT_LE(v, 5);
        seen.insert(v);
        ASSERT_EQ(rand_range(3, 3), 3);
    }
    EXPECT_EQ(seen.size(), 5u);
}

TEST(Random, ZeroAndAllOnesSeedsActAs4660) {
    seed_rnd(4660);
    int a[5];
    for (int& v : a) v = rand_range(0, 1000000);
    for (int32_t seed : {0, 0x7fffffff, (int32_t)0x80000000}) {
        seed_rnd(seed);
        for (int v : a) EXPECT_EQ(rand_range(0, 1000000), v) << "seed " << seed;
    }
}
