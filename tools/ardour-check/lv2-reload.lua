-- Reopens the session lv2-session.lua saved, reads the changed value back from Ardour's control
-- and saves a second snapshot, so the plug-in writes its restored state out again.
local folder = os.getenv("SKARVEL_ARDOUR_SESSION")
AudioEngine:set_backend("None (Dummy)", "", "")
load_session(folder, "skarvel-lv2-check")
for track in Session:get_routes():iter() do
  local processor = track:nth_plugin(0)
  if not processor:isnil() and processor:display_name() == "Skarvel by Brenmoor" then
    local value = ARDOUR.LuaAPI.get_processor_param(processor, 3, true)
    print("reloaded", processor:display_name(), "Level", value)
    assert(math.abs(value - 0.25) < 1e-6, "the saved value did not come back")
  end
end
Session:save_state("reloaded", false, false, false, false, false)
close_session()
print("Ardour LV2 check passed")
