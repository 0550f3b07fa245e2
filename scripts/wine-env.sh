# Sourced by the scripts that run Windows programs: a private Wine prefix in
# build/, a virtual X display and a persistent wineserver. wine_env_stop
# stops exactly what wine_env_start started.

export WINEPREFIX="${WINEPREFIX:-$PWD/build/wineprefix}"
export WINEDEBUG=-all
# No Mono or Gecko install prompts when the prefix is created.
export WINEDLLOVERRIDES="mscoree,mshtml="

wine_env_start() {
  local n=90
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  NEK_XVFB_PID=$!
  export DISPLAY=":$n"
  local i
  for i in $(seq 100); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done

  # A prefix made before wine32 was installed lacks its 32-bit half and fails
  # even for 64-bit programs: make it anew.
  if [ -f "$WINEPREFIX/system.reg" ] && [ ! -d "$WINEPREFIX/drive_c/windows/syswow64" ]; then
    rm -rf "$WINEPREFIX"
  fi

  # The persistent server comes first: every later step (the prefix's
  # creation too) then talks to it instead of starting a short-lived one.
  mkdir -p "$WINEPREFIX"
  wineserver -p
  NEK_WINE_STARTED=1
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i >/dev/null 2>&1 </dev/null || true
    # Without a window manager, Wine's managed mode makes every hide or
    # destroy of a top-level window wait about two seconds.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null || true
  fi
  # A crashing program would wait in the debugger's crash dialog until the
  # test's time-out: without the dialog, winedbg prints the crash (address
  # and backtrace) on standard error and ends the program at once.
  if ! grep -q '"ShowCrashDialog"=dword:00000000' "$WINEPREFIX/user.reg" 2>/dev/null; then
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 </dev/null || true
  fi
  # The first Windows program would start Wine's services (services.exe,
  # rpcss, plugplay ...) with its own stdout and stderr; they live as long as
  # the wineserver and would keep ctest's output pipes open. Start them here
  # with no output attached.
  wineboot >/dev/null 2>&1 </dev/null || true
}

wine_env_stop() {
  if [ -n "${NEK_WINE_STARTED:-}" ]; then
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    NEK_WINE_STARTED=
  fi
  if [ -n "${NEK_XVFB_PID:-}" ]; then
    kill "$NEK_XVFB_PID" 2>/dev/null || true
    wait "$NEK_XVFB_PID" 2>/dev/null || true
    NEK_XVFB_PID=
  fi
}
