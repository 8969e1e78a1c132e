#!/usr/bin/env bash
# Orvel in real hosts, installed as a musician installs it into a fresh home
# without a display: Ardour's and Qtractor's plug-in scanners must report it
# as it is, and a headless Ardour session (Dummy backend) must keep each kind
# of parameter (continuous, two-state, three-state) through a save and reopen
# and export what orvel render makes of the same input. The LV2 version
# (when built) goes through the same session and must export the same.
# ORVEL_HOST_WATCHDOG: seconds an Ardour run may take before its threads'
# backtraces are taken and it is stopped (default 120). ORVEL_HOST_EXPORTS=N:
# N sessions exported one after another (default 1), each export within 1e-6
# of the first, to catch an export that hangs now and then.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/../../.." && pwd)"
BUILD="${1:-$ROOT/build}"
HOSTS="$ROOT/tools/scripts/hosts"
ORVEL="$BUILD/linux/tools/orvel"
LIMIT="${ORVEL_HOST_WATCHDOG:-120}"
FRAMES=88200
# Index, key and value of each parameter set: master and filter_cutoff
# (continuous), filter_sig_flow and filter_type (three states; 0.5 is the
# band-pass), ef_power (a switch) and ef_amount, and how Ardour must offer each:
# as a toggle, in 3 steps, or continuous; then the same for the LV2 port,
# whose value for a selector is its state (1 is the band-pass) and which
# Ardour offers as a list of choices. Each value is exact in single
# precision, so Ardour's answers compare as text.
PARAMS=("0 master 0.5 continuous 0.5 continuous" "16 filter_cutoff 0.625 continuous 0.625 continuous"
        "18 filter_sig_flow 1 steps3 2 choice" "19 filter_type 0.5 steps3 1 choice"
        "31 ef_power 1 toggle 1 toggle" "29 ef_amount 0.5 continuous 0.5 continuous")
SET="" KINDS="" LV2_SET="" LV2_KINDS="" RENDER_SET=()
for p in "${PARAMS[@]}"; do
  read -r index key value kind lv2value lv2kind <<<"$p"
  SET+="${SET:+ }$index=$value"
  KINDS+="${KINDS:+ }$index=$kind"
  LV2_SET+="${LV2_SET:+ }$index=$lv2value"
  LV2_KINDS+="${LV2_KINDS:+ }$index=$lv2kind"
  RENDER_SET+=(--set "$key=$value")
done
PARAM_COUNT=38

"$ROOT/tools/scripts/setup-machine.sh" ardour qtractor gdb python3

source "$HOSTS/fresh-home.bash"
QTRACTOR_SCANNER="$(scanner qtractor qtractor_plugin_scan)"
fresh_home hosts

ardour_scan
grep -Eq '<VST2Info .*name="Orvel" creator="Tamblor" .*n_inputs="2" n_outputs="2"' "$WORK/ardour-scan.log" ||
  { cat "$WORK/ardour-scan.log"; fail "Ardour's scanner does not report Orvel by Tamblor with 2 inputs and 2 outputs"; }
echo "VST:$PLUGIN" | "$QTRACTOR_SCANNER" >"$WORK/qtractor-scan.log" 2>&1 || true
grep -Eq '^VST\|Orvel\|2:2\|[0-9]+:[0-9]+\|38:0\|' "$WORK/qtractor-scan.log" ||
  { cat "$WORK/qtractor-scan.log"; fail "Qtractor's scanner does not report Orvel with 2 inputs, 2 outputs and 38 parameters"; }
echo "ok: scanned by Ardour ($(basename "$ARDOUR_SCANNER")) and Qtractor"

# The Ardour session: create, set, export, save; then reopen.
ardour_scripts test-signal.lua
# Runs one step of the session script; succeeds when the script got to its end.
run_session() {
  ORVEL_CHECK_STEP="$1" "$HOSTS/watchdog.sh" "$LIMIT" "$WORK/ardour-$1.log" ardour7-lua "$HOSTS/ardour-session.lua" &&
    grep -q '^orvel-check: done' "$WORK/ardour-$1.log"
}
# Runs a step and checks what Ardour answered.
session() {
  local log="$WORK/ardour-$1.log"
  if ! run_session "$1"; then
    cat "$log" "$log.backtrace" 2>/dev/null
    fail "the Ardour session ($1) did not finish"
  fi
  check_session "$1"
}
check_session() {
  local log="$WORK/ardour-$1.log"
  grep -qx "orvel-check: params $PARAM_COUNT" "$log" || { cat "$log"; fail "Ardour does not show $PARAM_COUNT parameters"; }
  grep -qx "orvel-check: values $SET" "$log" ||
    { grep '^orvel-check' "$log"; fail "Ardour ($1) holds other values than were set: $SET"; }
}
# create_session [LABEL]: the create step, which exports; Ardour may die after
# that (see retry_session).
create_session() {
  retry_session "$WORK/ardour-create.log" run_session create ||
    { cat "$WORK/ardour-create.log" "$WORK/ardour-create.log.backtrace" 2>/dev/null; fail "the Ardour session (${1:+$1 }create) did not finish"; }
  check_session create
}
create_session
grep -qx "orvel-check: kinds $KINDS" "$WORK/ardour-create.log" ||
  { grep '^orvel-check' "$WORK/ardour-create.log"; fail "Ardour does not offer the parameters as $KINDS"; }
session reopen
echo "ok: Ardour offers $KINDS and kept $SET through a save and reopen"

# The export against orvel render of the same input in the same home.
python3 "$HOSTS/host-check.py" signal "$FRAMES" "$WORK/input.wav"
"$ORVEL" render "$WORK/input.wav" "$WORK/render.wav" --plugin "$PLUGIN" --float --tail 0 "${RENDER_SET[@]}" >/dev/null
exported=("$ORVEL_CHECK_DIR"/export/*.wav)
[ -f "${exported[0]}" ] || fail "Ardour exported no WAV file"
python3 "$HOSTS/host-check.py" compare "${exported[0]}" "$WORK/render.wav" "$FRAMES"
cp "${exported[0]}" "$WORK/first-export.wav"
echo "ok: Ardour's export matches orvel render"

# Repeated exports, each in a new session.
runs="${ORVEL_HOST_EXPORTS:-1}"
for ((run = 2; run <= runs; run++)); do
  rm -rf "$ORVEL_CHECK_DIR"
  mkdir -p "$ORVEL_CHECK_DIR"
  start=$SECONDS
  create_session
  again=("$ORVEL_CHECK_DIR"/export/*.wav)
  echo -n "export $run of $runs: $((SECONDS - start)) s, "
  python3 "$HOSTS/host-check.py" compare "${again[0]}" "$WORK/first-export.wav" "$FRAMES" ||
    fail "export $run differs from the first"
done

# The LV2 version in the same session, its ports set to the same values.
[ -f "$LV2_BUNDLE/manifest.ttl" ] || { echo "note: no LV2 bundle installed"; exit 0; }
rm -rf "$ORVEL_CHECK_DIR" && mkdir -p "$ORVEL_CHECK_DIR"
export ORVEL_CHECK_FORMAT=LV2 ORVEL_CHECK_SET="$LV2_SET"
SET="$LV2_SET" PARAM_COUNT=43 # Ardour counts every port of an LV2 plug-in
create_session LV2
grep -rqs 'urn:tamblor:orvel#chunk' "$ORVEL_CHECK_DIR/session/plugins" ||
  fail "Ardour's session holds no state words of the LV2 version"
grep -qx "orvel-check: kinds $LV2_KINDS" "$WORK/ardour-create.log" ||
  { grep '^orvel-check' "$WORK/ardour-create.log"; fail "Ardour does not offer the LV2 ports as $LV2_KINDS"; }
session reopen
lv2_export=("$ORVEL_CHECK_DIR"/export/*.wav)
[ -f "${lv2_export[0]}" ] || fail "Ardour exported no WAV file of the LV2 version"
python3 "$HOSTS/host-check.py" compare "${lv2_export[0]}" "$WORK/render.wav" "$FRAMES"
echo "ok: the LV2 version in Ardour offers $LV2_KINDS, kept $LV2_SET through a reopen and exports as the VST does"
