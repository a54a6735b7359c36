-- Makes the session for the windowed check: a MIDI track hosting Skarvel with every parameter's
-- automation in the mode $SKARVEL_ARDOUR_AUTOMATION names (Manual, or Touch: Ardour records a
-- parameter only while the user holds its control), saved without any other change. Prints the
-- name Ardour gives the plug-in's editor window ("P-<route>-<processor>"), so check-ardour.sh
-- can ask Ardour to open that window when it loads the session. $SKARVEL_ARDOUR_FORMAT "LV2"
-- hosts the LV2 plug-in instead of the VST 2.4 one.
local folder = os.getenv("SKARVEL_ARDOUR_SESSION")
local lv2 = os.getenv("SKARVEL_ARDOUR_FORMAT") == "LV2"
local format = lv2 and ARDOUR.PluginType.LV2 or ARDOUR.PluginType.LXVST
local name = lv2 and "https://www.brenmoor.example/plugins/skarvel" or "Skarvel by Brenmoor"
AudioEngine:set_backend("None (Dummy)", "", "")
create_session(folder, "skarvel-gui", 48000)
local info = ARDOUR.LuaAPI.new_plugin_info(name, format)
assert(not info:isnil(), "Ardour does not list the plug-in")
local tracks = Session:new_midi_track(ARDOUR.ChanCount(ARDOUR.DataType("midi"), 1),
  ARDOUR.ChanCount(ARDOUR.DataType("audio"), 2), true, info, nil, nil, 1, "Skarvel",
  ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, true)
for track in tracks:iter() do
  local processor = track:nth_plugin(0)
  local mode = os.getenv("SKARVEL_ARDOUR_AUTOMATION") == "Touch" and ARDOUR.AutoState.Touch or ARDOUR.AutoState.Off
  for id = 0, 35 do
    local control = processor:to_automatable():automation_control(
      Evoral.Parameter(ARDOUR.AutomationType.PluginAutomation, 0, id), false)
    control:set_automation_state(mode)
  end
  print("editor-window", "P-" .. track:to_stateful():id():to_s() .. "-" .. processor:to_stateful():id():to_s())
end
Session:save_state("", false, false, false, false, false)
close_session()
