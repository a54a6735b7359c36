#include "PhraseRender.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace lv2host {

namespace {

// A MIDI message's length from its status byte: program change and channel pressure carry one
// data byte, the other channel messages two.
std::uint32_t messageSize(unsigned char status) {
  const unsigned kind = status & 0xF0u;
  return kind == 0xC0u || kind == 0xD0u ? 2u : 3u;
}

// Walks the phrase block by block: `cue(i)` applies cue i, `event(frame, bytes)` queues a MIDI
// message at a frame of the block, `block(frames)` renders it.
template <typename Cue, typename Event, typename Block>
void play(const render::MidiSequence& midi, const std::vector<render::ParameterCue>& cues, double rate, int blockSize,
          long long totalFrames, Cue cue, Event event, Block block) {
  std::size_t nextEvent = 0, nextCue = 0;
  for (long long start = 0; start < totalFrames; start += blockSize) {
    const int frames = static_cast<int>(std::min<long long>(blockSize, totalFrames - start));
    const long long end = start + frames;
    while (nextCue < cues.size() && std::llround(cues[nextCue].seconds * rate) < end) cue(nextCue++);
    while (nextEvent < midi.events.size() && std::llround(midi.events[nextEvent].seconds * rate) < end) {
      const long long frame = std::llround(midi.events[nextEvent].seconds * rate);
      event(static_cast<int>(std::max(0LL, frame - start)), midi.events[nextEvent].bytes);
      ++nextEvent;
    }
    block(frames);
  }
}

}  // namespace

StereoRender renderDemoLv2(Lv2Host& host, double rate, int blockSize, double tailSeconds) {
  render::MidiSequence midi;
  std::vector<render::ParameterCue> cues;
  render::demoPhrase(midi, cues);
  std::vector<int> ports;
  for (const render::ParameterCue& c : cues) ports.push_back(host.portIndexByName(c.name));
  const long long total = std::llround((midi.lengthSeconds + tailSeconds) * rate);
  StereoRender out;
  play(
      midi, cues, rate, blockSize, total,
      [&](std::size_t i) {
        if (ports[i] >= 0) host.setControl(static_cast<std::uint32_t>(ports[i]), cues[i].value);
      },
      [&](int frame, const unsigned char* bytes) {
        host.addMidi(static_cast<std::uint32_t>(frame), bytes, messageSize(bytes[0]));
      },
      [&](int frames) {
        host.run(static_cast<std::uint32_t>(frames));
        out.left.insert(out.left.end(), host.left(), host.left() + frames);
        out.right.insert(out.right.end(), host.right(), host.right() + frames);
      });
  return out;
}

StereoRender renderDemoVst2(render::PluginHost& host, double rate, int blockSize, double tailSeconds) {
  render::MidiSequence midi;
  std::vector<render::ParameterCue> cues;
  render::demoPhrase(midi, cues);
  std::vector<int> ids;
  for (const render::ParameterCue& c : cues) ids.push_back(host.findParameter(c.name));
  const long long total = std::llround((midi.lengthSeconds + tailSeconds) * rate);
  std::vector<vst2::MidiEvent> events;
  std::vector<std::pair<int, float>> changes;  // the block's parameter changes
  std::vector<unsigned char> list;
  std::vector<float> left(static_cast<std::size_t>(blockSize)), right(static_cast<std::size_t>(blockSize));
  StereoRender out;
  play(
      midi, cues, rate, blockSize, total,
      [&](std::size_t i) {
        if (ids[i] >= 0) changes.emplace_back(ids[i], cues[i].value);
      },
      [&](int frame, const unsigned char* bytes) {
        vst2::MidiEvent event{};
        event.type = vst2::kMidiEventType;
        event.byteSize = sizeof(vst2::MidiEvent);
        event.deltaFrames = frame;
        std::memcpy(event.midiData, bytes, 3);
        events.push_back(event);
      },
      [&](int frames) {
        // An LV2 instrument applies the ports that changed since the last run, in port order,
        // which is parameter order: the same changes in the same order here (the last of a
        // block wins; a value the parameter already has is no change).
        std::stable_sort(changes.begin(), changes.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        for (std::size_t i = 0; i < changes.size(); ++i) {
          const auto [id, value] = changes[i];
          if (i + 1 < changes.size() && changes[i + 1].first == id) continue;
          if (host.getParameter(id) != value) host.setParameter(id, value);
        }
        changes.clear();
        if (!events.empty()) {
          list.assign(sizeof(vst2::EventList) + sizeof(vst2::Event*) * events.size(), 0);
          auto* eventList = reinterpret_cast<vst2::EventList*>(list.data());
          eventList->numEvents = static_cast<std::int32_t>(events.size());
          for (std::size_t i = 0; i < events.size(); ++i)
            eventList->events[i] = reinterpret_cast<vst2::Event*>(&events[i]);
          host.processEvents(eventList);
        }
        float* outputs[2] = {left.data(), right.data()};
        host.process(outputs, frames);
        out.left.insert(out.left.end(), left.begin(), left.begin() + frames);
        out.right.insert(out.right.end(), right.begin(), right.begin() + frames);
        events.clear();
      });
  return out;
}

long long firstDifference(const StereoRender& a, const StereoRender& b) {
  const std::size_t frames = std::min(a.left.size(), b.left.size());
  for (std::size_t i = 0; i < frames; ++i)
    if (std::memcmp(&a.left[i], &b.left[i], sizeof(float)) != 0 || std::memcmp(&a.right[i], &b.right[i], sizeof(float)) != 0)
      return static_cast<long long>(i);
  return a.left.size() == b.left.size() ? -1 : static_cast<long long>(frames);
}

}  // namespace lv2host
