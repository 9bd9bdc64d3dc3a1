// The module's records as the host reads them and the standard routines.
#include "module/tokens.h"
#include "tests/host_fixture.h"

TEST(Linkage, RecordsCarryTheHostValues) {
    EXPECT_EQ(ImportTable.id, 0xFu);
    EXPECT_EQ(ImportTable.end_id, 0u);
    EXPECT_EQ(ImportTable.end_ptr, nullptr);
    EXPECT_EQ(Linkage.module_id, 0x13u);
    EXPECT_EQ(Linkage.status, 0u);
    EXPECT_EQ(Linkage.module_var, 0u);
    EXPECT_EQ(Linkage.version, 0x900u);
    ASSERT_NE(Linkage.init, nullptr);
    ASSERT_NE(Linkage.deinit, nullptr);
    Linkage.init();
    Linkage.deinit();
    ASSERT_NE(Linkage.gauges[0], nullptr);
    EXPECT_STREQ(Linkage.gauges[0]->name, "testgauge2k");
}

TEST(Linkage, EveryHeaderIsCompleteAndTheTableEndsWithNull) {
    size_t n = 0;
    for (; n <= kMaxGauges && Linkage.gauges[n]; ++n) {
        const GaugeHeader* g = Linkage.gauges[n];
        EXPECT_EQ(g->version, 0x320u) << g->name;
        ASSERT_NE(g->elements, nullptr) << g->name;
        EXPECT_NE(g->elements[0], nullptr) << g->name;
        EXPECT_EQ(g->elements[1], nullptr) << g->name << ": exactly one root";
        EXPECT_NE(g->mouse_rects, nullptr) << g->name;
        EXPECT_NE(g->callback, nullptr) << g->name;
        EXPECT_EQ(g->height_mm, 0u) << g->name;
        EXPECT_EQ(g->user_data, 0u) << g->name;
        EXPECT_EQ(g->query, Linkage.gauges[0]->query);
        EXPECT_EQ(g->kill, Linkage.gauges[0]->kill);
        // Click map: parent first, end-of-parent before the end record.
        const MouseRect* r = g->mouse_rects;
        EXPECT_EQ(r[0].kind, u32(MouseRectParent)) << g->name;
        size_t k = 0;
        while (r[k].kind != MouseRectEnd && k < 1000) ++k;
        ASSERT_GT(k, 0u);
        EXPECT_EQ(r[k - 1].kind, u32(MouseRectEndParent)) << g->name;
        EXPECT_EQ(r[k].cursor, CursorNone);
    }
    EXPECT_LE(n, size_t(kMaxGauges));
    EXPECT_EQ(Linkage.gauges[n], nullptr);
}

// The host walks every element's failure list to its end entry; an icon record carries 1 where
// the host expects it.
namespace {
void check_elements(const GaugeHeader* g, ElementHeader* const* list, int depth, size_t& count) {
    ASSERT_LT(depth, 512) << g->name;
    for (size_t i = 0; list && list[i] && i < 256; ++i) {
        const ElementHeader* e = list[i];
        ++count;
        ASSERT_NE(e->failures, nullptr) << g->name << " element " << count;
        size_t k = 0;
        while (e->failures[k].key != 0 && k < 32) ++k;
        EXPECT_LT(k, 32u) << g->name << ": an unterminated failure list";
        if (e->type == ElementIcon) {
            EXPECT_EQ(reinterpret_cast<const IconElement*>(e)->one, 1u) << g->name << " element " << count;
        }
        check_elements(g, e->next, depth + 1, count);
    }
}
}  // namespace

TEST(Linkage, EveryElementHasAnEndedFailureList) {
    size_t total = 0;
    for (size_t n = 0; n < kMaxGauges && Linkage.gauges[n]; ++n) {
        size_t count = 0;
        check_elements(Linkage.gauges[n], Linkage.gauges[n]->elements, 0, count);
        EXPECT_GT(count, 0u) << Linkage.gauges[n]->name;
        total += count;
    }
    EXPECT_GT(total, 1000u);
}

TEST(Tokens, AnUnlinkedRecordReadsZero) {
    EXPECT_EQ(tok_sim_time_s.data, nullptr);
    EXPECT_EQ(token_f64(tok_sim_time_s), 0.0);
}

class StandardRoutines : public HostTest {};
TEST_F(StandardRoutines, ForwardTheFirstElementOfTheFirstGaugeWhicheverHeaderIsUsed) {
    ElementHeader* first = Linkage.gauges[0]->elements[0];
    // Every header names the same routines; call them through the last gauge's header.
    GaugeHeader* g = Linkage.gauges[0];
    for (size_t i = 0; Linkage.gauges[i]; ++i) g = Linkage.gauges[i];
    struct Call { u32 result, slot, arg; } calls[] = {
        {g->query(), SlotElementListQuery, 0},           {g->install(77), SlotElementListInstall, 77},
        {g->initialize(), SlotElementListInitialize, 0}, {g->update(), SlotElementListUpdate, 0},
        {g->generate(3), SlotElementListGenerate, 3},    {g->draw(), SlotElementListPlot, 0},
        {g->kill(), SlotElementListKill, 0},
    };
    const auto& seen = host().element_list_calls();
    ASSERT_EQ(seen.size(), 7u);
    for (size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(seen[i].slot, calls[i].slot);
        EXPECT_EQ(seen[i].element, first);
        EXPECT_EQ(seen[i].arg, calls[i].arg);
        EXPECT_EQ(calls[i].result, Host::element_list_result(calls[i].slot, calls[i].arg)) << "result unchanged";
    }
}

// The host turns needles and sprites about the pivot the header names; the other kinds carry 0.
class ElementHeaders : public HostTest {};
TEST_F(ElementHeaders, CarryPositionAndPivotAsPlaced) {
    const struct { const char* gauge; size_t pos; u32 kind, bitmap; i32 x, y, px, py; } rows[] = {
        {"ketravin apu_ind_oil_kr60", 1, ElementNeedle, 425, 45, 45, 9, 5},
        {"ketravin apu_ind_n1_n2_kr60", 2, ElementNeedle, 435, 55, 45, 8, 4},
        {"ketravin adf_kr60", 1, ElementSprite, 2144, 0, 0, 90, 90},
        {"ketravin adf_kr60", 3, ElementNeedle, 2153, 90, 90, 84, 14},
        {"ketravin adf_kr60", 0, ElementStaticImage, 2140, 0, 0, 0, 0},
        {"ketravin fuel_ind_fu_1_kr60", 3, ElementMovingImage, 451, 52, 36, 0, 0},
    };
    for (const auto& r : rows) {
        if (!host().placed_instance(gauge(r.gauge))) place(r.gauge);
        const ElementHeader* e = element(r.gauge, r.pos);
        EXPECT_EQ(e->type, r.kind) << r.gauge << " " << r.pos;
        EXPECT_EQ(e->bitmap, r.bitmap) << r.gauge << " " << r.pos;
        EXPECT_EQ(e->x, r.x) << r.gauge << " " << r.pos;
        EXPECT_EQ(e->y, r.y) << r.gauge << " " << r.pos;
        EXPECT_EQ(e->pivot_x, r.px) << r.gauge << " " << r.pos;
        EXPECT_EQ(e->pivot_y, r.py) << r.gauge << " " << r.pos;
    }
}
