-- Drives Skarvel's LV2 plug-in inside Ardour's headless Lua session tool: a new session with a
-- MIDI track that hosts it, a factory preset from Ardour's preset list, a parameter change, a
-- few notes played into the track while an audio track records the plug-in's output (so the
-- session renders to a file later), and save (the plug-in's state goes into the session).
-- lv2-reload.lua then opens it in a fresh process. Run by scripts/check-ardour-lv2.sh.
local folder = os.getenv("SKARVEL_ARDOUR_SESSION")
AudioEngine:set_backend("None (Dummy)", "", "")
create_session(folder, "skarvel-lv2-check", 48000)
local info = ARDOUR.LuaAPI.new_plugin_info("https://www.brenmoor.example/plugins/skarvel", ARDOUR.PluginType.LV2)
assert(not info:isnil(), "Ardour does not list the LV2 plug-in")
local synth = Session:new_midi_track(ARDOUR.ChanCount(ARDOUR.DataType("midi"), 1),
  ARDOUR.ChanCount(ARDOUR.DataType("audio"), 2), true, info, nil, nil, 1, "Skarvel",
  ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, true):front()
local processor = synth:nth_plugin(0)
local plugin = processor:to_insert():plugin(0)
print("instantiated", processor:display_name(), "controls", plugin:parameter_count())

local preset = plugin:preset_by_label("Pads & Drones: Glass Pad")
assert(preset and preset.valid, "Ardour does not list the factory preset")
assert(plugin:load_preset(preset), "Ardour could not load the factory preset")
print("preset", preset.label)
ARDOUR.LuaAPI.set_processor_param(processor, 3, 0.25)  -- Level

-- An audio track records what the plug-in plays.
local render = Session:new_audio_track(2, 2, nil, 1, "Render", ARDOUR.PresentationInfo.max_order,
  ARDOUR.TrackMode.Normal, true):front()
render:input():disconnect_all(nil)
for i = 0, 1 do render:input():audio(i):connect(synth:output():audio(i):name()) end
render:to_track():rec_enable_control():set_value(1, PBD.GroupControlDisposition.NoGroup)
Session:maybe_enable_record(false)
Session:request_roll(ARDOUR.TransportRequestSource.TRS_UI)
ARDOUR.LuaAPI.usleep(300000)
local track = synth:to_track():to_midi_track()
local parser = ARDOUR.RawMidiParser()
local function send(status, data1, data2)
  for _, byte in ipairs({status, data1, data2}) do
    if parser:process_byte(byte) then
      track:write_immediate_event(Evoral.EventType.MIDI_EVENT, parser:buffer_size(), parser:midi_buffer())
    end
  end
end
local loudest = 0
for _, key in ipairs({48, 55, 60, 64}) do
  send(0x90, key, 100)
  ARDOUR.LuaAPI.usleep(400000)
  loudest = math.max(loudest, synth:peak_meter():meter_level(0, ARDOUR.MeterType.MeterPeak))
  send(0x80, key, 0)
end
ARDOUR.LuaAPI.usleep(800000)
Session:request_stop(false, false, ARDOUR.TransportRequestSource.TRS_UI)
for _ = 1, 50 do
  ARDOUR.LuaAPI.usleep(100000)
  if not Session:transport_rolling() then break end
end
ARDOUR.LuaAPI.usleep(1000000)
render:to_track():rec_enable_control():set_value(0, PBD.GroupControlDisposition.NoGroup)
local regions = 0
for _ in render:to_track():playlist():region_list():iter() do regions = regions + 1 end
print("played", "peak level", loudest, "recorded regions", regions)
assert(loudest > 0.001, "the plug-in stayed silent in Ardour")
assert(regions > 0, "Ardour recorded nothing of the plug-in")
Session:save_state("", false, false, false, false, false)
close_session()
