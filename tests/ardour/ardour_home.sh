# Sourced by the Ardour tests once $work (an absolute folder) and fail() exist. Ardour keeps
# its configuration, plug-in cache and scan log in the user's folders: they all go below
# $work, with the float WAV export preset the tests export with.
ardour_tests=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_CACHE_HOME=$work/cache XDG_DATA_HOME=$work/data
mkdir -p "$HOME" "$XDG_CONFIG_HOME/ardour7/export" "$XDG_CACHE_HOME" "$XDG_DATA_HOME"
cp "$ardour_tests"/export/hallmere-float.format "$ardour_tests"/export/hallmere-float.preset \
  "$XDG_CONFIG_HOME/ardour7/export/"

# step NAME SECONDS COMMAND...: runs a bounded step, its output kept in $work/NAME.log.
step() {
  local name=$1 seconds=$2
  shift 2
  echo "== $name"
  timeout -k 10 "$seconds" "$@" >"$work/$name.log" 2>&1
  local status=$?
  { [ $status -eq 124 ] || [ $status -eq 137 ]; } && { cat "$work/$name.log"; fail "$name took more than $seconds s"; }
  return $status
}
