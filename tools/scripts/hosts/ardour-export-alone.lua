-- The host check's session without Orvel or the check signal: a stereo track
-- exported through the same preset, for measuring how often Ardour dies
-- after an export of its own (export-alone.sh).
io.stdout:setvbuf ("line")
local dir = os.getenv ("ORVEL_CHECK_DIR")
local backend = AudioEngine:set_backend ("None (Dummy)", "", "")
backend:set_sample_rate (44100)
backend:set_buffer_size (1024)
local function run ()
	local session = create_session (dir .. "/session", "alone", 44100)
	if not session then print ("orvel-check: FAIL cannot create the session") return end
	session:new_audio_track (2, 2, nil, 1, "Alone", ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, true)
	local export = session:simple_export ()
	export:set_name ("alone")
	export:set_folder (dir .. "/export")
	export:set_range (0, 88200)
	if export:set_preset ("5d0b1e43-0a27-4bd7-9a2c-6e1d3e0b6a51") and export:run_export () then
		print ("orvel-check: exported")
	end
end
run ()
collectgarbage ()
collectgarbage ()
close_session ()
print ("orvel-check: done")
quit ()
