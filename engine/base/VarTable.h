// Engine variables: per-class editable properties with help text and default,
// set from text and read as text by name.
#pragma once

#include "engine/base/VString.h"

#include <vector>

class VTypedObject;

// Variable type codes as the game data and script bindings know them.
enum VULPType_e {
  VULPTYPE_INT = 0,
  VULPTYPE_FLOAT = 2,
  VULPTYPE_DOUBLE = 3,
  VULPTYPE_ENUM = 4,
  VULPTYPE_BOOL = 5,
  VULPTYPE_VECTOR_INT = 6,
  VULPTYPE_VECTOR_FLOAT = 7,
  VULPTYPE_VECTOR_DOUBLE = 8,
  VULPTYPE_STRING = 9,        // text kinds: 9-12, 64, 65, 67-70, all stored as VString
  VULPTYPE_VSTRING = 10,
  VULPTYPE_MANAGED_STRING = 11,
  VULPTYPE_ENTITY_KEY = 12,
  VULPTYPE_MODEL = 64,
  VULPTYPE_PSTRING = 65,
  VULPTYPE_TEXTURE_FILE = 67,
  VULPTYPE_SOUND_FILE = 68,
  VULPTYPE_SCRIPT_FILE = 69,
  VULPTYPE_FILE = 70,
  VULPTYPE_COLOR = 132,
};

bool VBASE_IMPEXP VULPTypeIsText(int type);

// One variable; the accessor finds the member inside an object of its class.
class VBASE_IMPEXP VisVariable_cl {
 public:
  typedef void* (*Accessor)(VTypedObject*);

  const char* name = "";
  const char* help = "";
  int type = VULPTYPE_INT;
  const char* defaultValue = "";
  const char* enumList = nullptr;   // "A,B,C" for VULPTYPE_ENUM
  const char* category = nullptr;
  const char* editorHint = nullptr;  // "Slider(0.5,16)"
  int storageSize = 0;               // sizeof the member (bool members may be 1 or 4 bytes)
  int maxLength = 128;               // text kinds
  Accessor accessor = nullptr;

  void* GetValuePtr(VTypedObject* obj) const { return accessor(obj); }
  // Text forms: bool "TRUE"/"FALSE" (also "1"/"0", any case), vectors "x/y/z",
  // enums by name (any case) or by index digits, colours "r/g/b/a" in 0..255
  // ("r/g/b" reads as opaque), numbers in their shortest exact form. Text kinds are
  // cut to maxLength characters. False, leaving the member alone, for text of the
  // wrong kind or a member whose size does not fit the type.
  bool SetValueFromText(VTypedObject* obj, const char* text) const;
  void GetValueAsText(VTypedObject* obj, VString& out) const;
  // Index of a name in the enumeration list, or -1.
  int GetEnumIndex(const char* name) const;
  VString GetEnumName(int index) const;
};

class VBASE_IMPEXP VARTABLE {
 public:
  void Add(const VisVariable_cl& v) { m_vars.push_back(v); }
  int GetCount() const { return (int)m_vars.size(); }
  const VisVariable_cl& Get(int i) const { return m_vars[i]; }
  // Case-sensitive, like the engine's variable names.
  VisVariable_cl* Find(const char* name);
  // All variables as name="value" pairs joined by ",".
  VString GetParameterString(VTypedObject* obj);
  // Applies a parameter string of name="value" pairs through the object's
  // SetVariable (so it hears of each change); unknown names are skipped, a
  // malformed string stops with a warning. Returns how many were set.
  int ApplyParameterString(VTypedObject* obj, const char* params);
  // Sets every variable of the object to its default text (no change notice).
  void ApplyDefaults(VTypedObject* obj);

 private:
  std::vector<VisVariable_cl> m_vars;
};

// Helpers for a class's variable builder:
//   static void MyClass_BuildVarList(VARTABLE& t) {
//     VAR_INT(t, MyClass, m_iNation, "Nation number (0=none)", "0");
//   }
#define V_VAR_ACCESSOR(cls, member) \
  [](VTypedObject* o) -> void* { return &static_cast<cls*>(o)->member; }
#define V_DEFINE_VAR(t, cls, member, vtype, helpText, def, enums) \
  do { VisVariable_cl v_; v_.name = #member; v_.help = helpText; v_.type = vtype; \
       v_.defaultValue = def; v_.enumList = enums; \
       v_.storageSize = (int)sizeof(static_cast<cls*>(nullptr)->member); \
       v_.accessor = V_VAR_ACCESSOR(cls, member); (t).Add(v_); } while (0)
#define VAR_INT(t, cls, m, h, d) V_DEFINE_VAR(t, cls, m, VULPTYPE_INT, h, d, nullptr)
#define VAR_FLOAT(t, cls, m, h, d) V_DEFINE_VAR(t, cls, m, VULPTYPE_FLOAT, h, d, nullptr)
#define VAR_DOUBLE(t, cls, m, h, d) V_DEFINE_VAR(t, cls, m, VULPTYPE_DOUBLE, h, d, nullptr)
#define VAR_BOOL(t, cls, m, h, d) V_DEFINE_VAR(t, cls, m, VULPTYPE_BOOL, h, d, nullptr)
#define VAR_ENUM(t, cls, m, h, d, list) V_DEFINE_VAR(t, cls, m, VULPTYPE_ENUM, h, d, list)
#define VAR_VECTOR(t, cls, m, h, d) V_DEFINE_VAR(t, cls, m, VULPTYPE_VECTOR_FLOAT, h, d, nullptr)
#define VAR_STRING(t, cls, m, h, d) V_DEFINE_VAR(t, cls, m, VULPTYPE_VSTRING, h, d, nullptr)
#define VAR_TEXT(t, cls, m, vtype, h, d) V_DEFINE_VAR(t, cls, m, vtype, h, d, nullptr)
#define VAR_COLOR(t, cls, m, h, d) V_DEFINE_VAR(t, cls, m, VULPTYPE_COLOR, h, d, nullptr)
