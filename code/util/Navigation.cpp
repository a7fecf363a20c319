// The land path finder.
#include "util/Navigation.h"

Navigation::Navigation() = default;

Navigation::~Navigation() = default;

bool Navigation::IsWalkableAt(const VisVector_cl&) const { return false; }
