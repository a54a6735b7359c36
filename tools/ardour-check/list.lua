-- Starts Ardour's plug-in index once, so it records the module for the scanner to index.
for info in ARDOUR.LuaAPI.list_plugins():iter() do
  if string.find(info.name, "Skarvel") then print("listed", info.name) end
end
