#!/usr/bin/env bash
# Orvel receiving MIDI in Ardour, installed into a fresh home without a
# display: the scanner must report one MIDI input, and in a headless session
# (Dummy backend) controller 74 played into Orvel on its track must open the
# low-pass filter audibly in the export: value 40 for the first second, 127
# from then on, with the controller map of a state Orvel loads at start.
# ORVEL_HOST_WATCHDOG: seconds the Ardour run may take (default 120).
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/../../.." && pwd)"
BUILD="${1:-$ROOT/build}"
HOSTS="$ROOT/tools/scripts/hosts"
ORVEL="$BUILD/linux/tools/orvel"
LIMIT="${ORVEL_HOST_WATCHDOG:-120}"
FRAMES=88200 SWITCH=44100 # where midi-controller.lua sends 127
# The filter in the main path as a resonant low-pass (the controller sets the cutoff):
# filter_sig_flow main (index 18), filter_type low-pass (19), filter_reso (17).
SET="18=1 19=1 17=0.3 16=0"

"$ROOT/tools/scripts/setup-machine.sh" ardour python3

source "$HOSTS/fresh-home.bash"
fresh_home hosts-midi

ardour_scan
grep -Eq '<VST2Info .*name="Orvel" .*n_midi_inputs="1" n_midi_outputs="0"' "$WORK/ardour-scan.log" ||
  { cat "$WORK/ardour-scan.log"; fail "Ardour's scanner does not report one MIDI input"; }

# The map: controller 74 moves filter_cutoff (tag 16), in the default preset
# every new instance loads.
presets="$(sed -n 's/^"presetpath0"="\(.*\)"$/\1/p' "$HOME/.config/Tamblor/Orvel/settings.reg")"
[ -d "$presets" ] || fail "no preset folder in the installed settings"
printf 'name = default\ncc 74 = filter_cutoff\n' >"$WORK/default.txt"
"$ORVEL" preset build "$WORK/default.txt" "$presets/default.zuo" --plugin "$PLUGIN" >/dev/null

ardour_scripts test-signal.lua midi-controller.lua
log="$WORK/ardour-midi.log"
run_session() { "$HOSTS/watchdog.sh" "$LIMIT" "$log" ardour7-lua "$HOSTS/ardour-midi.lua" && grep -q '^orvel-check: done' "$log"; }
retry_session "$log" run_session || { cat "$log" "$log.backtrace" 2>/dev/null; fail "the Ardour session did not finish"; }
grep -qx 'orvel-check: midi inputs 1' "$log" || { grep '^orvel-check' "$log"; fail "Ardour gives Orvel no MIDI input"; }
grep -qx 'orvel-check: midi fed 1' "$log" || { grep '^orvel-check' "$log"; fail "no MIDI reaches Orvel on its track"; }
exported=("$ORVEL_CHECK_DIR"/export/*.wav)
[ -f "${exported[0]}" ] || fail "Ardour exported no WAV file"

# The loud noise bursts of the check signal before and after the switch:
# the energy of the sample-to-sample difference (what a closed low-pass
# removes) must grow many times once the controller opens the filter.
python3 - "$HOSTS/host-check.py" "${exported[0]}" "$SWITCH" <<'PY'
import os, sys
sys.path.insert(0, os.path.dirname(sys.argv[1]))
import importlib
hostcheck = importlib.import_module("host-check")
samples = hostcheck.read_float_wav(sys.argv[2])
switch, burst = int(sys.argv[3]), hostcheck.RATE // 4
def energies(start):
    left = samples[2 * start:2 * (start + burst):2]
    level = sum(x * x for x in left) / len(left)
    bright = sum((b - a) ** 2 for a, b in zip(left, left[1:])) / len(left)
    return level, bright
(level0, closed), (level1, opened) = energies(switch - 2 * burst), energies(switch + 2 * burst)
print(f"CC 74 at 40: energy {level0:.3g}, of the difference {closed:.3g}; at 127: {level1:.3g}, {opened:.3g}")
if level0 < 1e-6:
    sys.exit("the export is silent before the controller moves")
if not opened / level1 > 10 * closed / level0:
    sys.exit("controller 74 did not open the filter audibly")
PY
echo "ok: Ardour gives Orvel one MIDI input, and CC 74 moves filter_cutoff in the export"
