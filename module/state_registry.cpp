#include "module/state_registry.h"

#include <cstring>

#define KR_SUBSYSTEM(table) extern const VarTable table;
#include "module/subsystems.def"
#undef KR_SUBSYSTEM

const VarTable kStateTables[] = {
#define KR_SUBSYSTEM(table) table,
#include "module/subsystems.def"
#undef KR_SUBSYSTEM
    {nullptr, 0},
};

const StateDirectory kStateDirectory = {
    {'k', 'r', 'S', 't', 'a', 't', 'e', '.', 'd', 'i', 'r', '.', 'v', '1', 0, 0}, kStateTables, 1};

const VarInfo* var_find(const char* name) {
    for (const VarTable* t = kStateTables; t->vars; ++t)
        for (u32 i = 0; i < t->count; ++i)
            if (std::strcmp(t->vars[i].name, name) == 0) return &t->vars[i];
    return nullptr;
}
