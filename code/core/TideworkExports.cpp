#include "core/TideworkExports.h"
