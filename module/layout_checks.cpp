// The host reads these records by offset: in the 32-bit build every size and offset it relies
// on is pinned here, so a moved or resized field fails the build.
#include "module/host_interface.h"

#if defined(KR_PACKED_RECORDS)
#define KR_AT(type, field, offset) static_assert(offsetof(type, field) == (offset), #type "." #field)

static_assert(sizeof(ImportTableRecord) == 16, "ImportTable is four words");
KR_AT(ImportTableRecord, id, 0);
KR_AT(ImportTableRecord, services, 4);
KR_AT(ImportTableRecord, end_id, 8);
KR_AT(ImportTableRecord, end_ptr, 12);

KR_AT(LinkageRecord, module_id, 0);
KR_AT(LinkageRecord, init, 4);
KR_AT(LinkageRecord, deinit, 8);
KR_AT(LinkageRecord, status, 12);
KR_AT(LinkageRecord, module_var, 16);
KR_AT(LinkageRecord, version, 20);
KR_AT(LinkageRecord, gauges, 24);
static_assert(sizeof(LinkageRecord) == 24 + 4 * (kMaxGauges + 1), "gauge table of 201 and a null");

static_assert(sizeof(ServiceFn) == 4 && sizeof(PanelServiceTable) == 4 * kServiceSlots, "slots are 4 bytes");

KR_AT(GaugeHeader, version, 0);
KR_AT(GaugeHeader, name, 4);
KR_AT(GaugeHeader, elements, 8);
KR_AT(GaugeHeader, query, 12);
KR_AT(GaugeHeader, install, 16);
KR_AT(GaugeHeader, initialize, 20);
KR_AT(GaugeHeader, update, 24);
KR_AT(GaugeHeader, generate, 28);
KR_AT(GaugeHeader, draw, 32);
KR_AT(GaugeHeader, kill, 36);
KR_AT(GaugeHeader, reserved0, 40);
KR_AT(GaugeHeader, width_mm, 44);
KR_AT(GaugeHeader, height_mm, 48);
KR_AT(GaugeHeader, host_fields, 52);
KR_AT(GaugeHeader, mouse_rects, 80);
KR_AT(GaugeHeader, callback, 84);
KR_AT(GaugeHeader, user_data, 88);
KR_AT(GaugeHeader, host_tail, 92);

KR_AT(ElementHeader, type, 0);
KR_AT(ElementHeader, bitmap, 4);
KR_AT(ElementHeader, x, 8);
KR_AT(ElementHeader, y, 12);
KR_AT(ElementHeader, prev_x, 16);
KR_AT(ElementHeader, pivot_x, 24);
KR_AT(ElementHeader, pivot_y, 28);
KR_AT(ElementHeader, gauge, 32);
KR_AT(ElementHeader, prev_element, 36);
KR_AT(ElementHeader, next, 40);
KR_AT(ElementHeader, failures, 44);
KR_AT(ElementHeader, image_flags, 48);
KR_AT(ElementHeader, aspect, 52);
static_assert(sizeof(ElementHeader) == 60, "common element head");

KR_AT(NeedleElement, source, 60);
KR_AT(NeedleElement, nonlinearity, 112);
KR_AT(NeedleElement, nonlinearity_count, 116);
KR_AT(NeedleElement, update, 224);
static_assert(sizeof(NonlinearityPoint) == 24, "needle table entries are 24 bytes");

KR_AT(StringElement, source, 60);
static_assert(offsetof(StringElement, source) + offsetof(TokenVar, value) == 72, "string source value at 72");
KR_AT(StringElement, text, 184);
KR_AT(StringElement, box_w, 192);
KR_AT(StringElement, box_h, 196);
KR_AT(StringElement, text_colour, 208);
KR_AT(StringElement, background_colour, 216);
KR_AT(StringElement, font_face, 248);
KR_AT(StringElement, font_weight, 280);

KR_AT(SliderElement, update_x, 168);
KR_AT(SliderElement, update_y, 172);
KR_AT(IconElement, one, 112);
KR_AT(MovingImageElement, source, 60);
KR_AT(MovingImageElement, scale, 152);
KR_AT(MovingImageElement, update_x, 244);
KR_AT(MovingImageElement, update_y, 248);

KR_AT(SpriteElement, source_x, 60);
KR_AT(SpriteElement, scale_x, 88);
KR_AT(SpriteElement, source_y, 96);
KR_AT(SpriteElement, scale_y, 124);
KR_AT(SpriteElement, source_rot, 132);
KR_AT(SpriteElement, scale_rot, 160);
KR_AT(SpriteElement, texture_scale_x, 168);
KR_AT(SpriteElement, update_x, 176);
KR_AT(SpriteElement, update_rot, 184);

static_assert(sizeof(MouseRect) == 44, "a click-map record is eleven words");
KR_AT(MouseRect, kind, 0);
KR_AT(MouseRect, x, 4);
KR_AT(MouseRect, h, 16);
KR_AT(MouseRect, cursor, 20);
KR_AT(MouseRect, help_id, 24);
KR_AT(MouseRect, flags, 28);
KR_AT(MouseRect, event_id, 32);
KR_AT(MouseRect, callback, 36);
KR_AT(MouseRect, args, 40);

static_assert(sizeof(FailureEntry) == 8, "failure entries are 8 bytes");
static_assert(sizeof(MousePoint) == 16 && offsetof(MousePoint, rect) == 12, "rectangle in the fourth word");

static_assert(sizeof(TokenVar) == 28, "token records are 28 bytes");
KR_AT(TokenVar, id, 0);
KR_AT(TokenVar, data, 4);
KR_AT(TokenVar, var_type, 8);
KR_AT(TokenVar, value, 12);
KR_AT(TokenVar, previous, 20);
#endif
