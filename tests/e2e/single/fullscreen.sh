# The full-screen saver on one monitor.
exec bash "$(dirname "$0")/../fullscreen.sh"
