-- Run by ardour7-lua: list_plugins.lua FOLDER
-- Creates an empty session in FOLDER and prints every plug-in Ardour knows of, one
-- "plugin: UNIQUE_ID NAME PATH" line each: what its plug-in manager found on its own
-- search paths and in its scan cache.
AudioEngine:set_backend("None (Dummy)", "", "")
assert(create_session(arg[1], "plugins", 48000), "could not create a session")
for p in ARDOUR.LuaAPI.list_plugins():iter() do
	print("plugin: " .. p.unique_id .. " " .. p.name .. " " .. p.path)
end
io.stdout:flush()
close_session()
