ardour {
	["type"]    = "dsp",
	name        = "Orvel Check Controller",
	category    = "Utility",
	license     = "MIT",
	author      = "Tamblor",
	description = [[Part of Orvel's MIDI host check: passes the audio through and, while the transport rolls, plays controller 74 on channel 1: value 40 at the start, 127 from frame 44100 (one second at 44.1 kHz) on.]]
}

function dsp_ioconfig ()
	return { { audio_in = 2, audio_out = 2, midi_out = 1 } }
end

local frame = 0
local switchAt = 44100 -- hosts-midi.sh compares the audio before and after it

function dsp_run (ins, outs, n_samples)
	assert (type (midiout) == "table")
	for c = 1, 2 do
		if ins[c] ~= outs[c] then ARDOUR.DSP.copy_vector (outs[c], ins[c], n_samples) end
	end
	if not Session:transport_rolling () then
		frame = 0
		return
	end
	local count = 0
	local function cc (at, value)
		count = count + 1
		midiout[count] = { time = at, data = { 0xb0, 74, value } }
	end
	if frame == 0 then cc (1, 40) end
	if frame < switchAt and frame + n_samples >= switchAt then cc (switchAt - frame + 1, 127) end
	frame = frame + n_samples
end
