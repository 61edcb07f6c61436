-- Run by ardour7-lua:
--   [TRACK=NAME] [SPLIT_CHANNEL=C] render_session.lua FOLDER NAME OUT_FOLDER OUT_NAME PRESET_ID PLUGIN
--                                                     [PROGRAM|- [INDEX=VALUE ...]]
--
-- Loads a session made by make_session.lua, inserts a plug-in as the first processor of the
-- track TRACK ("Reverb" unless set), selects one of its factory programs through Ardour's
-- preset interface (which sends the program change to the plug-in), sets parameters through
-- the processor's controls, saves the session and exports the session range with the export
-- preset PRESET_ID to OUT_FOLDER. PLUGIN is one of
--   ID        the LXVST plug-in with that unique id; PROGRAM is its program number
--   vst3:UID  the VST 3 class with that id; PROGRAM is its number in the program list
--   lv2:URI   the LV2 plug-in; PROGRAM is a preset URI
-- (a PROGRAM with a colon is taken as a preset URI for any of them)
--   saved     nothing new: the inserts as the session was saved with them
--   none      no insert: the same export without the plug-in
-- Values are what Ardour's controls take: normalised for LXVST, in the parameter's own
-- unit (T60 in ms) for VST 3.
--
-- Ardour drops a plug-in it cannot load without a word and exports the dry signal, so every
-- step reports what Ardour itself now holds ("insert:", "param:" lines) for the caller to
-- check.

local folder, name, out_folder, out_name, preset_id, plugin_id = arg[1], arg[2], arg[3], arg[4], arg[5], arg[6]
assert(folder and name and out_folder and out_name and preset_id and plugin_id,
	"usage: render_session.lua FOLDER NAME OUT_FOLDER OUT_NAME PRESET_ID PLUGIN [PROGRAM|- [INDEX=VALUE ...]]")
local program = arg[7] or "-"

AudioEngine:set_backend("None (Dummy)", "", "")
assert(load_session(folder, name), "could not load the session")

local function route(track_name)
	local r = Session:route_by_name(track_name)
	assert(not r:isnil(), "the session has no track \"" .. track_name .. "\"")
	return r
end

local function wire(from, c, master_c)
	local out, master_in = from:output():audio(c), Session:master_out():input():audio(master_c)
	if not out:connected_to(master_in:name()) then
		assert(out:connect(master_in:name()) == 0, "could not connect the track to the master bus")
	end
	print("connection: " .. out:name() .. " -> " .. master_in:name())
end

-- The plug-in goes on the track named by TRACK, "Reverb" unless set.
local track = route(os.getenv("TRACK") or "Reverb")

-- Ardour wires a new track to the master bus from a background thread, which had not run
-- when make_session.lua saved: wire TRACK here, channel by channel, and no other track.
-- With SPLIT_CHANNEL=C the export's left channel is channel C of the track "Reverb" and its
-- right one channel C of the track "Reference" instead: two plug-ins loaded with the session
-- run the very same audio calls from the first on, so their outputs can be compared sample
-- for sample.
local split = tonumber(os.getenv("SPLIT_CHANNEL") or "")
for _, other in ipairs({ "Reverb", "Reference" }) do
	local r = Session:route_by_name(other)
	if not r:isnil() and (split or r:name() ~= track:name()) then
		r:output():disconnect_all(nil)
	end
end
if split then
	wire(route("Reverb"), split, 0)
	wire(route("Reference"), split, 1)
else
	for c = 0, 1 do
		wire(track, c, c)
	end
end

-- Each kind of plug-in: Ardour's type, the name Ardour finds it by, and its programs' URIs.
local kinds = {
	{ prefix = "vst3:", type = ARDOUR.PluginType.VST3, program = "VST3-P:%s:%04d" },
	{ prefix = "lv2:", type = ARDOUR.PluginType.LV2 },
	{ prefix = "", type = ARDOUR.PluginType.LXVST, program = "VST:%s:%04d" },
}

if plugin_id ~= "saved" and plugin_id ~= "none" then
	local kind, id
	for _, k in ipairs(kinds) do
		if plugin_id:sub(1, #k.prefix) == k.prefix then
			kind, id = k, plugin_id:sub(#k.prefix + 1)
			break
		end
	end
	local processor = ARDOUR.LuaAPI.new_plugin(Session, id, kind.type, "")
	assert(not processor:isnil(), "Ardour could not instantiate plug-in " .. plugin_id)
	assert(track:add_processor_by_index(processor, 0, nil, true) == 0, "could not insert the plug-in")
	local plugin = processor:to_insert():plugin(0)

	if program ~= "-" then
		local uri = program
		if kind.program and not program:match(":") then
			uri = string.format(kind.program, id, tonumber(program))
		end
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
	Session:save_state("", false, false, false, false, false)
end

-- What the tracks hold now, as Ardour sees it: each insert ("insert: N ID NAME active=…"),
-- the values of its parameters ("param: INDEX VALUE") and their number ("inserts: N"); the
-- lines of a track other than TRACK begin with its name.
local function report(r, prefix)
	local n = 0
	while not r:nth_plugin(n):isnil() do
		local proc = r:nth_plugin(n)
		local plugin = proc:to_insert():plugin(0)
		print(string.format("%sinsert: %d %s %s active=%s", prefix, n, plugin:unique_id(), plugin:name(),
			tostring(proc:active())))
		for i = 0, plugin:parameter_count() - 1 do
			print(string.format("%sparam: %d %.9g", prefix, i, ARDOUR.LuaAPI.get_processor_param(proc, i)))
		end
		n = n + 1
	end
	print(prefix .. "inserts: " .. n)
end

report(track, "")
for _, other in ipairs({ "Reverb", "Reference" }) do
	local r = Session:route_by_name(other)
	if not r:isnil() and r:name() ~= track:name() then
		report(r, other .. " ")
	end
end

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
