#pragma once

// Basic types shared by every class of the GUI layer. The layer is a small, self-contained
// widget toolkit (geometry, drawing, views, controls) whose class and method names follow the
// conventions plug-in developers know from the common C++ plug-in GUI toolkits, so editor code
// reads naturally. It knows nothing of any particular plug-in.

#include <cstdint>
#include <string>
#include <vector>

namespace VSTGUI {

using CCoord = double;
using UTF8String = std::string;
using UTF8StringPtr = const char*;
using IdStringPtr = const char*;

class CPoint;
class CRect;
struct CColor;
class CBaseObject;
class CFontDesc;
class CBitmap;
class CDrawContext;
class COffscreenContext;
class CGraphicsPath;
class CView;
class CViewContainer;
class CFrame;
class CControl;
class COptionMenu;
class CMenuItem;
class CVSTGUITimer;

using CFontRef = CFontDesc*;
using PointList = std::vector<CPoint>;

// Horizontal text alignment inside a rectangle.
enum CHoriTxtAlign { kLeftText = 0, kCenterText, kRightText };

// What a drawing call paints: the outline, the inside, or both.
enum CDrawStyle { kDrawStroked = 0, kDrawFilled, kDrawFilledAndStroked };

// Anti-aliasing of shapes and lines.
enum CDrawModeFlags : int32_t { kAliasing = 0, kAntiAliasing = 1 };

// Knob behaviour chosen by the host (circular or linear dragging).
enum CKnobMode : int32_t { kCircularMode = 0, kRelativCircularMode = 1, kLinearMode = 2 };

// Mouse cursors the frame can show.
enum CCursorType : int32_t {
  kCursorDefault = 0,
  kCursorWait,
  kCursorHSize,
  kCursorVSize,
  kCursorSizeAll,
  kCursorNESWSize,
  kCursorNWSESize,
  kCursorCopy,
  kCursorNotAllowed,
  kCursorHand,
  kCursorIBeam,
};

// Answers of the mouse handlers: whether the view wants the rest of the gesture.
enum CMouseEventResult {
  kMouseEventNotImplemented = 0,
  kMouseEventHandled,
  kMouseEventNotHandled,
  kMouseDownEventHandledButDontNeedMovedOrUpEvents,
  kMouseMoveEventHandledButDontNeedMoreEvents,
};

// Which kind of parent window a frame is opened in.
enum class PlatformType : int32_t {
  kDefaultNative = 0,
  kX11EmbedWindowID,  // an X11 window id (the VST 2.4 editor-open request on Linux)
  kOffscreen,         // no window: draws into a buffer only (tests, thumbnails)
};

// Answer of notify().
enum CMessageResult { kMessageUnknown = 0, kMessageNotified = 1 };

// Mouse wheel axis.
enum CMouseWheelAxis { kMouseWheelAxisX = 0, kMouseWheelAxisY };

}  // namespace VSTGUI
