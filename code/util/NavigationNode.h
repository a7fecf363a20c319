// One node of the land path search: a grid cell with its costs and links.
#pragma once

struct NavigationNode {
  int column = 0;
  int row = 0;
  float g = 0.0f;  // cost from the start
  float h = 0.0f;  // estimate to the target
  float f = 0.0f;  // g + h
  bool diagonal = false;
  NavigationNode* parent = nullptr;
  NavigationNode* child = nullptr;  // filled when the path is traced back
};
