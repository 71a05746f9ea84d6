#!/usr/bin/env bash
# Remakes the README's pictures from the real programs: the window with a
# flow net (the program under Xvfb, driven by xdotool) and the printed page
# (the exporter's PDF report, rendered by pdftoppm), and the net with the
# results marked (the exporter's PNG).
# Usage: scripts/make-screenshots.sh [BUILD_DIR]   (default build/test, as
# scripts/test.sh leaves it)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build/test}"
docs="$root/docs"
source "$root/scripts/lib/xsession.sh"
trap xsession_stop EXIT

xsession_start
xsession_launch "$build/ui/brelloc"
xsession_focus
# H/L 0.3 and N/k 0.4, each committed by Enter, then Calculate.
xdotool type --delay 40 "0.3"
xdotool key Return
xdotool type --delay 40 "0.4"
xdotool key Return
xdotool mousemove --window "$window" 12 12 click 1
sleep 2
xsession_running
import -window "$window" "$docs/window.png"

pdf="$xsession_dir/report.pdf"
"$build/cli/brelloc-export" --hl 0.3 --nk 0.4 --report "$pdf"
pdftoppm -png -r 50 -singlefile "$pdf" "$docs/report-page"
"$build/cli/brelloc-export" --hl 0.1 --nk 0.5 --xmax 1 --mark-divide \
    --png "$docs/results-marks.png" --size 600
echo "wrote $docs/window.png, $docs/report-page.png and $docs/results-marks.png"
