// Window procedure installed on the application's window configuration.
#include "WindowProc.h"

#include "TideworkImports.h"

#include "engine/core/VisionApp.h"
#include "engine/os/VOs.h"

long WindowProc(void* hwnd, unsigned message, UINT_PTR wParam, INT_PTR lParam) {
  TideworkImports& tidework = TideworkImports::Get();
  switch (message) {
    case WM_SETFOCUS:
      tidework.VisMainApp_SetFocus(true);
      return 1;
    case WM_KILLFOCUS:
      tidework.VisMainApp_SetFocus(false);
      return 1;
    case WM_SETCURSOR:
      // The game draws its own hardware cursor in place of the system one.
      VSetSystemCursorImage(nullptr);
      tidework.MouseCursorManager_ShowD3DCursor(true);
      return 1;
    case WM_MOUSEMOVE: {
      VPoint p;
      VGetCursorPos(p);
      tidework.MouseCursorManager_SetD3DCursorPosition(p.x, p.y);
      break;
    }
    default:
      break;
  }
  return VisionWndProc(hwnd, message, wParam, lParam);
}
