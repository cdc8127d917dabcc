// The two effect tables. An element's entry effect number selects its entry
// slot directly; exit slots are the exit effect number less one.
#include "effects/effects.h"

namespace ledview {

constinit const EffectFunction EntryEffects[kEntryEffectCount] = {
    Instant,               // 0
    VerticalBlinds,        // 1
    HorizontalBlinds,      // 2
    WipeRight,             // 3
    WipeLeft,              // 4
    WipeDown,              // 5
    WipeUp,                // 6
    RandomBlocks,          // 7
    SlideRight,            // 8
    SlideLeft,             // 9
    SlideDown,             // 10
    SlideUp,               // 11
    SlideDownRight,        // 12
    SlideUpRight,          // 13
    SlideUpLeft,           // 14
    SlideDownLeft,         // 15
    CombWipeHorizontal,    // 16
    CombWipeVertical,      // 17
    CombSlideHorizontal,   // 18
    CombSlideVertical,     // 19
    OpenFromMiddleRow,     // 20
    OpenFromMiddleColumn,  // 21
    CloseToMiddleRow,      // 22
    CloseToMiddleColumn,   // 23
    RotateIn,              // 24
    FlipIn,                // 25
    Instant,               // 26
    Instant,               // 27
    DotOverlay,            // 28
    Blink,                 // 29
    CheckerWipeRight,      // 30
    CheckerWipeDown,       // 31
    FanSweep,              // 32
    ShrinkToBottomLeft,    // 33
    ShrinkToTopLeft,       // 34
    ShrinkToTopRight,      // 35
    ShrinkToBottomRight,   // 36
    FramesInward,          // 37
    FramesOutward,         // 38
    DiamondOutward,        // 39
    CrossOutward,          // 40
    TwinSweep,             // 41
    ClockSweep,            // 42
    ClockSweepReverse,     // 43
    SpiralBox,             // 44
    ScrollThroughRight,    // 45
    ScrollThroughLeft,     // 46
    ScrollThroughDown,     // 47
    ScrollThroughUp,       // 48
    ScrollLoopRight,       // 49
    ScrollLoopLeft,        // 50
    ScrollLoopDown,        // 51
    ScrollLoopUp,          // 52
};

constinit const EffectFunction ExitEffects[kExitEffectCount] = {
    ClearInstant,           // 0
    EraseRight,             // 1
    EraseLeft,              // 2
    EraseDown,              // 3
    EraseUp,                // 4
    EraseFromMiddleColumn,  // 5
    EraseToMiddleColumn,    // 6
    EraseFromMiddleRow,     // 7
    EraseToMiddleRow,       // 8
};

}  // namespace ledview
