#!/usr/bin/env bash
# A new user's first session with the real program on a virtual X display, driven
# only by synthetic keyboard and mouse input: accept the agreement, click words of
# the word grid and type a day, File > Analysis (Yes to the save prompt), the
# Suspects page and its doctor's summary saved where proposed, save the
# report with Save As on the Main page by typing a path, and quit. The diary, the
# report and the settings file are then compared byte for byte with what the
# engine computes for the same input. A second evening then checks that nothing
# typed is lost: the close box with Esc keeps the window, a diary rewritten by
# another process is not replaced without asking, the text typed before a SIGKILL
# is offered again at the next start, "café ☕" is saved as UTF-8, Quit with Yes and
# a cancelled dialog keeps the window, and a PNG is refused and left unchanged.
#
#   first_session.sh --program BIN --report-tool BIN --expect BIN --example FILE
#                    --shots DIR [--docs DIR] [--screen WIDTHxHEIGHT]
#
# The virtual screen is 1024x768 unless --screen says otherwise. Every step
# leaves a screenshot in the shots folder, a failing one too. With --docs, the
# Composer and report screenshots are also copied there for the README.
set -euo pipefail

me=first_session
die() {
    echo "$me: $*" >&2
    exit 2
}

program='' report_tool='' expect='' example='' shots='' docs='' screen=1024x768
while (($#)); do
    [[ $# -ge 2 ]] || die "missing value for $1"
    case $1 in
        --program) program=$2 ;;
        --report-tool) report_tool=$2 ;;
        --expect) expect=$2 ;;
        --example) example=$2 ;;
        --shots) shots=$2 ;;
        --docs) docs=$2 ;;
        --screen) screen=$2 ;;
        *) die "unknown option $1" ;;
    esac
    shift 2
done
for required in program report_tool expect example shots; do
    [[ -n ${!required} ]] || die "--${required//_/-} is required"
done
[[ $screen =~ ^[0-9]+x[0-9]+$ ]] || die "--screen takes WIDTHxHEIGHT, not $screen"
# The program runs in its own folder: every path given must hold from there too.
program=$(realpath "$program") report_tool=$(realpath "$report_tool")
expect=$(realpath "$expect") example=$(realpath "$example")
for tool in Xvfb xauth xdotool openbox import convert xwininfo xprop pdftotext pdftoppm; do
    command -v "$tool" >/dev/null || die "$tool is missing; scripts/install-deps installs it"
done

# The clicked cells (column,row of the word grid) and the typed text, in order.
clicks=("0,1" "4,2" "2,4")
typed='tea, headache, #,'

work=$(mktemp -d "${TMPDIR:-/tmp}/quorvane-e2e.XXXXXX")
mkdir -p "$shots" "$work/home/.config" "$work/runtime" "$work/saved" "$work/expected" \
    "$work/scratch"
chmod 700 "$work/runtime"
rm -f "$shots"/*.png
cp "$example" "$work/home/example.txt"

xvfb_pid='' openbox_pid='' program_pid=''
stop() {  # ends one process this script started, by its id
    local pid=$1
    if [[ -n $pid ]] && kill -0 "$pid" 2>/dev/null; then
        kill "$pid" 2>/dev/null || true
        for _ in $(seq 50); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        kill -9 "$pid" 2>/dev/null || true
    fi
    wait "$pid" 2>/dev/null || true
}
cleanup() {
    stop "$program_pid"
    stop "$openbox_pid"
    stop "$xvfb_pid"
    rm -rf "$work"
}
trap cleanup EXIT

step=0
last_shot=''
shot() {
    step=$((step + 1))
    last_shot=$(printf '%s/%02d-%s.png' "$shots" "$step" "$1")
    sleep 0.5  # let the window finish painting
    import -window root "$last_shot" 2>/dev/null || echo "$me: no screenshot for $1" >&2
}
fail() {
    echo "$me: FAIL: $*" >&2
    if [[ -n ${DISPLAY:-} ]]; then
        shot failure
        echo "$me: the screen at the failure: $last_shot" >&2
    fi
    if [[ -s $work/program.log ]]; then
        echo "$me: the program's output:" >&2
        tail -n 20 "$work/program.log" >&2
    fi
    exit 1
}

# Polls `condition` (a command) every 0.2 s for at most `seconds`; fails the test
# with `what` when it never holds, or at once when the program has ended.
wait_until() {
    local seconds=$1 what=$2
    shift 2
    local tries=$((seconds * 5))
    for _ in $(seq "$tries"); do
        if "$@"; then
            return 0
        fi
        if [[ -n $program_pid ]] && ! kill -0 "$program_pid" 2>/dev/null; then
            fail "the program ended while waiting for $what"
        fi
        sleep 0.2
    done
    fail "timed out after ${seconds}s waiting for $what"
}
window_named() {  # prints the id of a shown window whose whole title matches $1
    local id
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1) || return 1
    [[ -n $id ]] && echo "$id"
}
no_window_named() {
    ! window_named "$1" >/dev/null
}
find_window() {  # waits for the window titled $1 and prints its id
    wait_until 30 "a window titled '$1'" window_named "$1" >/dev/null
    window_named "$1"
}
activate() {
    timeout 10 xdotool windowactivate --sync "$1" >/dev/null 2>&1 ||
        fail "could not activate window $1"
}
keys() {
    for key in "$@"; do
        xdotool key --clearmodifiers "$key"
        sleep 0.3
    done
}
is_maximised() {
    xprop -id "$1" _NET_WM_STATE 2>/dev/null | grep -q _NET_WM_STATE_MAXIMIZED_HORZ
}

# --- the display: a free number, a private cookie, a window manager ---
cookie=$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')
export XAUTHORITY=$work/xauthority
touch "$XAUTHORITY"
for n in $(seq 90 190); do
    [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
    xauth -f "$XAUTHORITY" add ":$n" MIT-MAGIC-COOKIE-1 "$cookie" 2>/dev/null
    Xvfb ":$n" -auth "$XAUTHORITY" -screen 0 "${screen}x24" -nolisten tcp -noreset \
        >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 50); do
        if xwininfo -root -display ":$n" >/dev/null 2>&1; then
            export DISPLAY=:$n
            break 2
        fi
        kill -0 "$xvfb_pid" 2>/dev/null || break
        sleep 0.2
    done
    stop "$xvfb_pid"  # taken meanwhile, or did not start: try the next number
    xvfb_pid=''
done
[[ -n ${DISPLAY:-} && -n $xvfb_pid ]] || die "no virtual display could be started"

HOME=$work/home XDG_CONFIG_HOME=$work/home/.config openbox --sm-disable \
    >"$work/openbox.log" 2>&1 &
openbox_pid=$!
wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
wait_until 20 "the window manager" wm_running

# --- the program, on its first run in a folder holding the example diary ---
# In the sanitizer build: the desktop libraries' own leaks are not the program's.
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
export LSAN_OPTIONS="suppressions=$here/leak_suppressions.txt${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
start_program() {
    (
        cd "$work/home"
        exec env -u QT_QPA_PLATFORMTHEME -u XDG_CURRENT_DESKTOP -u DESKTOP_SESSION \
            QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8 HOME="$work/home" \
            XDG_CONFIG_HOME="$work/home/.config" XDG_RUNTIME_DIR="$work/runtime" "$program"
    ) >>"$work/program.log" 2>&1 &
    program_pid=$!
}
main_title='Quorvane\.exe  Version 2\.05,  Released on May 2nd, 2000 example\.txt'
accept_agreement() {
    local agreement
    agreement=$(find_window 'Click and Drag here to view all of this Agreement')
    shot agreement
    activate "$agreement"
    keys Return
    wait_until 10 "the agreement box to close" \
        no_window_named 'Click and Drag here to view all of this Agreement'
}
start_program
accept_agreement
main=$(find_window "$main_title")
shot composer

# The word grid's current cell (0,0) is the only area in the window painted in the
# selection colour: its box gives the grid's place and the cell pitch.
read -r wx wy ww wh < <(xwininfo -id "$main" | awk -F: '
    /Absolute upper-left X/ {x = $2 + 0} /Absolute upper-left Y/ {y = $2 + 0}
    /Width/ {w = $2 + 0} /Height/ {h = $2 + 0} END {print x, y, w, h}')
box=$(convert "$last_shot" -crop "${ww}x${wh}+${wx}+${wy}" +repage \
    -fill black +opaque '#308CC6' -format '%@' info: 2>/dev/null) || box=''
if [[ ! $box =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]]; then
    fail "the word grid's current cell is not on the screen ($box)"
fi
cell_w=${BASH_REMATCH[1]} cell_h=${BASH_REMATCH[2]}
grid_x=$((wx + BASH_REMATCH[3])) grid_y=$((wy + BASH_REMATCH[4]))
if ((cell_w < 40 || cell_w > 200 || cell_h < 14 || cell_h > 80)); then
    fail "a ${cell_w}x${cell_h} selection is no word grid cell"
fi
# The columns and rows are as wide and high as their words need. The grid lines
# that part them have the colour right of the current cell and run the whole
# height of row 0 (for the columns) and the whole width of column 0 (the rows).
line_colour=$(convert "$last_shot" -crop "1x1+$((grid_x + cell_w))+$((grid_y + cell_h / 2))" \
    -depth 8 txt:- | grep -o '#[0-9A-F]\{6\}' | head -n 1)
grid_lines() {  # grid_lines GEOMETRY AXIS THICKNESS: the lines across that strip
    convert "$last_shot" -crop "$1" +repage -depth 8 txt:- |
        awk -v colour="$line_colour" -v axis="$2" -v thickness="$3" '
            /^[0-9]/ && index($0, colour) > 0 {
                split($1, at, /[,:]/); count[at[axis]]++ }
            END { for (offset in count) if (count[offset] == thickness) print offset }' |
        sort -n
}
mapfile -t column_lines < <(grid_lines "$((wx + ww - grid_x))x${cell_h}+${grid_x}+${grid_y}" 1 \
    "$cell_h")
mapfile -t row_lines < <(grid_lines "${cell_w}x$((wy + wh - grid_y))+${grid_x}+${grid_y}" 2 \
    "$cell_w")
if [[ -z $line_colour || ${#column_lines[@]} -lt 8 || ${#row_lines[@]} -lt 6 ]]; then
    fail "no 8 x 6 grid lines in $line_colour (${#column_lines[@]} x ${#row_lines[@]})"
fi
echo "$me: word grid at $grid_x,$grid_y, columns end at +${column_lines[*]:0:8}, rows at +${row_lines[*]:0:6}"
cell_centre() {  # cell_centre COLUMN ROW: the screen point in the middle of that cell
    local left=0 top=0
    (($1 > 0)) && left=$((column_lines[$1 - 1] + 1))
    (($2 > 0)) && top=$((row_lines[$2 - 1] + 1))
    echo "$((grid_x + (left + column_lines[$1]) / 2)) $((grid_y + (top + row_lines[$2]) / 2))"
}
# The window with its frame, for the README's picture of it.
read -r frame_l frame_r frame_t frame_b < <(xprop -id "$main" _NET_FRAME_EXTENTS |
    grep -o '[0-9][0-9, ]*$' | tr -d ,) || true
frame="$((ww + ${frame_l:-0} + ${frame_r:-0}))x$((wh + ${frame_t:-0} + ${frame_b:-0}))"
frame+="+$((wx - ${frame_l:-0}))+$((wy - ${frame_t:-0}))"

for cell in "${clicks[@]}"; do
    column=${cell%,*} row=${cell#*,}
    read -r x y < <(cell_centre "$column" "$row")
    xdotool mousemove --sync "$x" "$y" click 1
    sleep 0.6  # apart from the next click by more than a double-click
done
xdotool type --delay 60 "$typed"
shot diary
composer_shot=$last_shot

# File, Analysis: "Save &As..." and "&Analysis" share A, so A twice, then Enter.
keys alt+f a a Return
prompt=$(find_window 'Information')
shot save-prompt
activate "$prompt"
keys Return  # "Yes", the default button
wait_until 60 "the analysis to finish" is_maximised "$main"
find_window 'example\.txt' >/dev/null
shot report
report_shot=$last_shot

# The Suspects page of the same analysis, then back to the Main page.
keys alt+u
sleep 1
shot suspects
suspects_shot=$last_shot

# The doctor's summary from the page: proposed beside the diary, under its name.
keys alt+s
dialog=$(find_window 'Save As')
shot summary-dialog
activate "$dialog"
keys Return
summary_file=$work/home/example-summary.pdf
wait_until 20 "the doctor's summary" test -s "$summary_file"
wait_until 10 "the save dialog to close" no_window_named 'Save As'
shot summary-saved
pdftotext "$summary_file" - | grep -q "Food diary summary: HEADACHE" ||
    fail "the summary has no page for HEADACHE"
keys alt+m
sleep 1

# File, Save As on the Main page: the report, into a path typed into the dialog.
keys alt+f a Return
dialog=$(find_window 'Save As')
shot save-dialog
activate "$dialog"
report_file=$work/saved/art-report.txt
xdotool type --delay 30 "$report_file"
keys Return
wait_until 20 "the report file" test -s "$report_file"
wait_until 10 "the save dialog to close" no_window_named 'Save As'
shot report-saved

keys alt+f q
program_ended() { ! kill -0 "$program_pid" 2>/dev/null; }
wait_until 30 "the program to quit" program_ended
status=0
wait "$program_pid" || status=$?
program_pid=''
((status == 0)) || fail "the program exited with status $status"

# --- the files on disk against the engine ---
expect_args=(--example "$example" --scratch "$work/scratch" --diary "$work/expected/diary.txt"
    --settings "$work/expected/Quorvane.ini")
for cell in "${clicks[@]}"; do
    expect_args+=(--click "$cell")
done
expect_args+=(--type "$typed")
"$expect" "${expect_args[@]}" || die "the expected files could not be computed"
LC_ALL=C "$report_tool" "$work/expected/diary.txt" --column-width 160 |
    awk '{printf "%s\r\n", $0}' >"$work/expected/report.txt"

failures=0
compare() {  # compare NAME EXPECTED ACTUAL
    if cmp -s "$2" "$3"; then
        echo "$me: $1 matches ($(wc -c <"$3") bytes)"
        return
    fi
    failures=$((failures + 1))
    echo "$me: FAIL: $1 differs from what the engine computes" >&2
    diff <(cat -A "$2") <(cat -A "$3") | head -n 20 >&2 || true
    cp "$3" "$shots/actual-$(basename "$3")" 2>/dev/null || true
}
compare "the diary" "$work/expected/diary.txt" "$work/home/example.txt"
compare "the report" "$work/expected/report.txt" "$report_file"
compare "the settings file" "$work/expected/Quorvane.ini" "$work/home/Quorvane.ini"
((failures == 0)) || exit 1

# --- a second evening: nothing typed is lost, nothing changed behind our back ---
holds() { [[ -f $1 ]] && grep -qF -- "$2" "$1"; }
answer_box() {  # waits for the "Information" box, presses $1, waits for it to go
    local box
    box=$(find_window 'Information')
    shot "$2"
    activate "$box"
    keys "$1"
    wait_until 10 "the box to close" no_window_named 'Information'
}
diary=$work/home/example.txt
start_program
accept_agreement
main=$(find_window "$main_title")
xdotool type --delay 60 'close box test, '
keys alt+F4  # the window manager's close, as the close box does it
answer_box Escape close-prompt
window_named "$main_title" >/dev/null || fail "Esc in the close prompt closed the window"
kill -0 "$program_pid" 2>/dev/null || fail "Esc in the close prompt ended the program"
keys alt+f s
wait_until 10 "the typed text in the diary" holds "$diary" 'close box test, '
echo "$me: close box, Esc: still open, and the text was saved afterwards"

printf 'edited elsewhere, #,\r\n' >"$diary"
xdotool type --delay 60 'x'
keys alt+f s
answer_box Escape replace-prompt  # No: nothing is written
sleep 1
[[ $(cat "$diary") == $'edited elsewhere, #,\r' ]] || fail "Save replaced a diary changed on disk"
echo "$me: a diary rewritten by another process: Save asked, No kept it"

xdotool type --delay 60 'lost line, '
recovery=$work/home/.Quorvane-recovery.txt
wait_until 20 "the recovery file to hold the typed line" holds "$recovery" 'lost line, '
kill -9 "$program_pid"
wait "$program_pid" 2>/dev/null || true
program_pid=''
start_program
accept_agreement
answer_box Return restore-offer  # Yes, the default
main=$(find_window "$main_title")
activate "$main"
keys alt+f s
wait_until 10 "the restored text in the diary" holds "$diary" 'lost line, '
echo "$me: typed, killed, restarted: the restored text was saved"

keys alt+f n
xdotool type --delay 100 'café ☕'
keys alt+f s
untitled=$work/home/untitled.txt
wait_until 10 "untitled.txt" test -s "$untitled"
printf 'caf\xc3\xa9 \xe2\x98\x95\r\n' >"$work/expected/untitled.txt"
compare "the UTF-8 diary" "$work/expected/untitled.txt" "$untitled"
((failures == 0)) || fail "the typed characters were not saved as UTF-8"

xdotool type --delay 60 ' more'
keys alt+f q
answer_box Return quit-prompt  # Yes: the untitled diary asks for a name
dialog=$(find_window 'Save As')
shot quit-save-dialog
activate "$dialog"
keys Escape
wait_until 10 "the save dialog to close" no_window_named 'Save As'
sleep 1
window_named "$main_title" >/dev/null || window_named 'untitled\.txt' >/dev/null ||
    fail "cancelling the save dialog of Quit closed the window"
echo "$me: Quit, Yes, the dialog cancelled: still open"

png=$work/home/picture.png
printf '\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x01' >"$png"
cp "$png" "$work/expected/picture.png"
keys alt+f o
dialog=$(find_window 'Open')
activate "$dialog"
xdotool type --delay 30 "$png"
keys Return
error_box=$(find_window 'quorvane')
shot png-refused
activate "$error_box"
keys Return
wait_until 10 "the error box to close" no_window_named 'quorvane'
compare "the refused picture" "$work/expected/picture.png" "$png"
((failures == 0)) || fail "the picture was changed"
echo "$me: a PNG was refused and left as it was"

keys alt+f q
answer_box n quit-discard  # No: discard and quit
wait_until 30 "the program to quit" program_ended
wait "$program_pid" || fail "the program's second run exited with an error"
program_pid=''

if [[ -n $docs ]]; then
    mkdir -p "$docs"
    convert "$composer_shot" -crop "$frame" +repage "$docs/screenshot-composer.png"
    cp "$report_shot" "$docs/screenshot-report.png"
    cp "$suspects_shot" "$docs/screenshot-suspects.png"
    pdftoppm -f 2 -l 2 -r 80 -png -singlefile "$summary_file" "$docs/screenshot-summary"
    echo "$me: wrote the Composer, report, Suspects and summary screenshots into $docs"
fi
echo "$me: passed; screenshots in $shots"
