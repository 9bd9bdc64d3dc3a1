#pragma once
#include "module/host_interface.h"

void FSAPI module_init();
void FSAPI module_deinit();

u32 FSAPI query_elements();
u32 FSAPI install_elements(u32 resource);
u32 FSAPI initialize_elements();
u32 FSAPI update_elements();
u32 FSAPI generate_elements(u32 phase);
u32 FSAPI draw_elements();
u32 FSAPI kill_elements();
