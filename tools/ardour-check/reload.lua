-- Reopens the session session.lua saved and reads the changed value back from the plug-in.
local folder = os.getenv("SKARVEL_ARDOUR_SESSION")
AudioEngine:set_backend("None (Dummy)", "", "")
load_session(folder, "skarvel-check")
for track in Session:get_routes():iter() do
  local processor = track:nth_plugin(0)
  if not processor:isnil() then
    local value = ARDOUR.LuaAPI.get_processor_param(processor, 0, true)
    print("reloaded", processor:display_name(), "Rate1", value)
    assert(math.abs(value - 0.25) < 1e-6, "the saved value did not come back")
  end
end
close_session()
print("Ardour check passed")
