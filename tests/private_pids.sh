#!/bin/sh
# Runs a test program in a PID namespace of its own. The program looks at
# every process for a running logbook, TQSL or qorvsync, as it must; in here
# it sees only the ones its test starts, whatever runs on the desktop.
# A shell is the namespace's first process, so that orphans are reaped; the
# namespace dies with the test's runner (--kill-child).
for private in "" "--user --map-current-user"; do
  # shellcheck disable=SC2086
  if unshare $private --pid --fork --mount-proc true 2>/dev/null; then
    # shellcheck disable=SC2086
    exec unshare $private --pid --fork --mount-proc --kill-child \
      sh -c '"$@" & wait $!' private_pids "$@"
  fi
done
echo "private_pids.sh: no PID namespace here; the test sees the machine's processes" >&2
exec "$@"
