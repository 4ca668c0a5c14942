# The layered-window mode on one monitor, through a compositor.
exec bash "$(dirname "$0")/../layered.sh" 1
