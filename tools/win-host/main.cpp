// skarvel-win-host: loads the real Skarvel.dll through its entry point the way a Windows host
// does.
//
//   skarvel-win-host check PLUGIN.dll            dispatcher answers and chunk round trip
//   skarvel-win-host render PLUGIN.dll OUT.wav   the demo phrase as a 32-bit float WAV
//   skarvel-win-host editor PLUGIN.dll SHOT.png  opens the editor in a hidden parent window
//                                                and keeps a screenshot (exit 77: no windows)
//   skarvel-win-host compare PLUGIN.dll REF.wav [TOLERANCE]
//                                                renders the demo phrase and compares it with a
//                                                render of the same phrase (from Linux)
//
// The render matches skarvel-render's: 44100 Hz, blocks of 512 frames, 2 s tail, events and
// parameter cues at the frame nearest their time, float samples written unclipped.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <windows.h>

#include <set>

#include "DemoPhrase.h"
#ifdef SKARVEL_WIN_HOST_EDITOR
#include "Frameworks/Gui/win32/GdiBitmap.h"
#endif
#include "FloatWav.h"
#include "MidiFile.h"
#include "PluginHost.h"

namespace {

using winhost::FloatAudio;
using render::PluginHost;

constexpr double kSampleRate = 44100.0;
constexpr int kBlockSize = 512;
constexpr double kTailSeconds = 2.0;

int g_failures = 0;

void expect(bool ok, const std::string& what) {
  std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
  if (!ok) ++g_failures;
}

std::string text(const std::vector<unsigned char>& bytes) { return std::string(bytes.begin(), bytes.end()); }

int check(const std::string& plugin) {
  PluginHost host;
  std::string error;
  if (!host.load(plugin, error)) {
    std::fprintf(stderr, "skarvel-win-host: %s\n", error.c_str());
    return 1;
  }
  const vst2::EffectRecord& effect = *host.effect();
  expect(effect.numParams == 36, "36 parameters (" + std::to_string(effect.numParams) + ")");
  expect(effect.numInputs == 0 && effect.numOutputs == 2, "no inputs, two outputs");
  expect((effect.flags & vst2::flags::isSynth) && (effect.flags & vst2::flags::programChunks) &&
             (effect.flags & vst2::flags::canReplacing) && effect.processReplacing,
         "an instrument that takes chunks and replaces its output");
  expect(effect.uniqueID != 0, "a unique id");
  expect(host.dispatch(vst2::effect::getVstVersion) == 2400, "VST version 2400");
  expect(host.dispatch(vst2::effect::getPlugCategory) == vst2::kCategorySynth, "category: synth");
  const std::string name = host.dispatchText(vst2::effect::getEffectName);
  const std::string vendor = host.dispatchText(vst2::effect::getVendorString);
  const std::string product = host.dispatchText(vst2::effect::getProductString);
  expect(!name.empty() && !vendor.empty() && !product.empty(),
         "names: '" + name + "', vendor '" + vendor + "', product '" + product + "'");
  expect(host.dispatch(vst2::effect::canDo, 0, 0, const_cast<char*>("receiveVstMidiEvent")) == 1,
         "can receive MIDI events");
  expect(host.dispatchText(vst2::effect::getParamName, 0) == "Rate1", "parameter 0 is Rate1");
  expect(host.findParameter("RateScaleUp") == 35, "parameter 35 is RateScaleUp");
  const std::string display = host.dispatchText(vst2::effect::getParamDisplay, 0);
  expect(!display.empty(), "parameter 0 shows '" + display + "'");
  expect(!host.dispatchText(vst2::effect::getProgramName).empty(),
         "program name '" + host.dispatchText(vst2::effect::getProgramName) + "'");

  // Chunk round trip: the state leaves as YAML text and comes back whole.
  const std::vector<unsigned char> before = host.chunk();
  expect(text(before).find("Params:") != std::string::npos, "the chunk is the program's YAML text");
  const float original = host.getParameter(0);
  host.setParameter(0, 0.25f);
  expect(host.getParameter(0) == 0.25f, "a parameter set by the host reads back");
  const std::vector<unsigned char> edited = host.chunk();
  expect(text(edited).find("Rate1: 0.25") != std::string::npos, "the chunk carries the host's change");
  expect(host.setChunk(before), "the earlier chunk is accepted");
  expect(host.getParameter(0) == original, "the earlier chunk restores the parameter");
  expect(text(host.chunk()).find("Params:") != std::string::npos, "the chunk is still whole after setChunk");
  const std::string broken = "---\nnot a preset\n";
  expect(!host.setChunk(std::vector<unsigned char>(broken.begin(), broken.end())), "a broken chunk is refused");
  expect(host.getParameter(0) == original, "a refused chunk changes nothing");

  // A short note sounds, and nothing but numbers comes out.
  host.start(kSampleRate, kBlockSize);
  vst2::MidiEvent note{};
  note.type = vst2::kMidiEventType;
  note.byteSize = sizeof note;
  note.midiData[0] = static_cast<char>(0x90);
  note.midiData[1] = 60;
  note.midiData[2] = 100;
  std::vector<unsigned char> storage(sizeof(vst2::EventList) + sizeof(vst2::Event*));
  auto* list = reinterpret_cast<vst2::EventList*>(storage.data());
  list->numEvents = 1;
  list->events[0] = reinterpret_cast<vst2::Event*>(&note);
  host.processEvents(list);
  std::vector<float> left(kBlockSize), right(kBlockSize);
  float* outputs[2] = {left.data(), right.data()};
  double energy = 0.0;
  bool finite = true;
  for (int block = 0; block < 40; ++block) {
    host.process(outputs, kBlockSize);
    for (int i = 0; i < kBlockSize; ++i) {
      finite = finite && std::isfinite(left[i]) && std::isfinite(right[i]);
      energy += double(left[i]) * left[i] + double(right[i]) * right[i];
    }
  }
  host.stop();
  expect(finite, "every sample is a finite number");
  expect(energy > 0.0, "a played note sounds");
  host.close();
  std::printf("%d check(s) failed\n", g_failures);
  return g_failures == 0 ? 0 : 1;
}

bool renderDemo(const std::string& plugin, FloatAudio& audio, std::string& error) {
  render::MidiSequence midi;
  std::vector<render::ParameterCue> cues;
  render::demoPhrase(midi, cues);
  PluginHost host;
  if (!host.load(plugin, error)) return false;
  std::vector<int> cueIds;
  for (const render::ParameterCue& cue : cues) cueIds.push_back(host.findParameter(cue.name));
  host.start(kSampleRate, kBlockSize);

  const long long totalFrames = std::llround((midi.lengthSeconds + kTailSeconds) * kSampleRate);
  audio.sampleRate = static_cast<int>(kSampleRate);
  audio.channels = 2;
  audio.samples.assign(static_cast<std::size_t>(2 * totalFrames), 0.0f);
  std::vector<float> left(kBlockSize), right(kBlockSize);
  float* outputs[2] = {left.data(), right.data()};
  std::vector<vst2::MidiEvent> events;
  std::vector<unsigned char> storage;
  std::size_t nextEvent = 0, nextCue = 0;
  for (long long start = 0; start < totalFrames; start += kBlockSize) {
    const int frames = static_cast<int>(std::min<long long>(kBlockSize, totalFrames - start));
    const long long end = start + frames;
    while (nextCue < cues.size() && std::llround(cues[nextCue].seconds * kSampleRate) < end) {
      if (cueIds[nextCue] >= 0) host.setParameter(cueIds[nextCue], cues[nextCue].value);
      ++nextCue;
    }
    events.clear();
    while (nextEvent < midi.events.size() && std::llround(midi.events[nextEvent].seconds * kSampleRate) < end) {
      const long long frame = std::llround(midi.events[nextEvent].seconds * kSampleRate);
      vst2::MidiEvent event{};
      event.type = vst2::kMidiEventType;
      event.byteSize = sizeof event;
      event.deltaFrames = static_cast<std::int32_t>(std::max(0LL, frame - start));
      std::memcpy(event.midiData, midi.events[nextEvent].bytes, 3);
      events.push_back(event);
      ++nextEvent;
    }
    if (!events.empty()) {
      storage.assign(sizeof(vst2::EventList) + sizeof(vst2::Event*) * events.size(), 0);
      auto* list = reinterpret_cast<vst2::EventList*>(storage.data());
      list->numEvents = static_cast<std::int32_t>(events.size());
      for (std::size_t i = 0; i < events.size(); ++i)
        vst2::setEventAt(*list, i, reinterpret_cast<vst2::Event*>(&events[i]));
      host.processEvents(list);
    }
    std::fill(left.begin(), left.end(), 0.0f);
    std::fill(right.begin(), right.end(), 0.0f);
    host.process(outputs, frames);
    for (int i = 0; i < frames; ++i) {
      // Float samples as they are: a float WAV holds values beyond -1..1 unclipped.
      audio.samples[2 * (start + i)] = left[i];
      audio.samples[2 * (start + i) + 1] = right[i];
    }
  }
  host.stop();
  return true;
}

int compare(const std::string& plugin, const std::string& reference, double tolerance) {
  FloatAudio linux, windows;
  std::string error;
  if (!winhost::readFloatWav(reference, linux, error) || !renderDemo(plugin, windows, error)) {
    std::fprintf(stderr, "skarvel-win-host: %s\n", error.c_str());
    return 1;
  }
  if (linux.samples.size() != windows.samples.size() || linux.channels != 2) {
    std::printf("FAIL lengths differ: %zu samples here, %zu in the reference\n", windows.samples.size(),
                linux.samples.size());
    return 1;
  }
  double maxDifference = 0.0, differenceEnergy = 0.0, signalEnergy = 0.0, peak = 0.0;
  std::size_t worst = 0;
  for (std::size_t i = 0; i < linux.samples.size(); ++i) {
    const double difference = std::fabs(double(windows.samples[i]) - linux.samples[i]);
    if (!(difference <= maxDifference)) {
      maxDifference = difference;
      worst = i;
    }
    differenceEnergy += difference * difference;
    signalEnergy += double(linux.samples[i]) * linux.samples[i];
    peak = std::max(peak, std::fabs(double(linux.samples[i])));
  }
  const double ratioDb = 10.0 * std::log10((differenceEnergy + 1e-30) / (signalEnergy + 1e-30));
  std::printf("%zu frames, peak %.4f; largest difference %.3g at frame %zu; difference energy %.1f dB below the "
              "signal\n",
              linux.samples.size() / 2, peak, maxDifference, worst / 2, -ratioDb);
  const bool ok = peak > 0.01 && maxDifference <= tolerance;
  std::printf("%s the Windows render matches the Linux render within %.3g\n", ok ? "ok  " : "FAIL", tolerance);
  return ok ? 0 : 1;
}

#ifdef SKARVEL_WIN_HOST_EDITOR
// Lets the host's message loop run and the editor idle, as a host does between its own work.
void pumpEditor(PluginHost& host, int rounds) {
  for (int i = 0; i < rounds; ++i) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    host.dispatch(vst2::effect::editIdle);
    Sleep(5);
  }
}

// The window's picture as it paints itself (works for hidden windows too).
bool screenshot(HWND window, int width, int height, const std::string& path, int& colours) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  ReleaseDC(nullptr, screen);
  if (!memory || !bitmap || !bits) return false;
  HGDIOBJ old = SelectObject(memory, bitmap);
  SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
  GdiFlush();
  std::set<std::uint32_t> seen;
  auto picture = VSTGUI::Win32::GdiBitmap::create(VSTGUI::CPoint(width, height));
  const auto* pixels = static_cast<const std::uint32_t*>(bits);
  for (int i = 0; i < width * height; ++i) {
    const std::uint32_t opaque = pixels[i] | 0xFF000000u;
    seen.insert(opaque);
    if (picture) std::memcpy(picture->getData() + 4 * i, &opaque, 4);
  }
  colours = static_cast<int>(seen.size());
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  if (!picture) return false;
  picture->markDirty();
  return picture->writePNG(path);
}

int editor(const std::string& plugin, const std::string& shotPath) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = DefWindowProcW;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"SkarvelWinHost";
  RegisterClassW(&windowClass);
  // Hidden: a host may open the editor before it shows the window it put it in.
  const HWND parent = CreateWindowExW(0, L"SkarvelWinHost", L"skarvel-win-host", WS_OVERLAPPEDWINDOW, 0, 0, 1200, 800,
                                      nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!parent) {
    std::printf("no window system here: the editor cannot be opened\n");
    return 77;
  }
  PluginHost host;
  std::string error;
  if (!host.load(plugin, error)) {
    std::fprintf(stderr, "skarvel-win-host: %s\n", error.c_str());
    return 1;
  }
  expect((host.effect()->flags & vst2::flags::hasEditor) != 0, "the plug-in has an editor");
  vst2::EditorRect* rect = nullptr;
  host.dispatch(vst2::effect::editGetRect, 0, 0, &rect);
  const int width = rect ? rect->right - rect->left : 0;
  const int height = rect ? rect->bottom - rect->top : 0;
  expect(width > 0 && height > 0, "editor size " + std::to_string(width) + " x " + std::to_string(height));
  expect(host.dispatch(vst2::effect::editOpen, 0, 0, parent) != 0, "the editor opens in the host's window");
  pumpEditor(host, 40);
  const HWND child = GetWindow(parent, GW_CHILD);
  expect(child != nullptr && GetParent(child) == parent, "the editor is a child window of the host's window");
  RECT client{};
  if (child) GetClientRect(child, &client);
  expect(client.right == width && client.bottom == height, "the child window has the editor's size");
  int colours = 0;
  const bool shot = child && width > 0 && screenshot(child, width, height, shotPath, colours);
  expect(shot, "screenshot written to " + shotPath);
  expect(colours > 16, "the editor drew its panel (" + std::to_string(colours) + " colours)");
  host.dispatch(vst2::effect::editClose);
  pumpEditor(host, 3);
  expect(!child || !IsWindow(child), "closing the editor removes its window");
  host.close();
  DestroyWindow(parent);
  std::printf("%d check(s) failed\n", g_failures);
  return g_failures == 0 ? 0 : 1;
}
#endif

int usage() {
  std::fputs("usage: skarvel-win-host check PLUGIN.dll\n"
             "       skarvel-win-host render PLUGIN.dll OUT.wav\n"
             "       skarvel-win-host editor PLUGIN.dll SHOT.png\n"
             "       skarvel-win-host compare PLUGIN.dll REFERENCE.wav [TOLERANCE]\n",
             stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return usage();
  const std::string command = argv[1];
  const std::string plugin = argv[2];
  if (command == "check" && argc == 3) return check(plugin);
  if (command == "render" && argc == 4) {
    FloatAudio audio;
    std::string error;
    if (!renderDemo(plugin, audio, error) || !winhost::writeFloatWav(argv[3], audio)) {
      std::fprintf(stderr, "skarvel-win-host: %s\n", error.empty() ? "cannot write the render" : error.c_str());
      return 1;
    }
    return 0;
  }
#ifdef SKARVEL_WIN_HOST_EDITOR
  if (command == "editor" && argc == 4) return editor(plugin, argv[3]);
#endif
  if (command == "compare" && (argc == 4 || argc == 5)) {
    const double tolerance = argc == 5 ? std::strtod(argv[4], nullptr) : 1e-4;
    return compare(plugin, argv[3], tolerance);
  }
  return usage();
}
