# Sourced by the scripts that run the plug-in's Windows programs under Wine:
# one session per Wine prefix at a time, its own Xvfb and wineserver, and
# every process it starts stopped by its id when the script ends.
#
#   wine_session NAME PREFIX [SETTING...]
#                              makes the prefix (once, with the X11 driver's
#                              SETTINGs, see wine-prefix.sh), takes its session
#                              lock and stops the session's processes on exit;
#                              NAME starts the script's messages
#   start_xvfb GEOMETRY [ARG...]  a private Xvfb on a free display; exports DISPLAY
#   start_wineserver           the prefix's wineserver, after any left over
#   track PID                  one more process to stop on exit
#   winpath PATH               the Windows path of a Linux path (Z:\...)
#   wait_for CONDITION SECONDS waits up to SECONDS for CONDITION to succeed

session_pids=()

track() { session_pids+=("$1"); }

winpath() { echo "Z:${1//\//\\}"; }

wait_for() {
    local deadline=$((SECONDS + $2))
    until eval "$1"; do
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.1
    done
}

end_session() {
    local status=$?
    [ -n "${session_wineserver:-}" ] && timeout 10 wineserver -k 2>/dev/null || true
    for pid in "${session_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${session_pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    exit $status
}

wine_session() {
    session_name=$1
    export WINEPREFIX=$2 WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    bash "$(dirname "${BASH_SOURCE[0]}")/wine-prefix.sh" "$WINEPREFIX" "${@:3}" >&2
    exec 7>"$WINEPREFIX.session.lock"
    flock -w 600 7 || { echo "$session_name: another session holds $WINEPREFIX" >&2; exit 1; }
    trap end_session EXIT INT TERM
}

start_xvfb() {
    local geometry=$1
    shift
    # Xvfb picks a free display and writes its number to fd 3.
    local display_file
    display_file=$(mktemp "/tmp/marrowick-$session_name-display.XXXXXX")
    Xvfb -displayfd 3 -screen 0 "$geometry" -nolisten tcp "$@" 3>"$display_file" 2>/dev/null &
    track $!
    wait_for "[ -s '$display_file' ]" 15 ||
        { echo "$session_name: Xvfb did not start" >&2; rm -f "$display_file"; exit 1; }
    export DISPLAY=":$(head -n 1 "$display_file")"
    rm -f "$display_file"
}

start_wineserver() {
    timeout 10 wineserver -k 2>/dev/null || true
    wineserver -f -p 2>/dev/null &
    session_wineserver=$!
    track $session_wineserver
}
