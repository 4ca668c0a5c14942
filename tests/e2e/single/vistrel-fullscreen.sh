# The test host's full-screen preview on one monitor.
exec bash "$(dirname "$0")/../testbench-fullscreen.sh" 1
