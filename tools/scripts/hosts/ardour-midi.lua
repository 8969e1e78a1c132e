-- Orvel receiving MIDI in a headless Ardour session: a stereo track with the
-- check signal, a controller source playing CC 74 and Orvel with its filter
-- in the main path; Ardour must give Orvel one MIDI input, and the export
-- holds what the controller did to filter_cutoff.
-- Environment: ORVEL_CHECK_DIR (work folder), ORVEL_CHECK_FRAMES (export
-- length), ORVEL_CHECK_SET ("index=value ..." to set). Prints "orvel-check:"
-- lines for hosts-midi.sh.

io.stdout:setvbuf ("line")
local dir = os.getenv ("ORVEL_CHECK_DIR")
local frames = math.tointeger (tonumber (os.getenv ("ORVEL_CHECK_FRAMES")))
local rate = 44100

local function fail (message)
	print ("orvel-check: FAIL " .. message)
	quit ()
end

local backend = AudioEngine:set_backend ("None (Dummy)", "", "")
if backend:isnil () then fail ("no Dummy backend") end
backend:set_sample_rate (rate)
backend:set_buffer_size (1024)

-- Everything that holds the session's objects lives inside run (), so that
-- it can be collected before close_session () deletes the session.
local function run ()
	local session = create_session (dir .. "/session", "midi", rate)
	if not session then fail ("cannot create the session") end
	local tracks = session:new_audio_track (2, 2, nil, 1, "Orvel", ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, true)
	local track = tracks:front ()
	local processors = { "Orvel Check Signal", "Orvel Check Controller" }
	for i, name in ipairs (processors) do
		local proc = ARDOUR.LuaAPI.new_luaproc (session, name)
		if proc:isnil () then fail ("the script " .. name .. " is not installed") end
		track:add_processor_by_index (proc, i - 1, nil, true)
	end
	local orvel = ARDOUR.LuaAPI.new_plugin (session, "Orvel", ARDOUR.PluginType.LXVST, "")
	if orvel:isnil () then fail ("Ardour does not find Orvel as a Linux VST") end
	track:add_processor_by_index (orvel, #processors, nil, true)
	for index, value in string.gmatch (os.getenv ("ORVEL_CHECK_SET"), "(%d+)=([%d.]+)") do
		if not ARDOUR.LuaAPI.set_processor_param (orvel, tonumber (index), tonumber (value)) then
			fail ("cannot set parameter " .. index)
		end
	end
	local insert = orvel:to_insert ()
	print ("orvel-check: midi inputs " .. insert:plugin (0):get_info ().n_inputs:n_midi ())
	print ("orvel-check: midi fed " .. insert:input_streams ():n_midi ())

	local export = session:simple_export ()
	export:set_name ("orvel-midi")
	export:set_folder (dir .. "/export")
	export:set_range (0, frames)
	if not export:set_preset ("5d0b1e43-0a27-4bd7-9a2c-6e1d3e0b6a51") then fail ("no export preset") end
	if not export:run_export () then fail ("the export failed") end
	print ("orvel-check: exported")
end

run ()
collectgarbage ()
collectgarbage ()
close_session ()
print ("orvel-check: done")
quit ()
