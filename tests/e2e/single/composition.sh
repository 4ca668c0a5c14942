# The composition on one monitor.
exec bash "$(dirname "$0")/../composition.sh" 1
