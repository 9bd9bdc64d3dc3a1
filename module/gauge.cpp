#include "module/gauge.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "module/exports.h"

namespace {
// Elements without failures of their own share one empty list.
const FailureEntry kNoFailures[] = {{0, 0}};

void fill_element(ElementSlot& slot, const ElementDef& d, GaugeHeader* gauge) {
    slot.binding = d.binding;
    ElementRecord& r = slot.record;
    ElementHeader& h = r.head;
    h.type = d.kind;
    h.bitmap = d.bitmap;
    h.x = d.x;
    h.y = d.y;
    h.pivot_x = d.pivot_x;
    h.pivot_y = d.pivot_y;
    h.gauge = gauge;
    h.failures = d.failures ? d.failures : kNoFailures;
    h.image_flags = d.flags;
    switch (d.kind) {
        case ElementNeedle:
            r.needle.source.id = d.token;
            r.needle.nonlinearity = d.nonlinearity;
            r.needle.nonlinearity_count = d.nonlinearity_count;
            r.needle.update = d.value;
            break;
        case ElementString: {
            StringElement& s = r.string;
            s.source.id = d.token;
            s.update = d.value;
            if (const TextStyle* t = d.text) {
                s.box_w = t->box_w;
                s.box_h = t->box_h;
                s.text_colour = t->colour;
                s.background_colour = t->background;
                s.highlight_colour = t->highlight;
                if (t->font) std::snprintf(s.font_face, sizeof s.font_face, "%s", t->font);
                s.font_weight = t->weight;
                s.charset = t->charset;
                s.draw_flags = t->draw_flags;
                s.max_chars = t->max_chars;
            }
            break;
        }
        case ElementSlider:
            r.slider.scale_x = d.scale_x;
            r.slider.scale_y = d.scale_y;
            r.slider.update_x = d.value_x;
            r.slider.update_y = d.value_y;
            break;
        case ElementIcon:
            r.icon.one = 1;
            break;
        case ElementMovingImage:
            r.moving.source.id = d.token;
            r.moving.scale = d.scale_x;
            r.moving.update_x = d.value_x;
            r.moving.update_y = d.value_y;
            break;
        case ElementSprite:
            r.sprite.source_x.id = d.token;
            r.sprite.scale_x = d.scale_x;
            r.sprite.source_y.id = d.token_y;
            r.sprite.scale_y = d.scale_y;
            r.sprite.source_rot.id = d.token_rot;
            r.sprite.scale_rot = d.scale_rot;
            r.sprite.texture_scale_x = d.texture_scale_x;
            r.sprite.texture_scale_y = d.texture_scale_y;
            r.sprite.update_x = d.value_x;
            r.sprite.update_y = d.value_y;
            r.sprite.update_rot = d.value;
            break;
        default:
            break;
    }
}

MouseRect make_rect(const RectDef& d) {
    MouseRect m{};
    m.kind = d.kind;
    m.x = d.x;
    m.y = d.y;
    m.w = d.w;
    m.h = d.h;
    m.cursor = d.cursor;
    m.help_id = d.help_id;
    m.flags = d.flags;
    if (d.kind == MouseRectTooltip) {
        m.event_id = d.arg_count;
        m.text = d.text;
        m.args = d.args;
    } else {
        m.callback = d.callback;
    }
    return m;
}
}  // namespace

void build_gauge(const GaugeStorage& s, const char* name, u32 width_mm, GaugeCallback callback,
                 const ElementDef* defs, const RectDef* rects, size_t rect_count, ChainShape shape) {
    GaugeHeader& g = *s.header;
    g.version = 0x320;
    g.name = name;
    g.elements = s.root;
    g.query = query_elements;
    g.install = install_elements;
    g.initialize = initialize_elements;
    g.update = update_elements;
    g.generate = generate_elements;
    g.draw = draw_elements;
    g.kill = kill_elements;
    g.width_mm = width_mm;
    g.height_mm = 0;
    g.mouse_rects = s.rects;
    g.callback = callback;
    g.user_data = 0;

    const size_t n = s.element_count;
    for (size_t i = 0; i < n; ++i) fill_element(s.elements[i], defs[i], &g);
    s.root[0] = n ? &s.elements[0].record.head : nullptr;
    s.root[1] = nullptr;
    if (shape == ChainShape::Linear) {
        for (size_t i = 0; i + 1 < n; ++i) {
            s.links[2 * i] = &s.elements[i + 1].record.head;
            s.links[2 * i + 1] = nullptr;
            s.elements[i].record.head.next = &s.links[2 * i];
        }
    } else if (n > 1) {
        for (size_t i = 1; i < n; ++i) s.links[i - 1] = &s.elements[i].record.head;
        s.links[n - 1] = nullptr;
        s.elements[0].record.head.next = s.links;
    }

    size_t k = 0;
    const bool explicit_groups = rect_count > 0 && rects[0].kind == MouseRectParent;
    if (!explicit_groups) s.rects[k++] = make_rect(rect::Parent());
    for (size_t i = 0; i < rect_count; ++i) s.rects[k++] = make_rect(rects[i]);
    if (!explicit_groups) s.rects[k++] = make_rect(rect::EndParent());
    MouseRect end{};
    end.kind = MouseRectEnd;
    end.cursor = CursorNone;
    s.rects[k] = end;
}

void set_text(StringElement* e, const char* fmt, ...) {
    if (!e || !e->text) return;
    const size_t capacity = size_t(e->max_chars) + 1;
    va_list ap;
    va_start(ap, fmt);
    std::vsnprintf(e->text, capacity, fmt, ap);
    va_end(ap);
    e->head.image_flags &= ~ImageOnScreen;
}
