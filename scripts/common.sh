# Shared by run.sh and test.sh: installs missing Debian packages and builds
# the project. Source it; it defines ROOT, BUILD and the functions below.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD="$ROOT/build"

say() { printf '==> %s\n' "$*"; }

# install_packages NAME...: installs those of the named Debian packages that
# are missing.
install_packages() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "Missing packages (${missing[*]}): run as root." >&2; exit 1; }
    sudo=sudo
  fi
  say "Installing ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

RUN_PACKAGES=(cmake make g++ libvtk9-dev libgtest-dev libbenchmark-dev libeigen3-dev
  xvfb xdotool imagemagick)
TEST_PACKAGES=("${RUN_PACKAGES[@]}" clang libclang-rt-14-dev)

# build_tree DIR [CMAKE ARGS...]: configures and builds one build tree.
build_tree() {
  local dir=$1
  shift
  mkdir -p "$dir"
  say "Configuring $dir"
  cmake -S "$ROOT" -B "$dir" "$@" >"$dir.configure.log" 2>&1 || { cat "$dir.configure.log"; exit 1; }
  say "Building $dir (log: $dir.build.log)"
  local status
  set +o pipefail
  cmake --build "$dir" -j"$(nproc)" 2>&1 | tee "$dir.build.log" |
    grep -E --line-buffered '^\[ *[0-9]+%\] Built target'
  status=${PIPESTATUS[0]}
  if [ "$status" -ne 0 ]; then
    grep -E -B2 -A6 'error|Error' "$dir.build.log" | tail -60
    echo "Build of $dir failed." >&2
    exit 1
  fi
}

# start_xvfb: starts a virtual display of our own and exports DISPLAY; the
# display stops when the script exits.
start_xvfb() {
  local n
  for n in $(seq 91 140); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do
      xdotool getmouselocation >/dev/null 2>&1 && break
      sleep 0.1
    done
    trap 'kill $XVFB_PID 2>/dev/null || true' EXIT
    return 0
  done
  echo "No free X display number" >&2
  exit 1
}
