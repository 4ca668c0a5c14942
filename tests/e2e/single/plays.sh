# The default animation plays: shadows show over the desktop and the picture moves.
source "$(dirname "$0")/../lib.sh"
clear_settings
saver_plays "$SAVER" ""
finish
