// Quarter-wave sine table in Q14 (16384 = 1.0): entry k is sin(k degrees)
// x 16384 truncated toward zero, k = 0..90. Entry 1 holds 286 rather than
// 285, as the controller's table does, so that pictures match it exactly.
// Sines and cosines of other whole angles come from it by quadrant symmetry.
#pragma once
#include <cstdint>

namespace ledview {

inline constexpr int16_t SineTable[91] = {
    0,     286,   571,   857,   1142,  1427,  1712,  1996,  2280,  2563,  2845,  3126,  3406,
    3685,  3963,  4240,  4516,  4790,  5062,  5334,  5603,  5871,  6137,  6401,  6663,  6924,
    7182,  7438,  7691,  7943,  8191,  8438,  8682,  8923,  9161,  9397,  9630,  9860,  10086,
    10310, 10531, 10748, 10963, 11173, 11381, 11585, 11785, 11982, 12175, 12365, 12550, 12732,
    12910, 13084, 13254, 13420, 13582, 13740, 13894, 14043, 14188, 14329, 14466, 14598, 14725,
    14848, 14967, 15081, 15190, 15295, 15395, 15491, 15582, 15668, 15749, 15825, 15897, 15964,
    16025, 16082, 16135, 16182, 16224, 16261, 16294, 16321, 16344, 16361, 16374, 16381, 16384,
};

}  // namespace ledview
