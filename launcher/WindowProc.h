// The launcher's window procedure: feeds focus and cursor events to the game
// plug-in and passes everything else to the engine.
#pragma once

#include "engine/base/VBase.h"

long WindowProc(void* hwnd, unsigned message, UINT_PTR wParam, INT_PTR lParam);
