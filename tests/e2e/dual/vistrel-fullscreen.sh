# The test host's full-screen preview over two monitors side by side.
exec bash "$(dirname "$0")/../vistrel-fullscreen.sh" 2
