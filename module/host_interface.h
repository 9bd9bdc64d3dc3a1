// The records exchanged with the simulator: our own declarations of the host's gauge formats.
// Field order and widths follow the host; on 32-bit Windows the offsets are exact (checked in
// module/layout_checks.cpp), elsewhere only the order holds and nothing may depend on pointer width.
#pragma once
#include <cstddef>
#include <cstring>

#include "module/types.h"

#if defined(_WIN32) && !defined(_WIN64)
#define FSAPI __stdcall
#else
#define FSAPI
#endif

// The host packs its records to 4 bytes (doubles at 4-byte offsets). Only the 32-bit build needs
// that; elsewhere natural alignment keeps pointers aligned.
#if UINTPTR_MAX == 0xFFFFFFFFu
#define KR_PACKED_RECORDS 1
#pragma pack(push, 4)
#endif

struct GaugeHeader;
struct ElementHeader;
struct MouseRect;

// ---- Gauge callback protocol -------------------------------------------------------------
enum : i32 {
    ServicePreInstall = 2,
    ServicePreUpdate = 6,
    ServicePreKill = 12,
};

using GaugeCallback = void(FSAPI*)(GaugeHeader* gauge, i32 service_id, u32 extra);
using ElementValueFn = f64(FSAPI*)(ElementHeader* element);

// The host's point record handed to mouse callbacks: x and y relative to the rectangle, and in
// the fourth word the rectangle that was hit.
struct MousePoint {
    i32 x;
    i32 y;
    u32 reserved;
    const MouseRect* rect;
};
using MouseCallback = i32(FSAPI*)(MousePoint* point, u32 mouse_flags);

// ---- Token variables -----------------------------------------------------------------------
struct TokenVar {
    u32 id;
    void* data;
    u32 var_type;
    u32 value[2];     // f64 for most tokens; enumerations and flags use the low word
    u32 previous[2];  // host-filled, never read by the module
};

inline f64 token_f64(const TokenVar& t) {
    f64 v;
    std::memcpy(&v, t.value, sizeof v);
    return v;
}
inline u32 token_u32(const TokenVar& t) { return t.value[0]; }
inline i32 token_i32(const TokenVar& t) {
    i32 v;
    std::memcpy(&v, &t.value[0], sizeof v);
    return v;
}
inline void token_store_f64(TokenVar& t, f64 v) { std::memcpy(t.value, &v, sizeof v); }
inline void token_store_i32(TokenVar& t, i32 v) {
    std::memcpy(&t.value[0], &v, sizeof v);
    t.value[1] = v < 0 ? 0xFFFFFFFFu : 0u;
}

// ---- Elements ------------------------------------------------------------------------------
enum ElementType : u32 {
    ElementStaticImage = 0,
    ElementNeedle = 1,
    ElementString = 2,
    ElementSlider = 3,
    ElementIcon = 4,
    ElementMovingImage = 5,
    ElementSprite = 6,
};

enum : u32 {
    ImageHidden = 0x40000000u,
    ImageLuminous = 0x4000u,
    ImageBright = 0x4u,
    ImageOnScreen = 0x80000000u,
    // Drawing options stored in records and left to the host.
    ImageOption1 = 0x1u,
    ImageOption2 = 0x2u,
    ImageOption80 = 0x80u,
    ImageOption2000 = 0x2000u,
};

constexpr u32 kNoBitmap = 0xFFFFFFFFu;

struct FailureEntry {
    u32 key;  // host failure key; 0 ends the list
    u32 action;
};

struct ElementHeader {
    u32 type;
    u32 bitmap;
    i32 x, y;
    i32 prev_x, prev_y;   // host-filled
    i32 pivot_x, pivot_y; // needle and sprite pivot inside the bitmap
    GaugeHeader* gauge;
    ElementHeader* prev_element;  // host-filled
    ElementHeader** next;         // null-terminated list, null at the end of a chain
    const FailureEntry* failures;
    u32 image_flags;
    u32 aspect;
    u32 reserved0;
};

// One point of a needle's nonlinearity table; the host fills the angle.
struct NonlinearityPoint {
    i32 x, y;
    f64 value;
    f64 angle;
};

struct NeedleElement {
    ElementHeader head;
    TokenVar source;
    u32 reserved1[6];
    NonlinearityPoint* nonlinearity;  // the host fills the angles
    u32 nonlinearity_count;
    u32 reserved2[26];
    ElementValueFn update;
    u32 reserved3[2];
};

struct StringElement {
    ElementHeader head;
    TokenVar source;
    u32 reserved1[24];
    char* text;  // supplied by the host, holding max_chars characters and a terminator
    u32 reserved2;
    i32 box_w, box_h;
    u32 reserved3[2];
    u32 text_colour;
    u32 reserved4;
    u32 background_colour;
    u32 reserved5;
    u32 highlight_colour;
    u32 reserved6[5];
    char font_face[32];
    u32 font_weight;
    u8 charset;
    u8 reserved7[3];
    u32 draw_flags;
    u16 max_chars;
    u16 reserved8;
    ElementValueFn update;
};

struct SliderElement {
    ElementHeader head;
    u32 reserved1[23];
    f64 scale_x;
    f64 scale_y;
    ElementValueFn update_x;
    ElementValueFn update_y;
    u32 reserved2[2];
};

struct IconElement {
    ElementHeader head;
    u32 reserved1[13];
    u32 one;  // 1 in every icon record
    u32 reserved2[2];
};

struct MovingImageElement {
    ElementHeader head;
    TokenVar source;  // refreshed by the host before it calls the callbacks
    u32 reserved1[16];
    f64 scale;
    u32 reserved2[21];
    ElementValueFn update_x;
    ElementValueFn update_y;
    u32 reserved3[2];
};

struct SpriteElement {
    ElementHeader head;
    TokenVar source_x;
    f64 scale_x;
    TokenVar source_y;
    f64 scale_y;
    TokenVar source_rot;
    f64 scale_rot;
    f32 texture_scale_x;
    f32 texture_scale_y;
    ElementValueFn update_x;
    ElementValueFn update_y;
    ElementValueFn update_rot;
};

// ---- Mouse rectangles ----------------------------------------------------------------------
enum MouseRectKind : u32 {
    MouseRectEnd = 0,
    MouseRectParent = 1,
    MouseRectChild = 2,
    MouseRectEndParent = 3,
    MouseRectTooltip = 4,
};

enum MouseCursor : i32 {
    CursorNone = -1,
    CursorUpArrow = 1,
    CursorDownArrow = 2,
    CursorLeftArrow = 3,
    CursorRightArrow = 4,
    CursorHand = 5,
};

enum : u32 {
    MouseLeftSingle = 0x20000000u,
    MouseRightSingle = 0x80000000u,
    MouseRepeat = 0x00200000u,
    MouseMove = 0x00400000u,
    MouseDrag = 0x00800000u,
};

// A tooltip argument: a host token and its scale.
struct TooltipArg {
    u32 token;
    f64 scale;
};

struct MouseRect {
    u32 kind;
    i32 x, y, w, h;
    i32 cursor;
    u32 help_id;
    u32 flags;
    u32 event_id;  // 0 for clicks; number of arguments for a tooltip
    union {
        MouseCallback callback;
        const char* text;
    };
    const TooltipArg* args;
};

// ---- Gauge header --------------------------------------------------------------------------
using StdRoutine0 = u32(FSAPI*)();
using StdRoutine1 = u32(FSAPI*)(u32);

struct GaugeHeader {
    u32 version;  // 0x320
    const char* name;
    ElementHeader** elements;
    StdRoutine0 query;
    StdRoutine1 install;
    StdRoutine0 initialize;
    StdRoutine0 update;
    StdRoutine1 generate;
    StdRoutine0 draw;
    StdRoutine0 kill;
    void* reserved0;
    u32 width_mm;
    u32 height_mm;
    u32 host_fields[7];
    MouseRect* mouse_rects;
    GaugeCallback callback;
    u32 user_data;
    u32 host_tail[16];
};

// ---- Exported linkage ----------------------------------------------------------------------
using ServiceFn = void(FSAPI*)();
constexpr u32 kServiceSlots = 96;  // slots are byte offsets / 4; the highest used is 0x13c

struct PanelServiceTable {
    ServiceFn slot[kServiceSlots];
};

struct ImportTableRecord {
    u32 id;  // 0xF: the panel-service table entry
    PanelServiceTable* services;
    u32 end_id;
    void* end_ptr;
};

constexpr u32 kMaxGauges = 201;

struct LinkageRecord {
    u32 module_id;
    void(FSAPI* init)();
    void(FSAPI* deinit)();
    u32 status;
    u32 module_var;
    u32 version;
    GaugeHeader* gauges[kMaxGauges + 1];  // in gauge order, null-terminated
};

#if defined(KR_PACKED_RECORDS)
#pragma pack(pop)
#endif

// Service slots, by byte offset into the host's table.
enum ServiceSlot : u32 {
    SlotIsPanelWindowVisibleIdent = 0x2c,
    SlotElementListQuery = 0x60,
    SlotElementListInstall = 0x64,
    SlotElementListInitialize = 0x68,
    SlotElementListUpdate = 0x6c,
    SlotElementListGenerate = 0x70,
    SlotElementListPlot = 0x74,
    SlotElementListErase = 0x78,
    SlotElementListKill = 0x7c,
    SlotPanelWindowToggle = 0x8c,
    SlotTriggerKeyEvent = 0x90,
    SlotInitializeVarByName = 0x9c,
    SlotLookupVar = 0xa0,
    SlotExecuteCalculatorCode = 0x114,
    SlotSendKeyEvent = 0x13c,
};

// Typed signatures of the slots.
using FnWindowIdent = u32(FSAPI*)(u32 ident);
using FnElementList = u32(FSAPI*)(ElementHeader* element);
using FnElementListArg = u32(FSAPI*)(ElementHeader* element, u32 arg);
using FnKeyEvent = u32(FSAPI*)(u32 event_id, u32 value);
using FnInitVarByName = u32(FSAPI*)(TokenVar* record, const char* name);
using FnLookupVar = u32(FSAPI*)(TokenVar* record);
using FnCalculatorCode = u32(FSAPI*)(const char* code, f64* f_result, i32* i_result, const char** s_result);

#if defined(_WIN32) && defined(KR_BUILDING_MODULE)
#define KR_EXPORT __declspec(dllexport)
#else
#define KR_EXPORT
#endif

extern "C" {
KR_EXPORT extern ImportTableRecord ImportTable;
KR_EXPORT extern LinkageRecord Linkage;
}
