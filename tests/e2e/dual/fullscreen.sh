# The full-screen saver over two monitors side by side.
exec bash "$(dirname "$0")/../fullscreen.sh"
