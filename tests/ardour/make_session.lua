-- Run by ardour7-lua: make_session.lua FOLDER NAME RATE FRAMES LEFT.wav RIGHT.wav [TRACK ...]
--
-- Creates a session with one stereo audio track per TRACK name (default: "Reverb"), saves
-- it, and then writes into the saved session file what Ardour 7.3's Lua cannot make itself:
-- the two mono sources of the test input, a region on each track's playlist that plays them
-- from the session start, and the session range that the export covers. The mono files must be in
-- FOLDER/interchange/NAME/audiofiles before the session is loaded again.

local folder, name, rate, frames, left, right = arg[1], arg[2], tonumber(arg[3]), tonumber(arg[4]), arg[5], arg[6]
assert(folder and name and rate and frames and left and right,
	"usage: make_session.lua FOLDER NAME RATE FRAMES LEFT.wav RIGHT.wav [TRACK ...]")
local track_names = { table.unpack(arg, 7) }
if #track_names == 0 then
	track_names = { "Reverb" }
end

AudioEngine:set_backend("None (Dummy)", "", "")
assert(create_session(folder, name, rate), "could not create the session")
assert(Session:nominal_sample_rate() == rate, "the session does not run at " .. rate .. " Hz")

for _, track_name in ipairs(track_names) do
	local tracks = Session:new_audio_track(2, 2, nil, 1, track_name, ARDOUR.PresentationInfo.max_order,
		ARDOUR.TrackMode.Normal, true)
	assert(tracks:size() == 1, "could not add the track " .. track_name)
end
Session:save_state("", false, false, false, false, false)
close_session()

-- Times in the session file are counted in superclock ticks, marked "a" for audio time; a
-- region's length is a distance at a position ("a<ticks>@a<ticks>") and carries its place.
local ticks = Temporal.superclock_ticks_per_second()
assert(ticks % rate == 0, "superclock rate is no multiple of the sample rate")
local session_end = "a" .. math.floor(frames * (ticks // rate))
local length = session_end .. "@a0"

local path = folder .. "/" .. name .. ".ardour"
local file = assert(io.open(path, "r"))
local xml = file:read("a")
file:close()

-- Our objects take ids far above Ardour's counter, and the counter moves past them, so
-- nothing made after loading can collide with them.
local base = 9000000
local ids = { left = base + 1, right = base + 2, whole = base + 3, range = base + 4, region = base + 10 }

local function source(id, file_name)
	return string.format('    <Source name="%s" type="audio" flags="" id="%d" captured-for="" origin="" '
		.. 'take-id="" channel="0" natural-position="a0"/>\n', file_name, id)
end

-- Fades and the gain envelope are off: the region must play the file's samples unchanged.
local function region(id, region_name, whole)
	return string.format('<Region name="%s" muted="0" opaque="1" locked="0" video-locked="0" automatic="0" '
		.. 'whole-file="%d" import="0" external="0" sync-marked="0" left-of-split="0" right-of-split="0" '
		.. 'hidden="0" position-locked="0" valid-transients="0" start="a0" length="%s" '
		.. 'sync-position="a0" ancestral-start="a0" ancestral-length="a0@a0" stretch="1" shift="1" '
		.. 'layering-index="0" envelope-active="0" default-fade-in="0" default-fade-out="0" '
		.. 'fade-in-active="0" fade-out-active="0" scale-amplitude="1" id="%d" type="audio" '
		.. 'first-edit="nothing" source-0="%d" source-1="%d" master-source-0="%d" master-source-1="%d" '
		.. 'channels="2"/>', region_name, whole and 1 or 0, length, id, ids.left, ids.right, ids.left, ids.right)
end

-- Replaces the first match of `pattern` by what `make` returns for its captures.
local function replace_once(pattern, make, what)
	local count
	xml, count = xml:gsub(pattern, make, 1)
	assert(count == 1, "session file: no " .. what)
end

replace_once("<Sources/>", function()
	return "<Sources>\n" .. source(ids.left, left) .. source(ids.right, right) .. "  </Sources>"
end, "empty source list")
replace_once("<Regions/>", function()
	return "<Regions>\n    " .. region(ids.whole, "input", true) .. "\n  </Regions>"
end, "empty region list")
for i, track_name in ipairs(track_names) do
	replace_once('(<Playlist [^>]-name="' .. track_name .. '"[^>]-)/>', function(head)
		return head .. ">\n      " .. region(ids.region + i, "input." .. i, false) .. "\n    </Playlist>"
	end, "playlist of the track " .. track_name)
end
replace_once("<Locations/>", function()
	return string.format('<Locations>\n    <Location id="%d" name="session" start="a0" end="%s" '
		.. 'flags="IsSessionRange" locked="0" timestamp="0" cue="0"/>\n  </Locations>', ids.range, session_end)
end, "empty location list")
xml = xml:gsub('id%-counter="%d+"', 'id-counter="' .. (base + 100) .. '"', 1)

file = assert(io.open(path, "w"))
file:write(xml)
file:close()
print("session: " .. path)
print("length: " .. length)
