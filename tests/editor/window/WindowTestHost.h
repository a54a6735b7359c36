#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cairo.h>

#include "vst2/Vst2Abi.h"

namespace editortest {

// A small VST 2.4 host with a real X window: loads the plug-in module, creates the instance
// through its entry point, records what the plug-in asks of it, opens the editor in a top-level
// window of its own, idles it like a host's timer, drives it with xdotool and takes screenshots.
class WindowTestHost {
 public:
  struct Request {
    std::int32_t opcode;
    std::int32_t index;
    std::intptr_t value;
    float opt;
  };

  WindowTestHost();
  ~WindowTestHost();
  WindowTestHost(const WindowTestHost&) = delete;
  WindowTestHost& operator=(const WindowTestHost&) = delete;

  // Loads the module and creates the instance; false with `error` set when it cannot.
  bool load(const std::string& modulePath, std::string& error);
  bool hasDisplay() const { return m_display != nullptr; }

  std::intptr_t dispatch(std::int32_t opcode, std::int32_t index = 0, std::intptr_t value = 0, void* ptr = nullptr,
                         float opt = 0.0f);
  // Renders `blocks` blocks of `frames` samples (the output is dropped).
  void process(int blocks, int frames);
  void setParameter(int index, float value);
  float getParameter(int index);

  // The editor's rectangle as the host reads it before opening.
  bool editorSize(int& width, int& height);
  // Makes a top-level window of the editor's size and opens the editor in it.
  bool openEditor();
  void closeEditor();
  // Destroys the host's window while the editor is still open in it.
  void destroyParentWindow();
  // Calls the editor's idle every `interval` ms for `duration` ms, handling the host window's
  // own events in between.
  void idle(int duration, int interval = 15);
  // Handles the host window's own waiting events without idling the editor.
  void pumpEvents();

  // The editor's child window (0 when there is none) and its size.
  Window editorWindow() const;
  bool windowSize(Window window, int& width, int& height) const;
  Window parentWindow() const { return m_parent; }
  Display* display() const { return m_display; }

  // Pixels of the host's window as the X server shows them (the caller destroys the surface).
  cairo_surface_t* screenshot() const;
  static void pixel(cairo_surface_t* surface, int x, int y, int& red, int& green, int& blue);

  // Runs xdotool while the editor keeps idling; points are in the window's pixels.
  bool xdotool(std::vector<std::string> arguments);
  bool click(double x, double y);
  // Moves the pointer to the point (no button).
  bool hoverAt(double x, double y);
  bool drag(double x, double y, double toX, double toY);

  // Requests the plug-in sent (automate, begin/end edit, size window ...).
  std::vector<Request> requests;
  // Whether the host agrees to resize its window when the plug-in asks.
  bool allowResize = true;
  // Whether the host says it can resize its window at all ("sizeWindow").
  bool canResize = true;

  static std::intptr_t callback(vst2::EffectRecord* effect, std::int32_t opcode, std::int32_t index,
                                std::intptr_t value, void* ptr, float opt);

 private:
  std::intptr_t answer(std::int32_t opcode, std::int32_t index, std::intptr_t value, void* ptr, float opt);
  std::pair<std::string, std::string> screenPoint(double x, double y) const;

  void* m_module = nullptr;
  vst2::EffectRecord* m_effect = nullptr;
  Display* m_display = nullptr;
  Window m_parent = 0;
  int m_width = 0;
  int m_height = 0;
  bool m_editorOpen = false;
};

}  // namespace editortest
