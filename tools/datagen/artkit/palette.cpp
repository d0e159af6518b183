#include "palette.h"

namespace pal {
namespace {
const uint32_t body[10] = {0, 0xE9801E, 0x46A83A, 0x2F6CD6, 0xEDBB2C, 0x1EB9B0, 0xAEB7C2, 0xEEE8DC, 0x3B3450, 0x8E46CC};
const uint32_t light[10] = {0, 0xFFB347, 0x8CF06A, 0x6FB4FF, 0xFFE066, 0x5FF2E4, 0xE6EEF8, 0xFFFFFF, 0xB38CFF, 0xD08BFF};
const uint32_t dark[10] = {0, 0x7A3608, 0x1C5418, 0x142F6E, 0x8A5A06, 0x0B5A55, 0x4E5866, 0x9C8F78, 0x15111F, 0x431868};
}  // namespace
gen::Col stone(int k) { return gen::hex(body[k < 1 || k > 9 ? 7 : k]); }
gen::Col glow(int k) { return gen::hex(light[k < 1 || k > 9 ? 7 : k]); }
gen::Col deep(int k) { return gen::hex(dark[k < 1 || k > 9 ? 7 : k]); }
}  // namespace pal
