// Module-wide shared state by name: every variable declared in a subsystem's state.def is
// listed here too, so the headless host can read and write it ("show var", "set var") without
// a second list to maintain.
#pragma once
#include "module/types.h"

enum class VarType : u8 { U8, I8, U16, I16, U32, I32, F32, F64 };

struct VarInfo {
    const char* name;
    VarType type;
    void* address;
    u32 count;  // 1 for a scalar; arrays are shown element by element
    bool is_array;
};

struct VarTable {
    const VarInfo* vars;
    u32 count;
};

template <typename T> constexpr VarType var_type_of();
template <> constexpr VarType var_type_of<u8>() { return VarType::U8; }
template <> constexpr VarType var_type_of<i8>() { return VarType::I8; }
template <> constexpr VarType var_type_of<u16>() { return VarType::U16; }
template <> constexpr VarType var_type_of<i16>() { return VarType::I16; }
template <> constexpr VarType var_type_of<u32>() { return VarType::U32; }
template <> constexpr VarType var_type_of<i32>() { return VarType::I32; }
template <> constexpr VarType var_type_of<f32>() { return VarType::F32; }
template <> constexpr VarType var_type_of<f64>() { return VarType::F64; }

// Every subsystem's table, in subsystem order, ended by {nullptr, 0}.
extern const VarTable kStateTables[];

// Reads element `index` of a variable as a double; writes with saturation to the variable's type.
f64 var_read(const VarInfo& v, u32 index);
void var_write(const VarInfo& v, u32 index, f64 value);
const VarInfo* var_find(const char* name);

// A signature the Windows host searches the loaded module's data for, so that scripts can reach
// variables by name without the module exporting more than its two records.
struct StateDirectory {
    char magic[16];
    const VarTable* tables;
    u32 version;
};
extern const StateDirectory kStateDirectory;
constexpr char kStateDirectoryMagic[16] = "krState.dir.v1";
