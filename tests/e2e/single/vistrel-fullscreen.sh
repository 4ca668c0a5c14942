# The test host's full-screen preview on one monitor.
exec bash "$(dirname "$0")/../vistrel-fullscreen.sh" 1
