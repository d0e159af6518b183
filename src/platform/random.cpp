#include "platform/random.h"

#include <chrono>

namespace {
int32_t state = 4660;

int32_t step() {
    // s <- s * 48271 mod (2^31 - 1), by Schrage's method.
    int32_t s = 48271 * (state % 44488) - 3399 * (state / 44488);
    if (s < 0) s += 0x7fffffff;
    state = s;
    return s;
}
}  // namespace

double rnd_real() {
    int32_t s1 = step();
    int32_t s2 = step();
    return ((double)(s1 & 0x1ffffffc) + (double)(s2 & 0x1ffffff8) / 134217728.0) / 536870912.0;
}

int rand_range(int a, int b) {
    int d = b - a;
    double r = rnd_real();
    if (d > 0) return a + (int)(r * (double)(d + 1));
    return b + (int)(r * (double)(1 - d));
}

void seed_rnd(int32_t seed) {
    int32_t s = seed & 0x7fffffff;
    if (s == 0 || s == 0x7fffffff) s = 4660;
    state = s;
}

int32_t rnd_state() { return state; }
void set_rnd_state(int32_t s) { state = s; }

int32_t millisecs() {
    using namespace std::chrono;
    auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    return (int32_t)(uint32_t)(uint64_t)ms;
}
