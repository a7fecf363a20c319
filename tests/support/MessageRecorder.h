// A component that records the messages its owner receives.
#pragma once

#include "engine/Vision.h"

#include <vector>

class MessageRecorder : public IVObjectComponent {
 public:
  void MessageFunction(int id, INT_PTR p1, INT_PTR) override {
    ids.push_back(id);
    firstParameters.push_back(p1);
  }
  int Count(int id) const {
    int n = 0;
    for (int i : ids) n += i == id;
    return n;
  }
  std::vector<int> ids;
  std::vector<INT_PTR> firstParameters;
};
