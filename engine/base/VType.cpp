// Type records: the registry of engine classes, creation by name, typed objects.
#include "engine/base/VType.h"

#include "engine/base/VString.h"
#include "engine/base/VarTable.h"

#include <algorithm>
#include <vector>

namespace {
// Type records are static objects of many files and libraries, so the list is
// made on first use and never destroyed: records of a library unloaded at exit
// may still remove themselves after every other static is gone.
std::vector<VType*>& Registry() {
  static std::vector<VType*>* types = new std::vector<VType*>();
  return *types;
}
}  // namespace

VType VTypedObject::classVTypedObject("VTypedObject", nullptr, nullptr, (int)sizeof(VTypedObject));

VType::VType(const char* className, VType* parent, CreateFn create, int objectSize, void (*buildVars)(VARTABLE&))
    : m_szClassName(className ? className : ""),
      m_pParent(parent),
      m_pCreate(create),
      m_iObjectSize(objectSize),
      m_pBuildVars(buildVars) {
  Registry().push_back(this);
}

VType::~VType() {
  std::vector<VType*>& types = Registry();
  types.erase(std::remove(types.begin(), types.end(), this), types.end());
  delete m_pVarTable;
}

bool VType::IsDerivedFrom(const VType* base) const {
  if (!base) return false;
  for (const VType* t = this; t; t = t->m_pParent)
    if (t == base) return true;
  return false;
}

VARTABLE* VType::GetVarTable() {
  if (!m_pVarTable) {
    auto* table = new VARTABLE();
    if (m_pParent)
      if (VARTABLE* inherited = m_pParent->GetVarTable())
        for (int i = 0; i < inherited->GetCount(); ++i) table->Add(inherited->Get(i));
    if (m_pBuildVars) m_pBuildVars(*table);
    m_pVarTable = table;
  }
  return m_pVarTable;
}

VType* VType::FindType(const char* className) {
  if (!className) return nullptr;
  for (VType* t : Registry())
    if (VStringICompare(t->m_szClassName, className) == 0) return t;
  return nullptr;
}

VTypedObject* VType::CreateObject(const char* className) {
  VType* t = FindType(className);
  return t ? t->CreateInstance() : nullptr;
}

int VType::GetTypeCount() { return (int)Registry().size(); }

VType* VType::GetTypeAt(int i) {
  std::vector<VType*>& types = Registry();
  return i >= 0 && i < (int)types.size() ? types[(size_t)i] : nullptr;
}

// Typed objects -----------------------------------------------------------------

bool VTypedObject::IsOfType(const char* className) const {
  for (const VType* t = GetTypeId(); t; t = t->GetParent())
    if (VStringICompare(t->GetClassName(), className) == 0) return true;
  return false;
}

VisVariable_cl* VTypedObject::GetVariable(const char* name) const {
  VARTABLE* table = GetTypeId()->GetVarTable();
  return table ? table->Find(name) : nullptr;
}

bool VTypedObject::GetVariableValue(const char* name, VString& out) const {
  VisVariable_cl* var = GetVariable(name);
  if (!var) return false;
  var->GetValueAsText(const_cast<VTypedObject*>(this), out);
  return true;
}

bool VTypedObject::SetVariable(const char* name, const char* value) {
  VisVariable_cl* var = GetVariable(name);
  if (!var || !var->SetValueFromText(this, value)) return false;
  OnVariableValueChanged(var, value);
  return true;
}
