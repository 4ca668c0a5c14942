# The composition on two monitors side by side: one view per monitor in modes 2 and 3.
exec bash "$(dirname "$0")/../composition.sh" 2
