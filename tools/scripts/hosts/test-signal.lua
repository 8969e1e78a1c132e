ardour {
	["type"]    = "dsp",
	name        = "Orvel Check Signal",
	category    = "Utility",
	license     = "MIT",
	author      = "Tamblor",
	description = [[The input of Orvel's host check: seeded noise in bursts, loud and quiet in turn, that starts when the transport rolls. Every sample is a multiple of 2^-27, so host-check.py writes the same samples for the orvel command.]]
}

function dsp_ioconfig ()
	return { { audio_in = 2, audio_out = 2 } }
end

local state = 1
local frame = 0
local rate = 44100

function dsp_init (r)
	rate = r
end

-- 24-bit values from a 31-bit linear congruential generator.
local function nextValue ()
	state = (state * 1103515245 + 12345) % 2147483648
	return (state >> 7) - 8388608
end

function dsp_run (ins, outs, n_samples)
	local left, right = outs[1]:array (), outs[2]:array ()
	if not Session:transport_rolling () then
		state, frame = 1, 0
		for i = 1, n_samples do left[i] = 0; right[i] = 0 end
		return
	end
	local burst = rate // 4
	for i = 1, n_samples do
		-- quarter-second bursts at 1/4 and 1/128 of full scale
		local scale = ((frame // burst) % 2 == 0) and 33554432 or 1073741824
		left[i] = nextValue () / scale
		right[i] = nextValue () / scale
		frame = frame + 1
	end
end
