#!/usr/bin/env bash
# The demo's guided tour, run inside xvfb-run by scripts/demo.sh: the logbook
# double and the tour program share the virtual display.
# demo_tour.sh DEMO_FOLDER INSTALL_FOLDER SAVED_REPORT
set -euo pipefail
demo=$1 install=$2 saved_report=$3
# shellcheck source=scripts/demo_processes.sh
source "$(dirname "$0")/demo_processes.sh"
pids=()
trap demo_stop_started EXIT
demo_start_logbook "$install"
"$demo/qorvsync/demo-tour" --shots "$demo/shots" --saved-report "$saved_report"
