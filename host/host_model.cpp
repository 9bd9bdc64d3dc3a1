#include "host/host_model.h"

#include "module/keys.h"

const KeyRule kKeyRules[] = {
    //  event               action                  token arg latency
    {key_panel_id_toggle, KeyAction::WindowToggle, 0, 0.0, 0},
    {key_panel_id_open, KeyAction::WindowOpen, 0, 0.0, 0},
    {key_panel_id_close, KeyAction::WindowClose, 0, 0.0, 0},
};
const size_t kKeyRuleCount = sizeof kKeyRules / sizeof kKeyRules[0];

// Tokens whose value the host hands over as an integer in the low word.
const u32 kIntegerTokens[] = {
    46,   // NAV 1 station code
    55,   // NAV 2 station code
    283,  // vertical speed indicator failure
    286,  // pitot failure
};
const size_t kIntegerTokenCount = sizeof kIntegerTokens / sizeof kIntegerTokens[0];

// Expressions answered from host variables ("set token" moves them); any other expression
// answers what "set calc" gave it, else 0.
const CalcRule kCalcRules[] = {
    {"", 0},
};
const size_t kCalcRuleCount = 0;
