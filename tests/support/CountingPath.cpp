#include "support/CountingPath.h"

V_IMPLEMENT_DYNCREATE(CountingPath, VisPath_cl)
int CountingPath::destroyed = 0;
