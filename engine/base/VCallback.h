// Engine callbacks: an ordered list of handlers, triggered synchronously.
#pragma once

#include "engine/base/VBase.h"

#include <memory>
#include <unordered_map>
#include <vector>

class VCallback;

// Carries the callback that fired; subclasses add the payload.
class VBASE_IMPEXP IVisCallbackDataObject_cl {
 public:
  explicit IVisCallbackDataObject_cl(VCallback* sender) : m_pSender(sender) {}
  virtual ~IVisCallbackDataObject_cl() = default;
  VCallback* m_pSender;
};

class VBASE_IMPEXP IVisCallbackHandler_cl {
 public:
  virtual ~IVisCallbackHandler_cl() = default;
  virtual void OnHandleCallback(IVisCallbackDataObject_cl* data) = 0;
  // Sort key: handlers run in ascending order of it, registration order among equal keys.
  virtual int GetCallbackSortingKey(VCallback* callback) { return 0; }
};

class VBASE_IMPEXP VCallback {
 public:
  VCallback() = default;
  virtual ~VCallback() = default;
  VCallback(const VCallback&) = delete;
  VCallback& operator=(const VCallback&) = delete;

  // Registering twice has no effect.
  void RegisterCallback(IVisCallbackHandler_cl* handler);
  // Safe during a trigger: the handler is not called again.
  void DeregisterCallback(IVisCallbackHandler_cl* handler);
  bool IsRegistered(const IVisCallbackHandler_cl* handler) const;
  int GetCallbackCount() const;
  // Calls every handler in order; handlers added during the trigger wait for the next one.
  void TriggerCallbacks(IVisCallbackDataObject_cl* data = nullptr);

 private:
  struct Entry {
    IVisCallbackHandler_cl* handler;
    int key;
    uint64_t order;
  };
  std::vector<Entry> m_entries;
  // Where each live handler sorts (key, order): finds it without walking the list,
  // which holds thousands of handlers in a large scene. Made on first use, so that
  // the engine's global callbacks stay constant-initialised: plug-ins register with
  // them from their own static initialisers.
  using Index = std::unordered_map<const IVisCallbackHandler_cl*, std::pair<int, uint64_t>>;
  std::unique_ptr<Index> m_index;
  uint64_t m_nextOrder = 0;
  int m_triggerDepth = 0;
  bool m_hasRemoved = false;
};
