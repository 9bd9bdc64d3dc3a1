#include "module/services.h"

namespace {
template <typename Fn>
Fn slot(ServiceSlot offset) {
    PanelServiceTable* table = ImportTable.services;
    if (!table) return nullptr;
    return reinterpret_cast<Fn>(table->slot[offset / 4]);
}
}  // namespace

namespace svc {
u32 is_panel_window_visible_ident(u32 ident) {
    auto fn = slot<FnWindowIdent>(SlotIsPanelWindowVisibleIdent);
    return fn ? fn(ident) : 0;
}
void panel_window_toggle(u32 ident) {
    if (auto fn = slot<FnWindowIdent>(SlotPanelWindowToggle)) fn(ident);
}
void trigger_key_event(u32 event_id, u32 value) {
    if (auto fn = slot<FnKeyEvent>(SlotTriggerKeyEvent)) fn(event_id, value);
}
void send_key_event(u32 event_id, u32 value) {
    if (auto fn = slot<FnKeyEvent>(SlotSendKeyEvent)) fn(event_id, value);
}
void lookup_var(TokenVar& record) {
    if (auto fn = slot<FnLookupVar>(SlotLookupVar)) fn(&record);
}
u32 initialize_var_by_name(TokenVar& record, const char* name) {
    auto fn = slot<FnInitVarByName>(SlotInitializeVarByName);
    return fn ? fn(&record, name) : 0;
}
void execute_calculator_code(const char* code, f64* f_result, i32* i_result, const char** s_result) {
    if (auto fn = slot<FnCalculatorCode>(SlotExecuteCalculatorCode)) fn(code, f_result, i_result, s_result);
}
u32 element_list(ServiceSlot s, ElementHeader* element) {
    auto fn = slot<FnElementList>(s);
    return fn ? fn(element) : 0;
}
u32 element_list_arg(ServiceSlot s, ElementHeader* element, u32 arg) {
    auto fn = slot<FnElementListArg>(s);
    return fn ? fn(element, arg) : 0;
}
}  // namespace svc
