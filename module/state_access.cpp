// Reading and writing a shared variable by its registry entry (used by the module and the host).
#include "module/state_registry.h"

namespace {
template <typename T>
T* at(const VarInfo& v, u32 index) {
    return static_cast<T*>(v.address) + index;
}
template <typename T>
void store(const VarInfo& v, u32 index, f64 value) {
    T& x = *at<T>(v, index);
    x = sat_cast<T>(value, x);  // no number leaves the variable as it was
}
}  // namespace

f64 var_read(const VarInfo& v, u32 index) {
    if (index >= v.count) return 0.0;
    switch (v.type) {
        case VarType::U8: return *at<u8>(v, index);
        case VarType::I8: return *at<i8>(v, index);
        case VarType::U16: return *at<u16>(v, index);
        case VarType::I16: return *at<i16>(v, index);
        case VarType::U32: return *at<u32>(v, index);
        case VarType::I32: return *at<i32>(v, index);
        case VarType::F32: return *at<f32>(v, index);
        case VarType::F64: return *at<f64>(v, index);
    }
    return 0.0;
}

void var_write(const VarInfo& v, u32 index, f64 value) {
    if (index >= v.count) return;
    switch (v.type) {
        case VarType::U8: store<u8>(v, index, value); break;
        case VarType::I8: store<i8>(v, index, value); break;
        case VarType::U16: store<u16>(v, index, value); break;
        case VarType::I16: store<i16>(v, index, value); break;
        case VarType::U32: store<u32>(v, index, value); break;
        case VarType::I32: store<i32>(v, index, value); break;
        case VarType::F32: *at<f32>(v, index) = static_cast<f32>(value); break;
        case VarType::F64: *at<f64>(v, index) = value; break;
    }
}

