// Building a gauge's host records from compact tables: one line per element in chain order,
// one line per click rectangle. A gauge file declares its tables and one Gauge object; the
// object fills the header, links the chain and the click map at load time.
#pragma once
#include <cassert>
#include <cstddef>

#include "module/host_interface.h"

// ---- Element lines -------------------------------------------------------------------------
// What a value callback shared by many elements needs to know about one of them: the variables
// the element is bound to and its member's constants. The host hands a value callback only the
// element, so the binding is stored beside the element's record (see element_binding) and each
// element carries its own. Only the callback that owns a rule interprets the fields.
struct ElementBinding {
    void* var[2] = {nullptr, nullptr};
    f64 k[5] = {};
    u32 rule = 0;  // 0: no binding
    u32 arg = 0;
};

struct TextStyle {
    i32 box_w, box_h;
    u32 colour, background, highlight;  // 0x00BBGGRR
    const char* font;
    u32 weight;
    u16 max_chars;
    u8 charset;
    u32 draw_flags;
};

struct ElementDef {
    u32 kind;
    u32 bitmap;
    i32 x, y;
    u32 flags;
    i32 pivot_x = 0, pivot_y = 0;
    ElementValueFn value = nullptr;  // needle and string value; sprite rotation
    ElementValueFn value_x = nullptr;
    ElementValueFn value_y = nullptr;
    f64 scale_x = 1.0, scale_y = 1.0, scale_rot = 1.0;  // slider, moving image, sprite
    f32 texture_scale_x = 1.0f, texture_scale_y = 1.0f;
    u32 token = 0, token_y = 0, token_rot = 0;  // source tokens (0: none)
    const FailureEntry* failures = nullptr;     // null: the shared empty list
    NonlinearityPoint* nonlinearity = nullptr;  // the host writes the angles
    u32 nonlinearity_count = 0;
    const TextStyle* text = nullptr;
    ElementBinding binding{};

    constexpr ElementDef pivot(i32 px, i32 py) const {
        ElementDef d = *this;
        d.pivot_x = px;
        d.pivot_y = py;
        return d;
    }
    constexpr ElementDef fail(const FailureEntry* list) const {
        ElementDef d = *this;
        d.failures = list;
        return d;
    }
    constexpr ElementDef source(u32 id) const {
        ElementDef d = *this;
        d.token = id;
        return d;
    }
    template <size_t N>
    constexpr ElementDef table(NonlinearityPoint (&points)[N]) const {
        ElementDef d = *this;
        d.nonlinearity = points;
        d.nonlinearity_count = N;
        return d;
    }
    constexpr ElementDef scales(f64 sx, f64 sy) const {
        ElementDef d = *this;
        d.scale_x = sx;
        d.scale_y = sy;
        return d;
    }
};

namespace el {
constexpr ElementDef Static(u32 bitmap, i32 x, i32 y, u32 flags = 0) {
    return ElementDef{ElementStaticImage, bitmap, x, y, flags};
}
constexpr ElementDef Icon(u32 bitmap, i32 x, i32 y, u32 flags = 0) {
    return ElementDef{ElementIcon, bitmap, x, y, flags};
}
constexpr ElementDef Needle(u32 bitmap, i32 x, i32 y, u32 flags, ElementValueFn fn) {
    ElementDef d{ElementNeedle, bitmap, x, y, flags};
    d.value = fn;
    return d;
}
constexpr ElementDef String(i32 x, i32 y, u32 flags, const TextStyle& style, ElementValueFn fn) {
    ElementDef d{ElementString, kNoBitmap, x, y, flags};
    d.text = &style;
    d.value = fn;
    return d;
}
constexpr ElementDef Slider(u32 bitmap, i32 x, i32 y, u32 flags, ElementValueFn fx, ElementValueFn fy) {
    ElementDef d{ElementSlider, bitmap, x, y, flags};
    d.value_x = fx;
    d.value_y = fy;
    return d;
}
constexpr ElementDef Moving(u32 bitmap, i32 x, i32 y, u32 flags, f64 scale, ElementValueFn fx,
                            ElementValueFn fy) {
    ElementDef d{ElementMovingImage, bitmap, x, y, flags};
    d.scale_x = scale;
    d.value_x = fx;
    d.value_y = fy;
    return d;
}
constexpr ElementDef Sprite(u32 bitmap, i32 x, i32 y, u32 flags, ElementValueFn fx, ElementValueFn fy,
                            ElementValueFn frot) {
    ElementDef d{ElementSprite, bitmap, x, y, flags};
    d.value_x = fx;
    d.value_y = fy;
    d.value = frot;
    return d;
}
}  // namespace el

// ---- Click-map lines -----------------------------------------------------------------------
struct RectDef {
    u32 kind;
    i32 x, y, w, h;
    i32 cursor;
    u32 help_id;
    u32 flags;
    MouseCallback callback;
    const char* text;
    u32 arg_count;
    const TooltipArg* args;
};

namespace rect {
constexpr RectDef Click(i32 x, i32 y, i32 w, i32 h, i32 cursor, u32 flags, MouseCallback cb) {
    return RectDef{MouseRectChild, x, y, w, h, cursor, 0, flags, cb, nullptr, 0, nullptr};
}
constexpr RectDef Tooltip(const char* text, u32 arg_count = 0, const TooltipArg* args = nullptr) {
    return RectDef{MouseRectTooltip, 0, 0, 0, 0, CursorNone, 0, 0, nullptr, text, arg_count, args};
}
constexpr RectDef Parent(u32 help_id = 0) {
    return RectDef{MouseRectParent, 0, 0, 0, 0, CursorNone, help_id, 0, nullptr, nullptr, 0, nullptr};
}
constexpr RectDef EndParent() {
    return RectDef{MouseRectEndParent, 0, 0, 0, 0, CursorNone, 0, 0, nullptr, nullptr, 0, nullptr};
}
}  // namespace rect

// ---- Records -------------------------------------------------------------------------------
union ElementRecord {
    ElementHeader head;
    NeedleElement needle;
    StringElement string;
    SliderElement slider;
    IconElement icon;
    MovingImageElement moving;
    SpriteElement sprite;
};

// An element's record as the host sees it, followed by what is ours alone. The host passes the
// record's address back to the value callbacks, which find the binding right behind it.
struct ElementSlot {
    ElementRecord record;
    ElementBinding binding;
};

// The binding of an element built by a Gauge (every element of the module is).
inline const ElementBinding& element_binding(const ElementHeader* e) {
    return reinterpret_cast<const ElementSlot*>(e)->binding;
}

// Linear: each element's next list names the following one. Fan: the root's list names every
// other element, each the start of its own one-element chain.
enum class ChainShape { Linear, Fan };

struct GaugeStorage {
    GaugeHeader* header;
    ElementSlot* elements;
    ElementHeader** links;  // 2 * element count (Linear) or element count + 1 (Fan)
    ElementHeader** root;   // 2 entries
    size_t element_count;
    MouseRect* rects;  // rect count + 3
};

void build_gauge(const GaugeStorage& s, const char* name, u32 width_mm, GaugeCallback callback,
                 const ElementDef* defs, const RectDef* rects, size_t rect_count, ChainShape shape);

template <size_t NE, size_t NR>
class Gauge {
public:
    Gauge(GaugeHeader& header, const char* name, u32 width_mm, GaugeCallback callback,
          const ElementDef (&elements)[NE], const RectDef (&rects)[NR],
          ChainShape shape = ChainShape::Linear)
        : header_(header) {
        build_gauge(storage(), name, width_mm, callback, elements, rects, NR, shape);
    }
    // Debug builds check the position: a slip in a count would land in the next member.
    ElementHeader* el(size_t pos) {
        assert(pos < NE);
        return &elements_[pos].record.head;
    }
    StringElement* string(size_t pos) {
        assert(pos < NE);
        return &elements_[pos].record.string;
    }
    GaugeHeader& header() { return header_; }

private:
    GaugeStorage storage() {
        return GaugeStorage{&header_, elements_, &links_[0], root_, NE, rects_};
    }
    GaugeHeader& header_;
    ElementSlot elements_[NE] = {};
    ElementHeader* links_[2 * NE] = {};
    ElementHeader* root_[2] = {};
    MouseRect rects_[NR + 3] = {};
};

// ---- Per-frame element helpers -------------------------------------------------------------
inline void set_hidden(ElementHeader* e, bool hidden) {
    if (hidden)
        e->image_flags |= ImageHidden;
    else
        e->image_flags &= ~ImageHidden;
}
inline void show_if(ElementHeader* e, bool shown) { set_hidden(e, !shown); }
inline bool is_hidden(const ElementHeader* e) { return (e->image_flags & ImageHidden) != 0; }

// Writes formatted text into a string element's host buffer, bounded by its capacity, and asks
// the host to draw it again. Does nothing while the host has not supplied a buffer.
#if defined(__MINGW32__)
#define KR_PRINTF(a, b) __attribute__((format(gnu_printf, a, b)))
#elif defined(__GNUC__)
#define KR_PRINTF(a, b) __attribute__((format(printf, a, b)))
#else
#define KR_PRINTF(a, b)
#endif
void set_text(StringElement* e, const char* fmt, ...) KR_PRINTF(2, 3);
