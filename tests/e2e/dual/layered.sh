# The layered-window mode on two monitors side by side, through a compositor.
exec bash "$(dirname "$0")/../layered.sh" 2
