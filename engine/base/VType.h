// Type records of engine classes: name, parent, creation by class name.
#pragma once

#include "engine/base/VBase.h"

class VTypedObject;
class VArchive;
class VARTABLE;

class VBASE_IMPEXP VType {
 public:
  typedef VTypedObject* (*CreateFn)();
  VType(const char* className, VType* parent, CreateFn create, int objectSize,
        void (*buildVars)(VARTABLE&) = nullptr);
  ~VType();

  const char* GetClassName() const { return m_szClassName; }
  VType* GetParent() const { return m_pParent; }
  // Derived classes match.
  bool IsDerivedFrom(const VType* base) const;
  bool CanCreate() const { return m_pCreate != nullptr; }
  VTypedObject* CreateInstance() const { return m_pCreate ? m_pCreate() : nullptr; }
  int GetObjectSize() const { return m_iObjectSize; }
  // Optional name shown to users ("Volumetric Fog").
  const char* GetDisplayName() const { return m_szDisplayName ? m_szDisplayName : m_szClassName; }
  void SetDisplayName(const char* name) { m_szDisplayName = name; }
  // Engine variables of the class, inherited ones first; built on first use.
  VARTABLE* GetVarTable();

  // Registered types, found by class name without regard to case. Records add
  // themselves when constructed (in any order) and leave when destroyed.
  static VType* FindType(const char* className);
  static VTypedObject* CreateObject(const char* className);
  static int GetTypeCount();
  static VType* GetTypeAt(int i);

 private:
  const char* m_szClassName;
  VType* m_pParent;
  CreateFn m_pCreate;
  int m_iObjectSize;
  const char* m_szDisplayName = nullptr;
  void (*m_pBuildVars)(VARTABLE&);
  VARTABLE* m_pVarTable = nullptr;
};

// Declares the type record of a class; V_IMPLEMENT_* defines it.
#define V_DECLARE_DYNAMIC(cls)                  \
 public:                                        \
  static VType class##cls;                      \
  static VType* GetClassTypeId() { return &class##cls; } \
  VType* GetTypeId() const override { return &class##cls; }

#define V_DECLARE_DYNCREATE(cls)                \
  V_DECLARE_DYNAMIC(cls)                        \
  static VTypedObject* CreateObject();

#define V_RUNTIME_CLASS(cls) (&cls::class##cls)

#define V_IMPLEMENT_DYNAMIC(cls, base) \
  VType cls::class##cls(#cls, V_RUNTIME_CLASS(base), nullptr, (int)sizeof(cls));

#define V_IMPLEMENT_DYNCREATE(cls, base) \
  VTypedObject* cls::CreateObject() { return new cls(); } \
  VType cls::class##cls(#cls, V_RUNTIME_CLASS(base), &cls::CreateObject, (int)sizeof(cls));

// As above, with the class's engine-variable builder (see VarTable.h).
#define V_IMPLEMENT_DYNCREATE_VARS(cls, base, buildFn) \
  VTypedObject* cls::CreateObject() { return new cls(); } \
  VType cls::class##cls(#cls, V_RUNTIME_CLASS(base), &cls::CreateObject, (int)sizeof(cls), buildFn);

// Base of every typed engine object.
class VBASE_IMPEXP VTypedObject {
 public:
  static VType classVTypedObject;
  static VType* GetClassTypeId() { return &classVTypedObject; }
  virtual VType* GetTypeId() const { return &classVTypedObject; }
  virtual ~VTypedObject() = default;

  bool IsOfType(const VType* type) const { return GetTypeId()->IsDerivedFrom(type); }
  bool IsOfType(const char* className) const;
  // Exact class test (no derived classes).
  bool IsExactType(const VType* type) const { return GetTypeId() == type; }
  const char* GetClassTypeName() const { return GetTypeId()->GetClassName(); }

  // Save and restore; the default writes nothing.
  virtual void Serialize(VArchive& ar) {}
  // Engine variables by name (see VarTable.h); null when the class has none of that name.
  class VisVariable_cl* GetVariable(const char* name) const;
  // Text form of a variable's value and setting it from text; false for an unknown name.
  bool GetVariableValue(const char* name, class VString& out) const;
  virtual bool SetVariable(const char* name, const char* value);
  // Called after a variable changed through SetVariable (engine message 11001 for engine objects).
  virtual void OnVariableValueChanged(class VisVariable_cl* var, const char* value) {}
};
