// Calls into the host, each through its slot of the panel-service table. Before the host has
// written its table every call does nothing and answers 0.
#pragma once
#include "module/host_interface.h"

namespace svc {
u32 is_panel_window_visible_ident(u32 ident);
void panel_window_toggle(u32 ident);
void trigger_key_event(u32 event_id, u32 value);
void send_key_event(u32 event_id, u32 value);
void lookup_var(TokenVar& record);
u32 initialize_var_by_name(TokenVar& record, const char* name);
// Evaluates a host expression; results not wanted are passed as null.
void execute_calculator_code(const char* code, f64* f_result, i32* i_result, const char** s_result);
u32 element_list(ServiceSlot slot, ElementHeader* element);
u32 element_list_arg(ServiceSlot slot, ElementHeader* element, u32 arg);
}  // namespace svc
