// Profiling elements and charts: a registry with counters.
#include "engine/base/VProfiling.h"

#include <string>
#include <vector>

namespace {
struct Element {
  std::string name;
  int group;
  int parent;
  int starts = 0;
  int stops = 0;
};
struct Registry {
  std::vector<Element> elements;
  std::vector<std::string> groups;
  int chart = 0;
};
Registry& Reg() {
  static Registry r;
  return r;
}
Element* Find(int id) {
  Registry& r = Reg();
  return id >= 0 && id < (int)r.elements.size() ? &r.elements[id] : nullptr;
}
}  // namespace

int VProfiling::RegisterElement(const char* name, const char* group, int parentId) {
  if (!name || !*name) return -1;
  Registry& r = Reg();
  for (size_t i = 0; i < r.elements.size(); ++i)
    if (r.elements[i].name == name) return (int)i;
  const std::string g = group ? group : "";
  int groupIndex = -1;
  for (size_t i = 0; i < r.groups.size(); ++i)
    if (r.groups[i] == g) groupIndex = (int)i;
  if (groupIndex < 0) {
    groupIndex = (int)r.groups.size();
    r.groups.push_back(g);
  }
  r.elements.push_back({name, groupIndex, Find(parentId) ? parentId : -1});
  return (int)r.elements.size() - 1;
}

void VProfiling::StartElement(int id) {
  if (Element* e = Find(id)) ++e->starts;
}

void VProfiling::StopElement(int id) {
  if (Element* e = Find(id)) ++e->stops;
}

void VProfiling::NextChart() {
  Registry& r = Reg();
  if (!r.groups.empty()) r.chart = (r.chart + 1) % (int)r.groups.size();
}

void VProfiling::PreviousChart() {
  Registry& r = Reg();
  const int n = (int)r.groups.size();
  if (n > 0) r.chart = (r.chart + n - 1) % n;
}

void VProfiling::ResetMaxValues() {
  for (Element& e : Reg().elements) e.starts = e.stops = 0;
}

int VProfiling::GetCurrentChart() { return Reg().chart; }

int VProfiling::GetStartCount(int id) {
  Element* e = Find(id);
  return e ? e->starts : -1;
}

int VProfiling::GetStopCount(int id) {
  Element* e = Find(id);
  return e ? e->stops : -1;
}

int VProfiling::GetElementCount() { return (int)Reg().elements.size(); }

int VProfiling::GetChartCount() { return (int)Reg().groups.size(); }
