-- Run by ardour7-lua:
--   render_session.lua FOLDER NAME OUT_FOLDER OUT_NAME PRESET_ID PLUGIN_ID|none [PROGRAM|- [INDEX=VALUE ...]]
--
-- Loads a session made by make_session.lua, inserts the LXVST plug-in with the given unique
-- id (or the LV2 plug-in "lv2:URI") as the first processor of the track "Reverb", selects one
-- of its factory programs through Ardour's preset interface (which sends the program change
-- to the plug-in; an LV2 preset is named by its URI), sets parameters through the
-- processor's controls, and exports the session range with the export preset PRESET_ID to
-- OUT_FOLDER/OUT_NAME.wav.
--
-- Ardour drops a plug-in it cannot load without a word and exports the dry signal, so every
-- step reports what Ardour itself now holds ("insert:", "param:" lines) for the caller to
-- check. With PLUGIN_ID "none" nothing is inserted: the same export without the plug-in.

local folder, name, out_folder, out_name, preset_id, plugin_id = arg[1], arg[2], arg[3], arg[4], arg[5], arg[6]
assert(folder and name and out_folder and out_name and preset_id and plugin_id,
	"usage: render_session.lua FOLDER NAME OUT_FOLDER OUT_NAME PRESET_ID PLUGIN_ID|none [PROGRAM|- [INDEX=VALUE ...]]")
local program = arg[7] or "-"

AudioEngine:set_backend("None (Dummy)", "", "")
assert(load_session(folder, name), "could not load the session")

local track = Session:route_by_name("Reverb")
assert(not track:isnil(), "the session has no track \"Reverb\"")

-- Ardour wires a new track to the master bus from a background thread, which had not run
-- when make_session.lua saved: wire it here, channel by channel.
for c = 0, 1 do
	local out, master_in = track:output():audio(c), Session:master_out():input():audio(c)
	if not out:connected_to(master_in:name()) then
		assert(out:connect(master_in:name()) == 0, "could not connect the track to the master bus")
	end
	print("connection: " .. out:name() .. " -> " .. master_in:name())
end

if plugin_id ~= "none" then
	local kind, name = ARDOUR.PluginType.LXVST, plugin_id
	if plugin_id:match("^lv2:") then
		kind, name = ARDOUR.PluginType.LV2, plugin_id:sub(5)
	end
	local processor = ARDOUR.LuaAPI.new_plugin(Session, name, kind, "")
	assert(not processor:isnil(), "Ardour could not instantiate plug-in " .. plugin_id)
	assert(track:add_processor_by_index(processor, 0, nil, true) == 0, "could not insert the plug-in")
	local plugin = processor:to_insert():plugin(0)

	if program ~= "-" then
		local uri = program:match(":") and program or string.format("VST:%s:%04d", plugin_id, tonumber(program))
		local preset = plugin:preset_by_uri(uri)
		assert(preset, "the plug-in has no program " .. uri)
		assert(plugin:load_preset(preset), "could not select " .. uri)
		print("program: " .. uri .. " \"" .. preset.label .. "\"")
	end

	for i = 8, #arg do
		local index, value = arg[i]:match("^(%d+)=(.+)$")
		assert(index and tonumber(value), "parameter setting " .. arg[i] .. " is not INDEX=VALUE")
		assert(ARDOUR.LuaAPI.set_processor_param(processor, tonumber(index), tonumber(value)),
			"could not set parameter " .. index)
	end
	for i = 0, plugin:parameter_count() - 1 do
		print(string.format("param: %d %.9g", i, ARDOUR.LuaAPI.get_processor_param(processor, i)))
	end
end

-- What the track holds now, as Ardour sees it.
local i = 0
while true do
	local proc = track:nth_plugin(i)
	if proc:isnil() then
		break
	end
	local plugin = proc:to_insert():plugin(0)
	print(string.format("insert: %d %s %s active=%s", i, plugin:unique_id(), plugin:name(), tostring(proc:active())))
	i = i + 1
end
print("inserts: " .. i)

local export = Session:simple_export()
export:set_folder(out_folder)
export:set_name(out_name)
assert(export:set_preset(preset_id), "no export preset " .. preset_id)
export:set_range(Session:current_start_sample(), Session:current_end_sample())
print(string.format("range: %d %d", Session:current_start_sample(), Session:current_end_sample()))
assert(export:check_outputs(), "the master bus has no outputs to export")
assert(export:run_export(), "the export failed")
print("exported: " .. out_folder .. "/" .. out_name)
close_session()
