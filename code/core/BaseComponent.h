// Common base of the game's components: one shared type record, and access to any
// component property by its variable name for scripts ("SetProperty"/"GetProperty").
//
// Components with per-frame work also derive from IVisCallbackHandler_cl, register
// on Vision::Callbacks.OnUpdateSceneBegin in SetOwner when they get an owner, leave
// it when the owner is cleared (and in their destructor), and call their own Update
// from OnHandleCallback. They then update in the order in which they registered.
#pragma once

#include "engine/core/IVObjectComponent.h"

class BaseComponent : public IVObjectComponent {
  V_DECLARE_DYNCREATE(BaseComponent)
 public:
  BaseComponent() : IVObjectComponent(0, 0) {}
  ~BaseComponent() override;

  // The script form of a variable type.
  enum PropertyKind {
    PROPERTY_UNSUPPORTED = 0,
    PROPERTY_NUMBER,  // int and enum (truncated), float, double
    PROPERTY_BOOL,
    PROPERTY_VECTOR,  // int (each component truncated), float and double vectors
    PROPERTY_TEXT,    // every text type, through the variable's text form
    PROPERTY_COLOR,
  };
  static PropertyKind GetPropertyKind(int variableType);
  // The kind of the named property; PROPERTY_UNSUPPORTED also for an unknown name.
  PropertyKind GetPropertyKind(const char* name) const;

  // Set the named variable directly (no change notice). False, with nothing
  // changed, for an unknown name or a variable of another kind.
  bool SetPropertyNumber(const char* name, double value);
  bool SetPropertyBool(const char* name, bool value);
  bool SetPropertyVector(const char* name, double x, double y, double z);
  bool SetPropertyText(const char* name, const char* text);
  bool SetPropertyColor(const char* name, const VColorRef& colour);

  // Read the named variable; false, leaving out alone, for an unknown name or a
  // variable of another kind. A text variable without text reads as "".
  bool GetPropertyNumber(const char* name, double& out) const;
  bool GetPropertyBool(const char* name, bool& out) const;
  bool GetPropertyVector(const char* name, double& x, double& y, double& z) const;
  bool GetPropertyText(const char* name, VString& out) const;
  bool GetPropertyColor(const char* name, VColorRef& out) const;
};
