# The private Wine prefix in which the Windows tests run: headless, quiet, and
# kept under the cross build folder, never in the home folder.

# rm460_wine_start BUILD_DIR: makes the prefix on first use, then starts a
# persistent server and Wine's background services with their output
# detached (otherwise they hold ctest's output pipes open until time-out).
rm460_wine_start() {
  export WINEPREFIX="$RM460_ROOT/$1/wineprefix"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  unset DISPLAY WAYLAND_DISPLAY
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Making the Wine prefix $WINEPREFIX (once)"
    mkdir -p "$WINEPREFIX"
    timeout 300 wineboot -i >"$RM460_ROOT/$1/wineboot.log" 2>&1
    timeout 120 wineserver -w
  fi
  # The server writes its object list when it is stopped: into the log.
  wineserver -p >"$RM460_ROOT/$1/wineserver.log" 2>&1 </dev/null
  timeout 120 wine cmd /c exit >/dev/null 2>&1 </dev/null
}

# Stops the server and every Wine process of the prefix.
rm460_wine_stop() {
  [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null || true
}
