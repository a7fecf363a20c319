// The frame's draw list.
#include "engine/render/VisDrawList.h"

int VisDrawList_cl::Count(int kind) const {
  int n = 0;
  for (const VisDrawItem_t& item : m_items)
    if (item.kind == kind) ++n;
  return n;
}

const VisDrawItem_t* VisDrawList_cl::Find(const void* object, int kind) const {
  for (const VisDrawItem_t& item : m_items)
    if (item.object == object && item.kind == kind) return &item;
  return nullptr;
}
