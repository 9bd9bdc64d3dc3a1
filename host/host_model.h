// What the simulator does with the module's key events, which variables start at other than 0,
// which tokens it publishes as integers, and which calculator expressions it answers from its
// variables. Each gauge that sends a new event adds its row here, so that "send only on a
// difference" converges in tests.
#pragma once
#include <cstddef>

#include "module/types.h"

enum class KeyAction : u8 {
    WindowOpen,    // value: window ident
    WindowClose,
    WindowToggle,
    SetToken,      // token = arg
    SetFromValue,  // token = event value
    SetFromSignedValue,  // token = event value read as a signed 32-bit number
    SetFromScaledValue,  // token = event value (signed 32-bit) * arg
    ToggleToken,   // token = token == 1 ? 0 : 1
    ToggleTokenTo,  // token = token == arg ? 0 : arg
    StepToken,     // token += arg
    SwapTokens,    // token and token number arg exchange their values
    BcdStep,       // the BCD digit of place value |arg| steps by the sign of arg, 0..9 with wrap
};

struct KeyRule {
    u32 event;
    KeyAction action;
    u32 token;
    f64 arg;
    // 0: takes effect at once; N: before the gauges of the Nth frame after the one it was sent
    // in (1: after that frame's gauges, which all read the value as it was)
    u32 latency_frames;
};

struct TokenStart {
    u32 token;
    f64 value;
};

struct CalcRule {
    const char* expr;
    u32 token;  // answered from this host variable
};

// Host variables with no token of the simulator's own, kept under ids that no token uses so
// that scripts can set and read them ("set token 4001 3" makes it night).
constexpr u32 kHostTimeOfDayToken = 4001;          // (E:TIME OF DAY,Enum): 3 is night
constexpr u32 kHostPanelLightRedrawsToken = 4002;  // counts the panel-lighting redraw requests
constexpr u32 kHostCompassShownToken = 4003;      // the host's compass window: 1 shown
constexpr u32 kHostExitPercentToken = 4004;       // (A:Exit open:1,percent): 0 closed, 100 open
constexpr u32 kHostTotalWeightLbToken = 4005;     // (A:TOTAL WEIGHT, Pound)
constexpr u32 kHostTotalWeightKgToken = 4006;     // (A:TOTAL WEIGHT, kilogram)

constexpr u32 kHostTakeoffSetupsToken = 4010;   // counts EASY START's take-off set-up events
constexpr u32 kHostApuEvent102b0Token = 4011;  // last value of the engines-autostart APU event
constexpr u32 kHostAdf1FrequencyToken = 4020;  // ADF 1 active frequency, kHz ("set calc" overrides)
constexpr u32 kHostAdf2FrequencyToken = 4021;  // ADF 2 active frequency, kHz ("set calc" overrides)
constexpr u32 kHostAdf2RadialToken = 4022;     // (A:ADF Radial:2,radians)

// A BCD word with the digit of place value |step| (1, 16, 256 or 4096) moved one up or down by
// the sign of step, wrapping within 0..9; a digit above 9 steps from 9. Other digits stay.
f64 bcd_step(f64 word, f64 step);
constexpr u32 kHostApVsToken = 4030;         // the autopilot's V/S command, ft/min (signed)
constexpr u32 kHostApAltTargetToken = 4031;  // the autopilot's altitude target event's value
constexpr u32 kHostAutoCoordinationToken = 4032;  // (A:AUTO COORDINATION,bool): 1 coordinates
constexpr u32 kHostApAltCommandToken = 4040;  // the autopilot's altitude command, ft (signed)

extern const KeyRule kKeyRules[];
extern const size_t kKeyRuleCount;
extern const TokenStart kTokenStarts[];
extern const size_t kTokenStartCount;
extern const u32 kIntegerTokens[];
extern const size_t kIntegerTokenCount;
extern const CalcRule kCalcRules[];
extern const size_t kCalcRuleCount;
