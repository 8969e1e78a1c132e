-- Orvel in a headless Ardour session, as a musician would use it: a stereo
-- track with the check signal and Orvel, parameters set, the session saved,
-- the mix exported, the session closed and opened again.
-- Environment: ORVEL_CHECK_DIR (work folder), ORVEL_CHECK_FRAMES (export
-- length), ORVEL_CHECK_SET ("index=value ..." to set), ORVEL_CHECK_STEP
-- ("create" or "reopen"), ORVEL_CHECK_FORMAT ("LXVST", the default, or "LV2").
-- Prints "orvel-check:" lines for host-check.py.

io.stdout:setvbuf ("line")
local dir = os.getenv ("ORVEL_CHECK_DIR")
local frames = math.tointeger (tonumber (os.getenv ("ORVEL_CHECK_FRAMES")))
local step = os.getenv ("ORVEL_CHECK_STEP")
local format = os.getenv ("ORVEL_CHECK_FORMAT") or "LXVST"
local rate = 44100

local function fail (message)
	print ("orvel-check: FAIL " .. message)
	quit ()
end

local backend = AudioEngine:set_backend ("None (Dummy)", "", "")
if backend:isnil () then fail ("no Dummy backend") end
backend:set_sample_rate (rate)
backend:set_buffer_size (1024)

local function orvelOf (session)
	for route in session:get_routes ():iter () do
		local i = 0
		while true do
			local proc = route:nth_plugin (i)
			if proc:isnil () then break end
			if proc:display_name () == "Orvel" then return proc end
			i = i + 1
		end
	end
	return nil
end

local function printValues (proc)
	local plugin = proc:to_insert ():plugin (0)
	print ("orvel-check: params " .. plugin:parameter_count ())
	local values = {}
	for index in string.gmatch (os.getenv ("ORVEL_CHECK_SET"), "(%d+)=") do
		local value = ARDOUR.LuaAPI.get_processor_param (proc, tonumber (index))
		values[#values + 1] = index .. "=" .. string.format ("%.9g", value)
	end
	print ("orvel-check: values " .. table.concat (values, " "))
end

-- How Ardour offers each parameter set: a toggle, a list of choices, a number
-- of steps, or a continuous control.
local function printKinds (proc)
	local kinds = {}
	for index in string.gmatch (os.getenv ("ORVEL_CHECK_SET"), "(%d+)=") do
		local _, _, pd = ARDOUR.LuaAPI.plugin_automation (proc, tonumber (index))
		local kind = "continuous"
		if pd.toggled then kind = "toggle" elseif pd.enumeration then kind = "choice"
		elseif pd.rangesteps > 0 then kind = "steps" .. pd.rangesteps end
		kinds[#kinds + 1] = index .. "=" .. kind
	end
	print ("orvel-check: kinds " .. table.concat (kinds, " "))
end

local function createStep ()
	local session = create_session (dir .. "/session", "check", rate)
	if not session then fail ("cannot create the session") end
	local tracks = session:new_audio_track (2, 2, nil, 1, "Orvel", ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, true)
	local track = tracks:front ()
	-- The stereo panner in its middle position still rounds each sample; Orvel's
	-- output goes to the master bus as it is.
	track:panner_shell ():set_bypassed (true)
	local signal = ARDOUR.LuaAPI.new_luaproc (session, "Orvel Check Signal")
	if signal:isnil () then fail ("the check signal script is not installed") end
	track:add_processor_by_index (signal, 0, nil, true)
	local orvel = ARDOUR.LuaAPI.new_plugin (session, "Orvel", ARDOUR.PluginType[format], "")
	if orvel:isnil () then
		local known = {}
		for info in ARDOUR.LuaAPI.list_plugins ():iter () do
			if info.type == ARDOUR.PluginType[format] then known[#known + 1] = info.name end
		end
		local kind = format == "LV2" and "an LV2 plug-in" or "a Linux VST"
		fail ("Ardour does not find Orvel as " .. kind .. " (it knows: " .. table.concat (known, ", ") .. ")")
	end
	track:add_processor_by_index (orvel, 1, nil, true)
	for index, value in string.gmatch (os.getenv ("ORVEL_CHECK_SET"), "(%d+)=([%d.]+)") do
		if not ARDOUR.LuaAPI.set_processor_param (orvel, tonumber (index), tonumber (value)) then
			fail ("cannot set parameter " .. index)
		end
	end
	printKinds (orvel)
	printValues (orvel)
	-- Saved before the export: Ardour's export may leave its heap corrupted.
	session:save_state ("", false, false, false, false, false)

	local export = session:simple_export ()
	export:set_name ("orvel-check")
	export:set_folder (dir .. "/export")
	export:set_range (0, frames)
	if not export:set_preset ("5d0b1e43-0a27-4bd7-9a2c-6e1d3e0b6a51") then fail ("no export preset") end
	if not export:run_export () then fail ("the export failed") end
	print ("orvel-check: exported")
end

local function reopenStep ()
	local session = load_session (dir .. "/session", "check")
	if not session then fail ("cannot reopen the session") end
	local orvel = orvelOf (session)
	if not orvel then fail ("Orvel is not in the reopened session") end
	printValues (orvel)
end

if step == "create" then createStep () else reopenStep () end
-- close_session () deletes the session: the Lua references to its tracks,
-- processors and export (the steps' locals) must be collected first, or the
-- collector destroys them later in freed memory (valgrind shows IO::~IO
-- reading the deleted session), which corrupts the heap now and then.
collectgarbage ()
collectgarbage ()
close_session ()
print ("orvel-check: done")
quit ()
