#!/usr/bin/env bash
# Starting and stopping the demo's logbook double. Sourced by the demo scripts;
# they keep the ids of what they start in the array `pids`.

# Starts the logbook double from its installation folder $1 and waits for its
# window-link socket.
demo_start_logbook() {
  local install=$1
  (cd "$install" && exec ./Vodrix_Log3.exe) > "$install/logbook.out" 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do
    [ -S "${XDG_RUNTIME_DIR:-/tmp}/Vodrix_Log3.windows" ] && return 0
    sleep 0.1
  done
  echo "The logbook double did not start:" >&2
  cat "$install/logbook.out" >&2
  return 1
}

# Stops what the script started, by id.
demo_stop_started() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  pids=()
}
