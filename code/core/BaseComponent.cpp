// The shared component type and typed access to component variables by name.
#include "core/BaseComponent.h"

#include "engine/base/VarTable.h"

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>

V_IMPLEMENT_DYNCREATE(BaseComponent, IVObjectComponent)

namespace {

int TruncateToInt(double v) {
  if (std::isnan(v)) return 0;
  if (v >= (double)INT_MAX) return INT_MAX;
  if (v <= (double)INT_MIN) return INT_MIN;
  return (int)v;
}

bool WriteInteger(void* p, int size, int64_t v) {
  switch (size) {
    case 1: *static_cast<int8_t*>(p) = (int8_t)v; return true;
    case 2: *static_cast<int16_t*>(p) = (int16_t)v; return true;
    case 4: *static_cast<int32_t*>(p) = (int32_t)v; return true;
    case 8: *static_cast<int64_t*>(p) = v; return true;
    default: return false;
  }
}

bool ReadInteger(const void* p, int size, int64_t& v) {
  switch (size) {
    case 1: v = *static_cast<const int8_t*>(p); return true;
    case 2: v = *static_cast<const int16_t*>(p); return true;
    case 4: v = *static_cast<const int32_t*>(p); return true;
    case 8: v = *static_cast<const int64_t*>(p); return true;
    default: return false;
  }
}

// The variable of that name when its value has the kind.
VisVariable_cl* Find(const BaseComponent* c, const char* name, BaseComponent::PropertyKind kind) {
  if (!name) return nullptr;
  VisVariable_cl* var = c->GetVariable(name);
  if (!var || !var->accessor || BaseComponent::GetPropertyKind(var->type) != kind) return nullptr;
  return var;
}

}  // namespace

BaseComponent::~BaseComponent() = default;

BaseComponent::PropertyKind BaseComponent::GetPropertyKind(int type) {
  switch (type) {
    case VULPTYPE_INT:
    case VULPTYPE_ENUM:
    case VULPTYPE_FLOAT:
    case VULPTYPE_DOUBLE:
      return PROPERTY_NUMBER;
    case VULPTYPE_BOOL:
      return PROPERTY_BOOL;
    case VULPTYPE_VECTOR_INT:
    case VULPTYPE_VECTOR_FLOAT:
    case VULPTYPE_VECTOR_DOUBLE:
      return PROPERTY_VECTOR;
    case VULPTYPE_COLOR:
      return PROPERTY_COLOR;
    default:
      return VULPTypeIsText(type) ? PROPERTY_TEXT : PROPERTY_UNSUPPORTED;
  }
}

BaseComponent::PropertyKind BaseComponent::GetPropertyKind(const char* name) const {
  VisVariable_cl* var = name ? GetVariable(name) : nullptr;
  return var ? GetPropertyKind(var->type) : PROPERTY_UNSUPPORTED;
}

// ---- writing ------------------------------------------------------------------

bool BaseComponent::SetPropertyNumber(const char* name, double value) {
  VisVariable_cl* var = Find(this, name, PROPERTY_NUMBER);
  if (!var) return false;
  void* p = var->GetValuePtr(this);
  switch (var->type) {
    case VULPTYPE_FLOAT:
      if (var->storageSize != (int)sizeof(float)) return false;
      *static_cast<float*>(p) = (float)value;
      return true;
    case VULPTYPE_DOUBLE:
      if (var->storageSize != (int)sizeof(double)) return false;
      *static_cast<double*>(p) = value;
      return true;
    default:
      return WriteInteger(p, var->storageSize, TruncateToInt(value));
  }
}

bool BaseComponent::SetPropertyBool(const char* name, bool value) {
  VisVariable_cl* var = Find(this, name, PROPERTY_BOOL);
  if (!var) return false;
  void* p = var->GetValuePtr(this);
  if (var->storageSize == (int)sizeof(bool)) {
    *static_cast<bool*>(p) = value;
    return true;
  }
  // An int used as a bool.
  return var->storageSize == 4 && WriteInteger(p, 4, value ? 1 : 0);
}

bool BaseComponent::SetPropertyVector(const char* name, double x, double y, double z) {
  VisVariable_cl* var = Find(this, name, PROPERTY_VECTOR);
  if (!var) return false;
  void* p = var->GetValuePtr(this);
  switch (var->type) {
    case VULPTYPE_VECTOR_INT: {
      if (var->storageSize < (int)(3 * sizeof(int))) return false;
      int* v = static_cast<int*>(p);
      v[0] = TruncateToInt(x), v[1] = TruncateToInt(y), v[2] = TruncateToInt(z);
      return true;
    }
    case VULPTYPE_VECTOR_FLOAT: {
      if (var->storageSize < (int)(3 * sizeof(float))) return false;
      float* v = static_cast<float*>(p);  // a fourth component (w) is left alone
      v[0] = (float)x, v[1] = (float)y, v[2] = (float)z;
      return true;
    }
    default: {
      if (var->storageSize < (int)(3 * sizeof(double))) return false;
      double* v = static_cast<double*>(p);
      v[0] = x, v[1] = y, v[2] = z;
      return true;
    }
  }
}

bool BaseComponent::SetPropertyText(const char* name, const char* text) {
  VisVariable_cl* var = Find(this, name, PROPERTY_TEXT);
  return var && var->SetValueFromText(this, text ? text : "");
}

bool BaseComponent::SetPropertyColor(const char* name, const VColorRef& colour) {
  VisVariable_cl* var = Find(this, name, PROPERTY_COLOR);
  if (!var || var->storageSize != (int)sizeof(VColorRef)) return false;
  *static_cast<VColorRef*>(var->GetValuePtr(this)) = colour;
  return true;
}

// ---- reading ------------------------------------------------------------------

bool BaseComponent::GetPropertyNumber(const char* name, double& out) const {
  VisVariable_cl* var = Find(this, name, PROPERTY_NUMBER);
  if (!var) return false;
  const void* p = var->GetValuePtr(const_cast<BaseComponent*>(this));
  switch (var->type) {
    case VULPTYPE_FLOAT:
      if (var->storageSize != (int)sizeof(float)) return false;
      out = *static_cast<const float*>(p);
      return true;
    case VULPTYPE_DOUBLE:
      if (var->storageSize != (int)sizeof(double)) return false;
      out = *static_cast<const double*>(p);
      return true;
    default: {
      int64_t v = 0;
      if (!ReadInteger(p, var->storageSize, v)) return false;
      out = (double)v;
      return true;
    }
  }
}

bool BaseComponent::GetPropertyBool(const char* name, bool& out) const {
  VisVariable_cl* var = Find(this, name, PROPERTY_BOOL);
  if (!var) return false;
  const void* p = var->GetValuePtr(const_cast<BaseComponent*>(this));
  if (var->storageSize == (int)sizeof(bool)) {
    out = *static_cast<const bool*>(p);
    return true;
  }
  int64_t v = 0;
  if (var->storageSize != 4 || !ReadInteger(p, 4, v)) return false;
  out = v != 0;
  return true;
}

bool BaseComponent::GetPropertyVector(const char* name, double& x, double& y, double& z) const {
  VisVariable_cl* var = Find(this, name, PROPERTY_VECTOR);
  if (!var) return false;
  const void* p = var->GetValuePtr(const_cast<BaseComponent*>(this));
  switch (var->type) {
    case VULPTYPE_VECTOR_INT: {
      if (var->storageSize < (int)(3 * sizeof(int))) return false;
      const int* v = static_cast<const int*>(p);
      x = v[0], y = v[1], z = v[2];
      return true;
    }
    case VULPTYPE_VECTOR_FLOAT: {
      if (var->storageSize < (int)(3 * sizeof(float))) return false;
      const float* v = static_cast<const float*>(p);
      x = v[0], y = v[1], z = v[2];
      return true;
    }
    default: {
      if (var->storageSize < (int)(3 * sizeof(double))) return false;
      const double* v = static_cast<const double*>(p);
      x = v[0], y = v[1], z = v[2];
      return true;
    }
  }
}

bool BaseComponent::GetPropertyText(const char* name, VString& out) const {
  VisVariable_cl* var = Find(this, name, PROPERTY_TEXT);
  if (!var) return false;
  var->GetValueAsText(const_cast<BaseComponent*>(this), out);
  return true;
}

bool BaseComponent::GetPropertyColor(const char* name, VColorRef& out) const {
  VisVariable_cl* var = Find(this, name, PROPERTY_COLOR);
  if (!var || var->storageSize != (int)sizeof(VColorRef)) return false;
  out = *static_cast<const VColorRef*>(var->GetValuePtr(const_cast<BaseComponent*>(this)));
  return true;
}
