#include "Lv2Host.h"

#include <cstring>

#include <lv2/atom/atom.h>
#include <lv2/atom/util.h>
#include <lv2/midi/midi.h>
#include <lv2/presets/presets.h>
#include <lv2/state/state.h>

namespace lv2host {

namespace {

constexpr std::size_t kSequenceBytes = 64 * 1024;

// A lilv node freed when it goes out of scope.
struct Node {
  explicit Node(LilvNode* n) : node(n) {}
  ~Node() { lilv_node_free(node); }
  Node(const Node&) = delete;
  Node& operator=(const Node&) = delete;
  LilvNode* node;
};

}  // namespace

Lv2Host::Lv2Host() {
  m_map.handle = this;
  m_map.map = mapCallback;
  m_unmap.handle = this;
  m_unmap.unmap = unmapCallback;
  m_mapFeature = {LV2_URID__map, &m_map};
  m_unmapFeature = {LV2_URID__unmap, &m_unmap};
  m_features[0] = &m_mapFeature;
  m_features[1] = &m_unmapFeature;
  m_features[2] = nullptr;
  m_left.assign(kMaxFrames, 0.0f);
  m_right.assign(kMaxFrames, 0.0f);
  m_scratch.assign(kMaxFrames, 0.0f);
  m_sequence.assign(kSequenceBytes / sizeof(std::uint64_t), 0);
}

Lv2Host::~Lv2Host() {
  freeInstance();
  if (m_world) lilv_world_free(m_world);
}

LV2_URID Lv2Host::mapCallback(LV2_URID_Map_Handle handle, const char* uri) {
  return static_cast<Lv2Host*>(handle)->mapUri(uri);
}

const char* Lv2Host::unmapCallback(LV2_URID_Unmap_Handle handle, LV2_URID urid) {
  return static_cast<Lv2Host*>(handle)->unmapUri(urid);
}

LV2_URID Lv2Host::mapUri(const char* uri) {
  const auto found = m_uris.find(uri);
  if (found != m_uris.end()) return found->second;
  m_uriTexts.push_back(std::make_unique<std::string>(uri));
  const auto urid = static_cast<LV2_URID>(m_uriTexts.size());
  m_uris.emplace(uri, urid);
  return urid;
}

const char* Lv2Host::unmapUri(LV2_URID urid) const {
  return urid >= 1 && urid <= m_uriTexts.size() ? m_uriTexts[urid - 1]->c_str() : nullptr;
}

bool Lv2Host::load(const std::string& bundle, const std::string& pluginUri, std::string& error) {
  if (!m_world) {
    // Every bundle on LV2_PATH, as hosts start (the specifications among them), then this one.
    m_world = lilv_world_new();
    lilv_world_load_all(m_world);
  }
  std::string path = bundle;
  if (path.empty() || path.back() != '/') path += '/';
  Node bundleUri(lilv_new_file_uri(m_world, nullptr, path.c_str()));
  lilv_world_load_bundle(m_world, bundleUri.node);
  Node uri(lilv_new_uri(m_world, pluginUri.c_str()));
  m_plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(m_world), uri.node);
  if (!m_plugin) {
    error = "no plug-in " + pluginUri + " in " + bundle;
    return false;
  }
  return true;
}

bool Lv2Host::instantiate(double rate, std::string& error) {
  freeInstance();
  m_instance = lilv_plugin_instantiate(m_plugin, rate, m_features);
  if (!m_instance) {
    error = "the plug-in refused to instantiate";
    return false;
  }
  Node inputClass(lilv_new_uri(m_world, LV2_CORE__InputPort));
  Node controlClass(lilv_new_uri(m_world, LV2_CORE__ControlPort));
  Node audioClass(lilv_new_uri(m_world, LV2_CORE__AudioPort));
  Node atomClass(lilv_new_uri(m_world, LV2_ATOM__AtomPort));
  const std::uint32_t count = lilv_plugin_get_num_ports(m_plugin);
  m_ports.assign(count, Port{});
  std::vector<float> defaults(count, 0.0f);
  lilv_plugin_get_port_ranges_float(m_plugin, nullptr, nullptr, defaults.data());
  bool leftTaken = false;
  for (std::uint32_t i = 0; i < count; ++i) {
    const LilvPort* port = lilv_plugin_get_port_by_index(m_plugin, i);
    Port& p = m_ports[i];
    p.symbol = lilv_node_as_string(lilv_port_get_symbol(m_plugin, port));
    Node name(lilv_port_get_name(m_plugin, port));
    p.name = name.node ? lilv_node_as_string(name.node) : "";
    p.input = lilv_port_is_a(m_plugin, port, inputClass.node);
    p.control = lilv_port_is_a(m_plugin, port, controlClass.node);
    p.audio = lilv_port_is_a(m_plugin, port, audioClass.node);
    p.atom = lilv_port_is_a(m_plugin, port, atomClass.node);
    p.value = defaults[i];
  }
  for (std::uint32_t i = 0; i < count; ++i) {
    Port& p = m_ports[i];
    if (p.control) {
      lilv_instance_connect_port(m_instance, i, &p.value);
    } else if (p.audio && !p.input) {
      lilv_instance_connect_port(m_instance, i, leftTaken ? m_right.data() : m_left.data());
      leftTaken = true;
    } else if (p.atom && p.input) {
      lilv_instance_connect_port(m_instance, i, m_sequence.data());
    } else {
      lilv_instance_connect_port(m_instance, i, m_scratch.data());
    }
  }
  lv2_atom_forge_init(&m_forge, &m_map);
  beginSequence();
  return true;
}

void Lv2Host::activate() {
  if (m_instance) lilv_instance_activate(m_instance);
}

void Lv2Host::deactivate() {
  if (m_instance) lilv_instance_deactivate(m_instance);
}

void Lv2Host::freeInstance() {
  if (m_instance) lilv_instance_free(m_instance);
  m_instance = nullptr;
}

int Lv2Host::portIndex(const std::string& symbol) const {
  for (std::size_t i = 0; i < m_ports.size(); ++i)
    if (m_ports[i].symbol == symbol) return static_cast<int>(i);
  return -1;
}

int Lv2Host::portIndexByName(const std::string& name) const {
  for (std::size_t i = 0; i < m_ports.size(); ++i)
    if (m_ports[i].name == name) return static_cast<int>(i);
  return -1;
}

std::string Lv2Host::portSymbol(std::uint32_t port) const { return port < m_ports.size() ? m_ports[port].symbol : ""; }

bool Lv2Host::isControlInput(std::uint32_t port) const {
  return port < m_ports.size() && m_ports[port].control && m_ports[port].input;
}

void Lv2Host::setControl(std::uint32_t port, float value) {
  if (port < m_ports.size()) m_ports[port].value = value;
}

float Lv2Host::control(std::uint32_t port) const { return port < m_ports.size() ? m_ports[port].value : 0.0f; }

void Lv2Host::beginSequence() {
  lv2_atom_forge_set_buffer(&m_forge, reinterpret_cast<std::uint8_t*>(m_sequence.data()), kSequenceBytes);
  lv2_atom_forge_sequence_head(&m_forge, &m_sequenceFrame, 0);
}

void Lv2Host::addMidi(std::uint32_t frame, const std::uint8_t* bytes, std::uint32_t size) {
  lv2_atom_forge_frame_time(&m_forge, frame);
  lv2_atom_forge_atom(&m_forge, size, mapUri(LV2_MIDI__MidiEvent));
  lv2_atom_forge_write(&m_forge, bytes, size);
}

void Lv2Host::run(std::uint32_t frames) {
  if (!m_instance || frames > kMaxFrames) return;
  lv2_atom_forge_pop(&m_forge, &m_sequenceFrame);
  lilv_instance_run(m_instance, frames);
  beginSequence();
}

// --- state ----------------------------------------------------------------------------------

const void* Lv2Host::getPortValue(const char* symbol, void* user, uint32_t* size, uint32_t* type) {
  auto* host = static_cast<Lv2Host*>(user);
  const int index = host->portIndex(symbol);
  if (index < 0 || !host->isControlInput(static_cast<std::uint32_t>(index))) {
    *size = 0;
    *type = 0;
    return nullptr;
  }
  *size = sizeof(float);
  *type = host->mapUri(LV2_ATOM__Float);
  return &host->m_ports[static_cast<std::size_t>(index)].value;
}

void Lv2Host::setPortValue(const char* symbol, void* user, const void* value, uint32_t size, uint32_t type) {
  auto* host = static_cast<Lv2Host*>(user);
  const int index = host->portIndex(symbol);
  if (index < 0) return;
  float number = 0.0f;
  if (type == host->mapUri(LV2_ATOM__Float) && size == sizeof(float)) {
    std::memcpy(&number, value, sizeof number);
  } else if (type == host->mapUri(LV2_ATOM__Double) && size == sizeof(double)) {
    double d = 0.0;
    std::memcpy(&d, value, sizeof d);
    number = static_cast<float>(d);
  } else if (type == host->mapUri(LV2_ATOM__Int) && size == sizeof(std::int32_t)) {
    std::int32_t i = 0;
    std::memcpy(&i, value, sizeof i);
    number = static_cast<float>(i);
  } else {
    return;
  }
  host->setControl(static_cast<std::uint32_t>(index), number);
}

std::string Lv2Host::saveState() {
  if (!m_instance) return {};
  LilvState* state = lilv_state_new_from_instance(m_plugin, m_instance, &m_map, nullptr, nullptr, nullptr, nullptr,
                                                  getPortValue, this, LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE,
                                                  m_features);
  if (!state) return {};
  char* text = lilv_state_to_string(m_world, &m_map, &m_unmap, state, "urn:skarvel:test-state", nullptr);
  std::string result = text ? text : "";
  lilv_free(text);
  lilv_state_free(state);
  return result;
}

bool Lv2Host::restoreState(const std::string& turtle) {
  if (!m_instance) return false;
  LilvState* state = lilv_state_new_from_string(m_world, &m_map, turtle.c_str());
  if (!state) return false;
  lilv_state_restore(state, m_instance, setPortValue, this, 0, m_features);
  lilv_state_free(state);
  return true;
}

std::map<std::string, std::string> Lv2Host::presets() {
  std::map<std::string, std::string> found;
  Node presetClass(lilv_new_uri(m_world, LV2_PRESETS__Preset));
  Node label(lilv_new_uri(m_world, LILV_NS_RDFS "label"));
  LilvNodes* related = lilv_plugin_get_related(m_plugin, presetClass.node);
  LILV_FOREACH (nodes, i, related) {
    const LilvNode* preset = lilv_nodes_get(related, i);
    lilv_world_load_resource(m_world, preset);
    LilvNodes* labels = lilv_world_find_nodes(m_world, preset, label.node, nullptr);
    found[lilv_node_as_uri(preset)] = labels && lilv_nodes_size(labels) ? lilv_node_as_string(lilv_nodes_get_first(labels)) : "";
    lilv_nodes_free(labels);
  }
  lilv_nodes_free(related);
  return found;
}

bool Lv2Host::applyPreset(const std::string& presetUri) {
  if (!m_instance) return false;
  Node uri(lilv_new_uri(m_world, presetUri.c_str()));
  lilv_world_load_resource(m_world, uri.node);
  LilvState* state = lilv_state_new_from_world(m_world, &m_map, uri.node);
  if (!state) return false;
  lilv_state_restore(state, m_instance, setPortValue, this, 0, m_features);
  lilv_state_free(state);
  return true;
}

namespace {

struct Capture {
  LV2_URID key;
  std::string value;
  LV2_URID type = 0;
  bool found = false;
};

LV2_State_Status captureStore(LV2_State_Handle handle, uint32_t key, const void* value, size_t size, uint32_t type,
                              uint32_t) {
  auto* capture = static_cast<Capture*>(handle);
  if (key == capture->key) {
    capture->value.assign(static_cast<const char*>(value), size);
    capture->type = type;
    capture->found = true;
  }
  return LV2_STATE_SUCCESS;
}

}  // namespace

std::string Lv2Host::stateProperty(const std::string& key, std::string* type) {
  if (!m_instance) return {};
  const auto* interface =
      static_cast<const LV2_State_Interface*>(lilv_instance_get_extension_data(m_instance, LV2_STATE__interface));
  if (!interface) return {};
  Capture capture{mapUri(key.c_str()), {}, 0, false};
  interface->save(lilv_instance_get_handle(m_instance), captureStore, &capture, LV2_STATE_IS_POD, m_features);
  if (type) *type = capture.found && unmapUri(capture.type) ? unmapUri(capture.type) : "";
  return capture.value;
}

}  // namespace lv2host
