-- Drives Skarvel inside Ardour's headless Lua session tool: a new session with a MIDI track
-- that hosts the plug-in, a parameter change, and save (the plug-in's chunk goes into the
-- session file). reload.lua then opens it in a fresh process. Run by scripts/check-ardour.sh.
local folder = os.getenv("SKARVEL_ARDOUR_SESSION")
AudioEngine:set_backend("None (Dummy)", "", "")
create_session(folder, "skarvel-check", 48000)
local info = ARDOUR.LuaAPI.new_plugin_info("Skarvel by Brenmoor", ARDOUR.PluginType.LXVST)
assert(not info:isnil(), "Ardour does not list the plug-in")
local tracks = Session:new_midi_track(ARDOUR.ChanCount(ARDOUR.DataType("midi"), 1),
  ARDOUR.ChanCount(ARDOUR.DataType("audio"), 2), true, info, nil, nil, 1, "Skarvel",
  ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, true)
for track in tracks:iter() do
  local processor = track:nth_plugin(0)
  local plugin = processor:to_insert():plugin(0)
  print("instantiated", processor:display_name(), "parameters", plugin:parameter_count())
  ARDOUR.LuaAPI.set_processor_param(processor, 0, 0.25)
end
Session:save_state("", false, false, false, false, false)
close_session()

