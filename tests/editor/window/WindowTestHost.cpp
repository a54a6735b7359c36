#include "tests/editor/window/WindowTestHost.h"

#include <chrono>
#include <cstring>
#include <thread>

#include <dlfcn.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace editortest {

namespace {
WindowTestHost* g_loading = nullptr;  // the host whose plug-in is being created

using EntryPoint = vst2::EffectRecord* (*)(vst2::HostCallback);
}  // namespace

WindowTestHost::WindowTestHost() {
  // The server may still be busy closing the previous test's connections.
  m_display = XOpenDisplay(nullptr);
  for (int i = 0; !m_display && i < 50; ++i) {
    usleep(20000);
    m_display = XOpenDisplay(nullptr);
  }
}

WindowTestHost::~WindowTestHost() {
  if (m_effect) {
    if (m_editorOpen) closeEditor();
    dispatch(vst2::effect::close);
    m_effect = nullptr;
  }
  if (m_module) dlclose(m_module);
  if (m_display) {
    if (m_parent) XDestroyWindow(m_display, m_parent);
    XCloseDisplay(m_display);
  }
}

bool WindowTestHost::load(const std::string& modulePath, std::string& error) {
  // Kept mapped after close, so leak checkers can name what the module allocated.
  m_module = dlopen(modulePath.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
  if (!m_module) {
    error = dlerror();
    return false;
  }
  auto entry = reinterpret_cast<EntryPoint>(dlsym(m_module, "VSTPluginMain"));
  if (!entry) {
    error = "no VSTPluginMain";
    return false;
  }
  g_loading = this;
  m_effect = entry(&WindowTestHost::callback);
  g_loading = nullptr;
  if (!m_effect || m_effect->magic != vst2::kEffectMagic) {
    error = "the entry point gave no effect";
    m_effect = nullptr;
    return false;
  }
  m_effect->user = this;
  dispatch(vst2::effect::open);
  return true;
}

std::intptr_t WindowTestHost::callback(vst2::EffectRecord* effect, std::int32_t opcode, std::int32_t index,
                                       std::intptr_t value, void* ptr, float opt) {
  WindowTestHost* host = effect && effect->user ? static_cast<WindowTestHost*>(effect->user) : g_loading;
  if (opcode == vst2::host::version) return 2400;
  return host ? host->answer(opcode, index, value, ptr, opt) : 0;
}

std::intptr_t WindowTestHost::answer(std::int32_t opcode, std::int32_t index, std::intptr_t value, void* ptr,
                                     float opt) {
  requests.push_back({opcode, index, value, opt});
  switch (opcode) {
    case vst2::host::canDo:
      return canResize && ptr && std::strcmp(static_cast<const char*>(ptr), "sizeWindow") == 0 ? 1 : 0;
    case vst2::host::sizeWindow:
      if (!allowResize || !m_parent) return 0;
      m_width = index;
      m_height = static_cast<int>(value);
      XResizeWindow(m_display, m_parent, static_cast<unsigned>(m_width), static_cast<unsigned>(m_height));
      XSync(m_display, False);
      return 1;
    case vst2::host::getSampleRate:
      return 44100;
    case vst2::host::getBlockSize:
      return 256;
    default:
      return 0;
  }
}

std::intptr_t WindowTestHost::dispatch(std::int32_t opcode, std::int32_t index, std::intptr_t value, void* ptr,
                                       float opt) {
  return m_effect ? m_effect->dispatcher(m_effect, opcode, index, value, ptr, opt) : 0;
}

void WindowTestHost::process(int blocks, int frames) {
  std::vector<float> left(static_cast<std::size_t>(frames)), right(static_cast<std::size_t>(frames));
  float* outputs[2] = {left.data(), right.data()};
  for (int block = 0; block < blocks && m_effect; ++block) m_effect->processReplacing(m_effect, nullptr, outputs, frames);
}

void WindowTestHost::setParameter(int index, float value) {
  if (m_effect) m_effect->setParameter(m_effect, index, value);
}

float WindowTestHost::getParameter(int index) { return m_effect ? m_effect->getParameter(m_effect, index) : 0.0f; }

bool WindowTestHost::editorSize(int& width, int& height) {
  vst2::EditorRect* rect = nullptr;
  if (dispatch(vst2::effect::editGetRect, 0, 0, &rect) != 1 || !rect) return false;
  width = rect->right - rect->left;
  height = rect->bottom - rect->top;
  return true;
}

bool WindowTestHost::openEditor() {
  if (!m_display || !editorSize(m_width, m_height)) return false;
  if (!m_parent) {
    m_parent = XCreateSimpleWindow(m_display, DefaultRootWindow(m_display), 0, 0, static_cast<unsigned>(m_width),
                                   static_cast<unsigned>(m_height), 0, 0, 0);
    XMapWindow(m_display, m_parent);
  } else {
    XResizeWindow(m_display, m_parent, static_cast<unsigned>(m_width), static_cast<unsigned>(m_height));
  }
  XSync(m_display, False);
  m_editorOpen = dispatch(vst2::effect::editOpen, 0, 0, reinterpret_cast<void*>(m_parent)) == 1;
  if (m_editorOpen) idle(150);
  return m_editorOpen;
}

void WindowTestHost::closeEditor() {
  dispatch(vst2::effect::editClose);
  m_editorOpen = false;
}

void WindowTestHost::destroyParentWindow() {
  XDestroyWindow(m_display, m_parent);
  XSync(m_display, False);
  m_parent = 0;
}

void WindowTestHost::idle(int duration, int interval) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(duration);
  do {
    if (m_editorOpen) dispatch(vst2::effect::editIdle);
    pumpEvents();
    std::this_thread::sleep_for(std::chrono::milliseconds(interval));
  } while (std::chrono::steady_clock::now() < end);
}

void WindowTestHost::pumpEvents() {
  while (m_display && XPending(m_display)) {
    XEvent event;
    XNextEvent(m_display, &event);
  }
}

Window WindowTestHost::editorWindow() const {
  if (!m_display || !m_parent) return 0;
  Window root = 0, parent = 0, *children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(m_display, m_parent, &root, &parent, &children, &count)) return 0;
  const Window child = count > 0 ? children[count - 1] : 0;
  if (children) XFree(children);
  return child;
}

bool WindowTestHost::windowSize(Window window, int& width, int& height) const {
  XWindowAttributes attributes{};
  if (!window || !XGetWindowAttributes(m_display, window, &attributes)) return false;
  width = attributes.width;
  height = attributes.height;
  return true;
}

cairo_surface_t* WindowTestHost::screenshot() const {
  int width = 0, height = 0;
  if (!windowSize(m_parent, width, height)) return nullptr;
  XImage* image = XGetImage(m_display, m_parent, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height),
                            AllPlanes, ZPixmap);
  if (!image) return nullptr;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
  unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      reinterpret_cast<std::uint32_t*>(data + y * stride)[x] =
          static_cast<std::uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFFu;
  cairo_surface_mark_dirty(surface);
  XDestroyImage(image);
  return surface;
}

void WindowTestHost::pixel(cairo_surface_t* surface, int x, int y, int& red, int& green, int& blue) {
  const std::uint32_t word = reinterpret_cast<const std::uint32_t*>(
      cairo_image_surface_get_data(surface) + y * cairo_image_surface_get_stride(surface))[x];
  red = static_cast<int>((word >> 16) & 0xFF);
  green = static_cast<int>((word >> 8) & 0xFF);
  blue = static_cast<int>(word & 0xFF);
}

std::pair<std::string, std::string> WindowTestHost::screenPoint(double x, double y) const {
  int sx = 0, sy = 0;
  Window child = 0;
  XTranslateCoordinates(m_display, m_parent, DefaultRootWindow(m_display), static_cast<int>(x), static_cast<int>(y),
                        &sx, &sy, &child);
  return {std::to_string(sx), std::to_string(sy)};
}

bool WindowTestHost::xdotool(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), "xdotool");
  std::vector<char*> argv;
  for (auto& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawnp(&pid, "xdotool", nullptr, nullptr, argv.data(), environ) != 0) return false;
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) == 0) idle(5, 2);
  idle(120);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool WindowTestHost::click(double x, double y) {
  auto [sx, sy] = screenPoint(x, y);
  return xdotool({"mousemove", sx, sy, "click", "1"});
}

bool WindowTestHost::hoverAt(double x, double y) {
  auto [sx, sy] = screenPoint(x, y);
  return xdotool({"mousemove", sx, sy});
}

bool WindowTestHost::drag(double x, double y, double toX, double toY) {
  auto [sx, sy] = screenPoint(x, y);
  auto [mx, my] = screenPoint((x + toX) / 2, (y + toY) / 2);
  auto [ex, ey] = screenPoint(toX, toY);
  return xdotool({"mousemove", sx, sy, "mousedown", "1"}) && xdotool({"mousemove", mx, my}) &&
         xdotool({"mousemove", ex, ey}) && xdotool({"mouseup", "1"});
}

}  // namespace editortest
